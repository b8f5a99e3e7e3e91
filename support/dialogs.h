// Modal dialogs of the calling thread: a one-line text prompt and message boxes.
#pragma once
#include <windows.h>

#include <string>

// `cancelled`, when given, tells whether Escape or a close request ended the
// dialog (the answer is then empty) rather than Ok or Enter.
std::string DlgAskText(const std::string& title, const std::string& prompt, const std::string& defaultText,
                       bool* cancelled = nullptr);
// Allocates nothing: the error report shows its box with it.
int DlgMessageBox(const char* title, const char* message, unsigned flags);
HWND DlgOwnerWindow();
void DlgDisableThreadWindows();
void DlgEnableThreadWindows();
