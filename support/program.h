// The program's own file and folder, and its command line.
#pragma once
#include <string>

// The full path of the running program, however long; empty if the
// platform cannot tell it.
std::string ProgramPath();

// Reads the folder of the program's own file (with its trailing backslash;
// empty when the path holds none) and makes it the current directory, so
// every relative data path means the file beside the program.
void ProgramFolderInit();
const std::string& ProgramFolder();
// Makes ProgramFolder the current directory again.
void EnterProgramFolder();

// The next command-line parameter: call k returns token k + 1 of the
// process's command line (token 0 is the program's path), empty if none.
std::string NextProgramParameter();
