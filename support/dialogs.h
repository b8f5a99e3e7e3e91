// Modal dialogs of the calling thread: a one-line text prompt and message boxes.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

// `cancelled`, when given, tells whether Escape or a close request ended the
// dialog (the answer is then empty) rather than Ok or Enter.
std::string DlgAskText(const std::string& title, const std::string& prompt, const std::string& defaultText,
                       bool* cancelled = nullptr);
// Allocates nothing: the error report shows its box with it.
int DlgMessageBox(const char* title, const char* message, unsigned flags);
// A message box whose buttons (those `flags` ask for) read as `labels`
// says, by their ids (IDYES, IDNO, IDCANCEL, ...); "&" marks an access key.
struct ButtonLabel {
    int id;
    std::string text;
};
int DlgMessageBoxLabelled(const char* title, const char* message, unsigned flags,
                          std::initializer_list<ButtonLabel> labels);
HWND DlgOwnerWindow();
void DlgDisableThreadWindows();
void DlgEnableThreadWindows();
