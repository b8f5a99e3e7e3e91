// The system's dialogs for choosing a folder or a program (the common item
// dialog): modal to the program's window, or without an owner on the
// command-line road.
#pragma once
#include <string>

// A folder the user chose, titled `title`; empty when the dialog was
// cancelled or the folder's path does not convert exactly to the ANSI code
// page (it could name no stored path).
std::string DlgPickFolder(const std::string& title);

// A program the user chose, titled `title`: "PureBasic.exe" offered first,
// then any program; empty as above.
std::string DlgPickProgram(const std::string& title);
