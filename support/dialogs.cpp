// Modal dialogs of the calling thread: the one-line text prompt and the
// platform's message box, with the thread's other windows disabled meanwhile.
#include "support/dialogs.h"

#include <string_view>

#include "support/unique.h"

namespace {

// ModalDisableList: windows disabled for a dialog, waiting to be enabled again.
struct ModalEntry {
    DWORD thread;
    HWND window;
};

// A fixed table, so that disabling allocates nothing (the error report comes
// this way when memory has run out). A thread has a handful of top-level
// windows; one past the table's end stays enabled rather than be lost.
constexpr size_t kMostDisabled = 64;

struct DialogLayer {
    ModalEntry disabled[kMostDisabled] = {};
    size_t disabledCount = 0;
    HFONT font = nullptr;  // stock object: never deleted
    // While DlgMessageBoxLabelled's box comes up: the hook that relabels it.
    HHOOK labelHook = nullptr;
    std::initializer_list<ButtonLabel> labels;
};

DialogLayer gDialogs;

constexpr char kAskClass[] = "InputRequester";
constexpr int kAskWidth = 300, kAskHeight = 130;
constexpr int kIdPrompt = 0, kIdEdit = 10, kIdOk = 1000, kIdCancel = 1001;
constexpr int kMostCharsTaken = 9999;

// One DlgAskText call; the dialog window points at it.
struct AskCall {
    HWND edit = nullptr;
    bool finished = false;
    bool cancelled = true;
    std::string result;
};

BOOL CALLBACK DisableIfOurs(HWND hwnd, LPARAM) {
    DWORD thread = GetCurrentThreadId();
    if (GetWindowThreadProcessId(hwnd, nullptr) == thread && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
        gDialogs.disabledCount < kMostDisabled) {
        EnableWindow(hwnd, FALSE);
        gDialogs.disabled[gDialogs.disabledCount++] = {thread, hwnd};
    }
    return TRUE;
}

// The other windows are enabled before the dialog goes, so that the platform
// can hand the activation back to one of them.
void EndAsk(HWND dialog, AskCall& call, bool takeText) {
    call.result.clear();
    call.cancelled = !takeText;
    if (takeText) {
        std::string text(kMostCharsTaken + 1, '\0');
        int n = GetWindowTextA(call.edit, text.data(), int(text.size()));
        text.resize(size_t(n > 0 ? n : 0));
        call.result = std::move(text);
    }
    DlgEnableThreadWindows();
    DestroyWindow(dialog);
}

LRESULT CALLBACK AskProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* call = reinterpret_cast<AskCall*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!call) return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_COMMAND:
            // Only the id counts; the notification code is not looked at.
            if (LOWORD(wp) == kIdOk) EndAsk(hwnd, *call, true);
            else if (LOWORD(wp) == kIdCancel) EndAsk(hwnd, *call, false);
            return 0;
        case WM_CLOSE:
            EndAsk(hwnd, *call, false);
            return 0;
        case WM_ACTIVATE:
            // The default handling would put the focus on the dialog window
            // itself whenever it is activated again, and typing would go nowhere.
            if (LOWORD(wp) != WA_INACTIVE && call->edit) {
                SetFocus(call->edit);
                return 0;
            }
            break;
        case WM_DESTROY:
            call->finished = true;
            return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND AddControl(HWND parent, const char* cls, const std::string& text, DWORD style, DWORD exStyle, int x, int y,
                int w, int h, int id) {
    HWND hwnd = CreateWindowExA(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    if (hwnd) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(gDialogs.font), TRUE);
    return hwnd;
}

}  // namespace

HWND DlgOwnerWindow() {
    HWND foreground = GetForegroundWindow();
    if (!foreground) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId() ? foreground : nullptr;
}

void DlgDisableThreadWindows() { EnumWindows(DisableIfOurs, 0); }

void DlgEnableThreadWindows() {
    DWORD thread = GetCurrentThreadId();
    size_t kept = 0;
    for (size_t i = 0; i < gDialogs.disabledCount; ++i) {
        if (gDialogs.disabled[i].thread == thread)
            EnableWindow(gDialogs.disabled[i].window, TRUE);
        else
            gDialogs.disabled[kept++] = gDialogs.disabled[i];
    }
    gDialogs.disabledCount = kept;
}

