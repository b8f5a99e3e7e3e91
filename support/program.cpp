#include "support/program.h"

#include <windows.h>

#include "support/core/cmdline.h"
#include "support/core/text.h"

namespace {
std::string gProgramFolder;
int gParameterCalls = 0;
}  // namespace

std::string ProgramPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (n == 0) return {};
        // A path that fills the buffer may have been cut: try a larger one.
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void ProgramFolderInit() {
    gProgramFolder = FolderOf(ProgramPath());
    EnterProgramFolder();
}

const std::string& ProgramFolder() { return gProgramFolder; }

void EnterProgramFolder() {
    if (!gProgramFolder.empty()) SetCurrentDirectoryA(gProgramFolder.c_str());
}

std::string NextProgramParameter() {
    return CommandLineParameter(GetCommandLineA(), gParameterCalls++);
}
