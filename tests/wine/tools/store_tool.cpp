// Runs the project store's changes in its current directory, as copies of
// the program make them.
//   store_tool             remove "Churn", add it back, forever (for tests
//                          that kill it at random moments)
//   store_tool TAG COUNT   once the event "TwStoreGo" is set: create TAG 0 to
//                          TAG COUNT-1 as the create button does (look the
//                          name up, then append), and after each odd one
//                          delete the even one before it; after every change
//                          read the file, which must be whole. Exit code 0
//                          when every change had the expected result.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/files.h"

namespace {

// Every line of the file ends in CR LF and holds a project: a reader never
// sees a file that is being written.
bool Whole(std::string_view file) {
    if (!file.empty() && !file.ends_with("\r\n")) return false;
    for (const StoreLine& line : SplitStoreLines(file))
        if (line.endLength != 2 || ProjectNameOf(line.text).empty()) return false;
    return true;
}

int Interleave(const std::string& tag, int count) {
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, "TwStoreGo");
    if (!go || WaitForSingleObject(go, 60000) != WAIT_OBJECT_0) return 2;
    int faults = 0;
    auto check = [&](bool ok, const char* what, int i) {
        FileBytes file;
        if (ReadWholeFile(kProjectFile, file) && !Whole(file.Text())) {
            std::printf("%s %d: the file was read half-written\n", tag.c_str(), i);
            ++faults;
        }
        if (!ok) {
            std::printf("%s %d: %s\n", tag.c_str(), i, what);
            ++faults;
        }
    };
    for (int i = 0; i < count; ++i) {
        const std::string name = tag + " " + std::to_string(i);
        check(!ProjectExists(name), "exists before it was created", i);
        check(AppendProjectLine(name, "C:\\ed.exe", {"C:\\" + name + ".pb"}) == AppendResult::kAppended,
              "not created", i);
        if (i % 2 == 1)
            check(RemoveProjectLines(tag + " " + std::to_string(i - 1)) == RemoveResult::kRemoved, "not deleted",
                  i - 1);
    }
    return faults == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) return Interleave(argv[1], std::atoi(argv[2]));
    for (;;) {
        RemoveProjectLines("churn");
        AppendProjectLine("Churn", "C:\\ed.exe", {"C:\\churn.pb"});
    }
}
