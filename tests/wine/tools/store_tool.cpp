// Runs the project store's changes in its current directory, as copies of
// the program make them.
//   store_tool                 forever: create "Churn", rename it to "Churned",
//                              replace its files, delete it (for tests that
//                              kill it at random moments)
//   store_tool TAG COUNT       once the event "TwStoreGo" is set: create TAG 0
//                              to TAG COUNT-1, and after each odd one delete
//                              the even one before it
//   store_tool TAG COUNT edit  the same start: create each TAG i, rename it to
//                              "TAG i renamed", replace its file with
//                              C:\TAG i new.pb
// After every change the file is read, and must be whole. Exit code 0 when
// every change had the expected result.
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

int Run(const std::string& tag, int count, bool edit) {
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, "TwStoreGo");
    if (!go || WaitForSingleObject(go, 60000) != WAIT_OBJECT_0) return 2;
    int faults = 0;
    auto check = [&](bool ok, const char* what, int i) {
        FileBytes file;
        if (ReadProjectList(file) == ListRead::kRead && !Whole(file.Text())) {
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
        check(AddProject(name, "C:\\ed.exe", {"C:\\" + name + ".pb"}).list == StoreResult::kDone, "not created", i);
        if (edit) {
            check(RenameProject(name, name + " renamed").list == StoreResult::kDone, "not renamed", i);
            check(ReplaceProjectFiles(name + " renamed", {"C:\\" + name + " new.pb"}) == StoreResult::kDone,
                  "files not replaced", i);
        } else if (i % 2 == 1) {
            check(RemoveProject(tag + " " + std::to_string(i - 1)) == StoreResult::kDone, "not deleted", i - 1);
        }
    }
    return faults == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // As on the program's window thread, which takes files dropped from the shell.
    OleInitialize(nullptr);
    if (argc >= 3) return Run(argv[1], std::atoi(argv[2]), argc > 3);
    for (;;) {
        AddProject("Churn", "C:\\ed.exe", {"C:\\churn.pb"});
        RenameProject("Churn", "Churned");
        ReplaceProjectFiles("Churned", {"C:\\churned.pb"});
        RemoveProject("Churned");
    }
}
