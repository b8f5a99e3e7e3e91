// Numbered windows, the current gadget list and the event queue.
#include "support/window.h"

#include <commctrl.h>

#include <array>
#include <cstring>
#include <vector>

#include "support/unique.h"

namespace {

constexpr UINT kMsgSized = 12504;     // carries a size change through the queue
constexpr WORD kCmdFocusNext = 1212;  // Tab
constexpr WORD kCmdFocusPrev = 1213;  // Shift+Tab
constexpr size_t kInitialCapacity = 10;
constexpr int kProgramIcon = 1;  // in the program's resources (res/tarnwick.rc)

struct WindowRecord {
    HWND handle = nullptr;
    int32_t acceleratorCount = 0;
    std::array<ACCEL, 2> accelerators{};
    UniqueAccel acceleratorTable{nullptr};
};

struct WindowLayer {
    HINSTANCE instance = nullptr;
    bool templateReady = false;
    std::vector<WindowRecord> table;  // capacity + 2 records, by window number
    HBRUSH background = nullptr;
    HCURSOR cursor = nullptr;
    HICON icon = nullptr;
    HWND lastOpened = nullptr;
    HWND gadgetList = nullptr;
    // The event state: written while one message is dispatched, read by the
    // application right after the wait returns.
    int32_t event = 0;
    int32_t eventGadget = 0;
    int32_t eventSubtype = kSubtypeNone;
    int32_t eventTimer = 0;
    int32_t eventColumn = 0;
};
WindowLayer gWin;

size_t Capacity() { return gWin.table.empty() ? 0 : gWin.table.size() - 2; }

void ClassNameOf(int32_t number, char (&name)[32]) {
    wsprintfA(name, "WindowClass_%ld", long(number));
}

bool ClassBeginsWith(HWND hwnd, const char* prefix) {
    char name[51] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

void RaiseGadgetEvent(int32_t gadget) {
    gWin.event = EvGadget;
    gWin.eventGadget = gadget;
}

// Tab navigation: the descendants of a window that can take the focus from
// the keyboard, in the platform's enumeration order (creation order, depth first).
BOOL CALLBACK CollectTabStop(HWND hwnd, LPARAM lp) {
    if (IsWindowEnabled(hwnd) && IsWindowVisible(hwnd) && (GetWindowLongA(hwnd, GWL_STYLE) & WS_TABSTOP))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

void MoveFocus(bool forward) {
    HWND active = GetActiveWindow();
    if (!active) return;
    std::vector<HWND> candidates;
    EnumChildWindows(active, CollectTabStop, reinterpret_cast<LPARAM>(&candidates));
    if (candidates.empty()) return;
    HWND focus = GetFocus();
    bool inside = focus && IsChild(active, focus);
    size_t at = candidates.size();
    if (inside)
        for (size_t i = 0; i < candidates.size(); ++i)
            if (candidates[i] == focus) at = i;
    bool isCandidate = at < candidates.size();
    if (forward) {
        if (!inside)
            SetFocus(candidates.front());
        else if (isCandidate)
            SetFocus(candidates[(at + 1) % candidates.size()]);
        // The focus is on something inside that takes no part: it stays.
    } else {
        if (inside && isCandidate && at > 0)
            SetFocus(candidates[at - 1]);
        else
            SetFocus(candidates.back());
    }
}

// A notification of a tree or report list control as a gadget event; only
// the codes that name a kind of use change the subtype.
void OnNotify(const NMHDR* hdr) {
    if (!hdr) return;
    int32_t subtype;
    switch (hdr->code) {
        case NM_CLICK: subtype = kSubtypeClick; break;
        case NM_DBLCLK: subtype = kSubtypeDoubleClick; break;
        case NM_RCLICK: subtype = kSubtypeRightClick; break;
        case NM_RDBLCLK: subtype = kSubtypeRightDoubleClick; break;
        case LVN_ITEMACTIVATE: subtype = kSubtypeDoubleClick; break;
        case LVN_COLUMNCLICK: subtype = kSubtypeColumnClick; break;
        case TVN_SELCHANGEDA:
        case LVN_ITEMCHANGED:
            subtype = gWin.eventSubtype;
            break;
        default: return;  // before the class name: a report list sends many of these
    }
    if (!(ClassBeginsWith(hdr->hwndFrom, "SysT") || ClassBeginsWith(hdr->hwndFrom, "SysL"))) return;
    if (subtype == kSubtypeColumnClick) gWin.eventColumn = reinterpret_cast<const NMLISTVIEW*>(hdr)->iSubItem;
    gWin.eventSubtype = subtype;
    RaiseGadgetEvent(int32_t(hdr->idFrom));
}

void OnControlCommand(WPARAM wp, HWND control) {
    int32_t code = HIWORD(wp);
    if (ClassBeginsWith(control, "List")) {
        // A list box reports selection changes and double-clicks only; its
        // focus and other notifications are no use of the gadget.
        if (code == LBN_SELCHANGE)
            code = kSubtypeClick;
        else if (code == LBN_DBLCLK)
            code = kSubtypeDoubleClick;
        else
            return;
    }
    gWin.eventSubtype = code;
    RaiseGadgetEvent(LOWORD(wp));
}

LRESULT CALLBACK EventProcessor(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NOTIFY:
            OnNotify(reinterpret_cast<const NMHDR*>(lp));
            return 0;
        case WM_COMMAND:
            if (lp)
                OnControlCommand(wp, reinterpret_cast<HWND>(lp));
            else if (LOWORD(wp) == kCmdFocusNext || LOWORD(wp) == kCmdFocusPrev)
                MoveFocus(LOWORD(wp) == kCmdFocusNext);
            return 0;
        case kMsgSized:
            gWin.event = EvSized;
            return 0;
        case WM_SIZE:
            // Sizing arrives as a sent message, often from inside another call;
            // the posted copy reaches the application in queue order.
            PostMessageA(hwnd, kMsgSized, wp, lp);
            return 0;
        case WM_CLOSE:
            // The application decides when the window goes.
            gWin.event = EvCloseRequest;
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

WNDCLASSA TemplateClass(const char* name) {
    WNDCLASSA wc{};
    wc.style = 0;
    wc.lpfnWndProc = EventProcessor;
    wc.hInstance = gWin.instance;
    wc.hIcon = gWin.icon;
    wc.hCursor = gWin.cursor;
    wc.hbrBackground = gWin.background;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = name;
    return wc;
}

// The class "TemplateClass" with its brush, cursor and icon is made when the
// first window opens: a command-line start opens none, and under Wine the
// first class registration of a process costs several milliseconds.
void PrepareTemplate() {
    if (gWin.templateReady) return;
    if (!gWin.background) {
        LOGBRUSH brush{BS_SOLID, GetSysColor(COLOR_BTNFACE), 0};
        gWin.background = CreateBrushIndirect(&brush);
    }
    gWin.cursor = LoadCursorA(nullptr, IDC_ARROW);
    gWin.icon = LoadIconA(gWin.instance, MAKEINTRESOURCEA(kProgramIcon));
    WNDCLASSA wc = TemplateClass("TemplateClass");
    RegisterClassA(&wc);
    gWin.templateReady = true;
}

WindowRecord* FindRecord(int32_t number) {
    if (number < 0 || size_t(number) >= gWin.table.size()) return nullptr;
    WindowRecord& r = gWin.table[size_t(number)];
    return r.handle ? &r : nullptr;
}

}  // namespace

void WinLayerInit(HINSTANCE instance) {
    gWin.table.clear();
    gWin.table.resize(kInitialCapacity + 2);
    gWin.instance = instance;
    gWin.templateReady = false;
    gWin.lastOpened = nullptr;
    gWin.gadgetList = nullptr;
    gWin.event = 0;
    gWin.eventGadget = 0;
    gWin.eventSubtype = kSubtypeNone;
    gWin.eventTimer = 0;
    gWin.eventColumn = 0;
}

HWND WinOpen(int32_t number, int32_t x, int32_t y, int32_t innerWidth, int32_t innerHeight, uint32_t flags,
             const std::string& title) {
    if (number < 0) return nullptr;
    if (size_t(number) >= Capacity()) gWin.table.resize(size_t(number) + 30 + 2);
    WinClose(number);
    PrepareTemplate();

    char className[32];
    ClassNameOf(number, className);
    WNDCLASSA wc = TemplateClass(className);
    RegisterClassA(&wc);

    bool centre = (flags & kWinCentre) != 0;
    DWORD style = flags & ~kWinCentre;
    if (style == 0) style = WS_CAPTION;
    style |= WS_VISIBLE;

    RECT outer{0, 0, innerWidth, innerHeight};
    AdjustWindowRect(&outer, style, FALSE);
    int32_t width = outer.right - outer.left;
    int32_t height = outer.bottom - outer.top;
    if (centre) {
        int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
        int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
        x = (screenWidth >> 1) - ((width < screenWidth ? width : screenWidth) >> 1);
        y = (screenHeight >> 1) - ((height < screenHeight ? height : screenHeight) >> 1);
    }

    HWND hwnd = CreateWindowExA(0, className, title.c_str(), style, x, y, width, height, nullptr, nullptr,
                                gWin.instance, nullptr);
    if (!hwnd) {
        UnregisterClassA(className, gWin.instance);
        return nullptr;
    }
    WindowRecord& r = gWin.table[size_t(number)];
    r.handle = hwnd;
    gWin.lastOpened = hwnd;
    r.acceleratorCount = 2;
    r.accelerators[0] = ACCEL{FVIRTKEY, VK_TAB, kCmdFocusNext};
    r.accelerators[1] = ACCEL{FVIRTKEY | FSHIFT, VK_TAB, kCmdFocusPrev};
    // Without a table the window simply has no Tab navigation.
    r.acceleratorTable.reset(CreateAcceleratorTableA(r.accelerators.data(), r.acceleratorCount));
    return hwnd;
}

HWND WinLastOpened() { return gWin.lastOpened; }

HWND GadgetListUse(HWND window) {
    gWin.gadgetList = window;
    return window;
}

HWND GadgetListWindow() { return gWin.gadgetList; }

int32_t WinWaitEvent() {
    gWin.eventSubtype = kSubtypeNone;
    MSG msg{};
    if (GetMessageA(&msg, nullptr, 0, 0) == -1) return 0;
    // A timer of one of the windows is an event only here, in the wait: one
    // due while a dialog runs its own loop goes by, never to be reported later.
    if (msg.message == WM_TIMER && msg.lParam == 0 && msg.hwnd) {
        for (const WindowRecord& r : gWin.table) {
            if (r.handle != msg.hwnd) continue;
            gWin.eventTimer = int32_t(msg.wParam);
            return EvTimer;
        }
    }
    bool translated = false;
    if (HWND active = GetActiveWindow()) {
        for (const WindowRecord& r : gWin.table) {
            if (r.handle != active) continue;
            translated = r.acceleratorTable && TranslateAcceleratorA(active, r.acceleratorTable.get(), &msg);
            break;
        }
    }
    if (!translated) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // An event set outside the wait (a control notifying during one of the
    // application's own calls) is returned here unless this message set another.
    int32_t result = gWin.event ? gWin.event : int32_t(msg.message);
    gWin.event = 0;
    return result;
}

int32_t WinEventGadget() { return gWin.eventGadget; }
int32_t WinEventSubtype() { return gWin.eventSubtype; }
int32_t WinEventTimer() { return gWin.eventTimer; }
int32_t WinEventColumn() { return gWin.eventColumn; }

bool WinAddTimer(int32_t number, int32_t timer, uint32_t ms) {
    WindowRecord* r = FindRecord(number);
    return r && SetTimer(r->handle, UINT_PTR(timer), ms, nullptr) != 0;
}

void WinRemoveTimer(int32_t number, int32_t timer) {
    if (WindowRecord* r = FindRecord(number)) KillTimer(r->handle, UINT_PTR(timer));
}

void WinRaiseGadgetEvent(int32_t gadget, int32_t subtype) {
    gWin.eventSubtype = subtype;
    RaiseGadgetEvent(gadget);
}

void WinClose(int32_t number) {
    WindowRecord* r = FindRecord(number);
    if (!r) return;
    HWND hwnd = r->handle;
    *r = WindowRecord{};  // the accelerator table goes with the record
    if (gWin.lastOpened == hwnd) gWin.lastOpened = nullptr;
    if (gWin.gadgetList == hwnd) gWin.gadgetList = nullptr;
    DestroyWindow(hwnd);  // its gadgets' records are cleared as their controls go
    char className[32];
    ClassNameOf(number, className);
    UnregisterClassA(className, gWin.instance);
}

void WinCloseAll() {
    for (size_t i = gWin.table.size(); i-- > 0;) WinClose(int32_t(i));
}
