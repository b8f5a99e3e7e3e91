#include "support/wait.h"

#include <algorithm>

#include "support/dialogs.h"

namespace {

// Handles what is queued for the thread now. A request to end the thread is
// left for the caller's own loop.
void ServeMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

void KeepAnswering::StartServing() {
    // Disabling a window takes the keyboard focus from it: it is put back.
    focus_ = GetFocus();
    DlgDisableThreadWindows();
    busy_ = true;
}

KeepAnswering::~KeepAnswering() {
    if (!busy_) return;
    // The caller reads why its wait failed after this has run.
    const DWORD error = GetLastError();
    DlgEnableThreadWindows();
    if (focus_ && IsWindow(focus_) && !GetFocus()) SetFocus(focus_);
    SetLastError(error);
}

void KeepAnswering::Sleep(DWORD ms) { Wait({}, ms, true); }

bool KeepAnswering::WaitAll(std::vector<HANDLE> handles, DWORD ms) { return Wait(std::move(handles), ms, false); }

bool KeepAnswering::Wait(std::vector<HANDLE> handles, DWORD ms, bool sleeping) {
    const DWORD begin = GetTickCount();
    for (;;) {
        // Drop what is signalled; the rest is waited for together.
        for (size_t i = handles.size(); i-- > 0;)
            if (WaitForSingleObject(handles[i], 0) != WAIT_TIMEOUT) handles.erase(handles.begin() + long(i));
        if (handles.empty() && !sleeping) return true;
        const DWORD passed = GetTickCount() - begin;
        if (passed >= ms) return handles.empty();
        DWORD left = ms - passed;
        const DWORD count = DWORD(std::min<size_t>(handles.size(), MAXIMUM_WAIT_OBJECTS - 1));
        const DWORD elapsed = GetTickCount() - start_;
        if (!busy_ && elapsed >= kGraceMs) StartServing();
        if (busy_) {
            MsgWaitForMultipleObjects(count, handles.data(), FALSE, left, QS_ALLINPUT);
            ServeMessages();
            continue;
        }
        // Up to the end of the grace only: from then on, messages are served.
        const DWORD graceLeft = kGraceMs - elapsed;
        if (graceLeft < left) left = graceLeft;
        if (count == 0)
            ::Sleep(left);
        else
            WaitForMultipleObjects(count, handles.data(), FALSE, left);
    }
}
