// Platform message boxes shown by another process, as the user sees them:
// found by title, read, checked and answered.
#pragma once
#include <windows.h>

#include <string>

namespace drv {

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string title;
    std::string text;
    bool hasOk = false, hasYes = false, hasNo = false, hasCancel = false;
    UINT icon = 0;  // MB_ICONERROR, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION; 0 none
};

// Waits for a message box of the process; hwnd is null on timeout.
MessageBoxInfo WaitMessageBox(DWORD processId, DWORD ms = 10000);
// The same for the process's message box with that title (a process may show several).
MessageBoxInfo WaitMessageBoxTitled(DWORD processId, const std::string& title, DWORD ms = 10000);
// Reads a message box found otherwise; an empty record for a null handle.
MessageBoxInfo ReadMessageBox(HWND box);
// Presses a button of a dialog (IDOK, IDYES, ...).
void PressButton(HWND dialog, int id);

// Checks a box against what MessageBox was asked for: its text, and the icon
// and buttons of `flags` (MB_ICONINFORMATION | MB_OK, MB_ICONQUESTION | MB_YESNO, ...).
void ExpectBox(const MessageBoxInfo& box, const std::string& text, UINT flags);
// Waits for the process's box titled `title`, checks it (ExpectBox), presses
// `answer` and waits until the box is gone. False when no such box came.
bool AnswerBox(DWORD processId, const std::string& title, const std::string& text, UINT flags, int answer = IDOK);

// The system's dialog for choosing a file or folder (the common item dialog)
// that the process shows under `title`: `path` typed into its name field
// and taken (a folder is gone into first, then taken), or the dialog
// cancelled when `path` is empty. False when no such dialog came.
bool AnswerFileDialog(DWORD processId, const std::string& title, const std::string& path);

}  // namespace drv
