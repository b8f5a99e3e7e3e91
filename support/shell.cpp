#include "support/shell.h"

#include "support/program.h"

HANDLE ShellRun(const std::string& file, const std::string& parameters, const std::string& directory,
                unsigned flags) {
    std::string workDir;
    size_t slash = file.rfind('\\');
    if (slash != std::string::npos && slash != 0) workDir = file.substr(0, slash + 1);
    if (!directory.empty()) workDir = directory;

    EnterProgramFolder();
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "Open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = workDir.empty() ? nullptr : workDir.c_str();
    info.nShow = (flags & kShellRunHidden) ? SW_HIDE : SW_SHOWNORMAL;
    BOOL ok = ShellExecuteExA(&info);
    if (ok && info.hProcess) {
        if (flags & kShellRunWait) WaitForSingleObject(info.hProcess, INFINITE);
        return info.hProcess;
    }
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(ok));
}
