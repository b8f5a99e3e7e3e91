#pragma once
#include <windows.h>

#include <string>

enum ShellRunFlags : unsigned { kShellRunWait = 1, kShellRunHidden = 2 };

// Opens a file or program through the shell from ProgramFolder. Returns the
// started process's handle when there is one (the caller owns it), otherwise
// the shell call's success value (0 on failure).
HANDLE ShellRun(const std::string& file, const std::string& parameters, const std::string& directory,
                unsigned flags);
