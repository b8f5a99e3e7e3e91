// Start-up, the end and the error report: the part of the main module that
// the crash trap's test host runs under an entry of its own.
#pragma once
#include <windows.h>

// Clears the application's record, makes the program's folder the current
// directory, starts the window and gadget layers and the crash trap, and
// names the error report as the trap's target.
void StartUp(HINSTANCE instance);
[[noreturn]] void EndProgram();
[[noreturn]] void ShowErrorReport();
