#include "support/program.h"

#include <windows.h>

#include "support/core/cmdline.h"

namespace {
std::string gProgramFolder;
int gParameterCalls = 0;
}  // namespace

void ProgramFolderInit() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (n == 0) {
            path.clear();
            break;
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.rfind('\\');
    gProgramFolder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    EnterProgramFolder();
}

const std::string& ProgramFolder() { return gProgramFolder; }

void EnterProgramFolder() {
    if (!gProgramFolder.empty()) SetCurrentDirectoryA(gProgramFolder.c_str());
}

std::string NextProgramParameter() {
    return CommandLineParameter(GetCommandLineA(), gParameterCalls++);
}
