// Opening files and programs through the shell.
#pragma once
#include <string>

enum ShellRunFlags : unsigned { kShellRunHidden = 2 };

// Opens a file or program through the shell from ProgramFolder, in
// `directory` (when empty: the file's own folder when its name has one, else
// ProgramFolder). True when the shell took it. Nothing waits for a process
// it starts.
bool ShellRun(const std::string& file, const std::string& parameters, const std::string& directory,
              unsigned flags);

// `text` with its %VARIABLES% replaced by their values, as the shell and the
// command interpreter expand them; unknown variables stay as they are.
std::string ExpandVariables(const std::string& text);