namespace {

// Relabels the buttons of the message box the thread is about to activate.
LRESULT CALLBACK RelabelBox(int code, WPARAM wp, LPARAM lp) {
    HHOOK hook = gDialogs.labelHook;
    if (code == HCBT_ACTIVATE) {
        for (const ButtonLabel& label : gDialogs.labels)
            SetDlgItemTextA(reinterpret_cast<HWND>(wp), label.id, label.text.c_str());
        UnhookWindowsHookEx(hook);
        gDialogs.labelHook = nullptr;
    }
    return CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

int DlgMessageBoxLabelled(const char* title, const char* message, unsigned flags,
                          std::initializer_list<ButtonLabel> labels) {
    gDialogs.labels = labels;
    gDialogs.labelHook = SetWindowsHookExA(WH_CBT, RelabelBox, nullptr, GetCurrentThreadId());
    int answer = DlgMessageBox(title, message, flags);
    if (gDialogs.labelHook) UnhookWindowsHookEx(gDialogs.labelHook);
    gDialogs.labelHook = nullptr;
    return answer;
}

int DlgMessageBox(const char* title, const char* message, unsigned flags) {
    DlgDisableThreadWindows();
    int result = MessageBoxA(DlgOwnerWindow(), message, title, flags);
    DlgEnableThreadWindows();
    return result;
}

std::string DlgAskText(const std::string& title, const std::string& prompt, const std::string& defaultText,
                       bool* cancelled) {
    if (cancelled) *cancelled = true;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!gDialogs.font) gDialogs.font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    // The platform deletes a class's background brush when the class is
    // unregistered, so every registration gets a brush of its own.
    LOGBRUSH face{BS_SOLID, GetSysColor(COLOR_BTNFACE), 0};
    HBRUSH faceBrush = CreateBrushIndirect(&face);

    // Registered for this call only. A failure here means the class is still
    // there (a dialog open further up the stack), which serves as well.
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = AskProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = faceBrush;
    wc.lpszClassName = kAskClass;
    if (!RegisterClassExA(&wc) && faceBrush) DeleteObject(faceBrush);

    // Before the dialog exists, so that it stays enabled itself.
    DlgDisableThreadWindows();

    AskCall call;
    int x = GetSystemMetrics(SM_CXSCREEN) / 2 - kAskWidth / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2 - kAskHeight / 2;
    HWND dialog = CreateWindowExA(0, kAskClass, title.c_str(), WS_VISIBLE | WS_CAPTION, x, y, kAskWidth, kAskHeight,
                                  DlgOwnerWindow(), nullptr, instance, &call);
    if (!dialog) {
        // Nothing to wait for: give the windows back rather than leave them dead.
        DlgEnableThreadWindows();
        UnregisterClassA(kAskClass, instance);
        return {};
    }

    AddControl(dialog, "STATIC", prompt, SS_SIMPLE, 0, 10, 10, 280, 22, kIdPrompt);
    call.edit = AddControl(dialog, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 10, 32, 275, 21, kIdEdit);
    AddControl(dialog, "BUTTON", "Ok", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 110, 67, 80, 25, kIdOk);
    SetFocus(call.edit);
    if (!defaultText.empty()) {
        SendMessageA(call.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(defaultText.c_str()));
        LRESULT end = SendMessageA(call.edit, WM_GETTEXTLENGTH, 0, 0);
        SendMessageA(call.edit, EM_SETSEL, WPARAM(end), end);
    }

    ACCEL keys[2] = {{FVIRTKEY, VK_RETURN, kIdOk}, {FVIRTKEY, VK_ESCAPE, kIdCancel}};
    UniqueAccel accel(CreateAcceleratorTableA(keys, 2));
    SetForegroundWindow(dialog);
    BringWindowToTop(dialog);

    // Messages of the thread's other windows (painting, timers) are served
    // too; there is no dialog-style navigation, only Enter and Escape.
    bool quit = false;
    WPARAM quitCode = 0;
    while (!call.finished) {
        MSG msg{};  // wParam is read below even when GetMessageA fails
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The thread is asked to end: cancel, and leave the request for
            // the caller's own loop.
            quit = got == 0;
            quitCode = msg.wParam;
            if (IsWindow(dialog)) EndAsk(dialog, call, false);
            break;
        }
        if (accel && TranslateAcceleratorA(dialog, accel.get(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // Unregistered only now: a class cannot go while its window still exists,
    // and during WM_DESTROY it does.
    UnregisterClassA(kAskClass, instance);
    if (quit) PostQuitMessage(int(quitCode));
    if (cancelled) *cancelled = call.cancelled;
    return call.result;
}
