#include "support/shell.h"

#include <windows.h>

#include "support/core/text.h"
#include "support/program.h"
#include "support/unique.h"

bool ShellRun(const std::string& file, const std::string& parameters, const std::string& directory,
              unsigned flags) {
    // A folder of the name counts from its second character on: "\x" has none.
    std::string_view folder = FolderOf(file);
    std::string workDir(directory.empty() && folder.size() > 1 ? folder : std::string_view(directory));

    EnterProgramFolder();
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "Open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = workDir.empty() ? nullptr : workDir.c_str();
    info.nShow = (flags & kShellRunHidden) ? SW_HIDE : SW_SHOWNORMAL;
    bool ok = ShellExecuteExA(&info);
    UniqueHandle process(info.hProcess);  // the started process, if any: nothing waits for it
    return ok;
}

std::string ExpandVariables(const std::string& text) {
    std::string out(MAX_PATH, '\0');
    for (;;) {
        DWORD need = ExpandEnvironmentStringsA(text.c_str(), out.data(), DWORD(out.size()));
        if (need == 0) return text;
        if (need <= out.size()) {
            out.resize(need - 1);
            return out;
        }
        out.resize(need);
    }
}
