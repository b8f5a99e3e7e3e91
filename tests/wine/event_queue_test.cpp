// What the event queue reports, in order, when gadgets are used with real
// mouse and keyboard input, and how Tab moves the focus. The window layer and
// the gadgets run in this process; input goes through the system's queue.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace {

struct Ev {
    int32_t code;
    int32_t gadget;
    int32_t subtype;
    bool operator==(const Ev&) const = default;
};

std::string Describe(const std::vector<Ev>& events) {
    std::string out;
    for (const Ev& e : events)
        out += "{" + std::to_string(e.code) + ", " + std::to_string(e.gadget) + ", " + std::to_string(e.subtype) +
               "} ";
    return out.empty() ? "(none)" : out;
}

bool gQuiet = false;
void CALLBACK QuietTimer(HWND, UINT, UINT_PTR, DWORD) { gQuiet = true; }

// Runs the wait until the queue has been idle for `quietMs` (a thread timer
// fires only when nothing else is queued) and keeps every result.
std::vector<Ev> Wait(DWORD quietMs = 300) {
    std::vector<Ev> all;
    gQuiet = false;
    UINT_PTR timer = SetTimer(nullptr, 0, quietMs, QuietTimer);
    while (!gQuiet) {
        int32_t code = WinWaitEvent();
        all.push_back({code, WinEventGadget(), WinEventSubtype()});
    }
    KillTimer(nullptr, timer);
    all.pop_back();  // the timer's own message
    return all;
}

// The layer's events among the results, raw message numbers left out.
std::vector<Ev> EventsOf(const std::vector<Ev>& all) {
    std::vector<Ev> events;
    for (const Ev& e : all)
        if (e.code == EvGadget || e.code == EvCloseRequest || e.code == EvSized) events.push_back(e);
    return events;
}

bool Contains(const std::vector<Ev>& all, int32_t code) {
    for (const Ev& e : all)
        if (e.code == code) return true;
    return false;
}

POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Two clicks further apart than this are never a double-click.
void LetDoubleClickTimePass() { Sleep(GetDoubleClickTime() + 100); }

POINT ListBoxItemPoint(HWND list, int item) {
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return CentreOf(r);
}

POINT ListIconRowPoint(HWND list, int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return CentreOf(r);
}

class EventQueue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WinLayerInit(GetModuleHandleA(nullptr));
        GadgetLayerInit();
    }
    void SetUp() override {
        window_ = WinOpen(0, 0, 0, 400, 300, 0xCA0001, "Events");
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(GadgetListUse(WinLastOpened()), window_);
        SetForegroundWindow(window_);
        Wait();
    }
    void TearDown() override {
        if (HasFailure()) drv::Screenshot(::testing::UnitTest::GetInstance()->current_test_info()->name());
        WinCloseAll();
    }
    HWND window_ = nullptr;
};

TEST_F(EventQueue, AButtonClickIsSubtypeZero) {
    HWND button = GadButton(4, 10, 10, 100, 24, "Click");
    Wait();
    drv::ClickWindow(button);
    std::vector<Ev> want = {{EvGadget, 4, 0}};
    EXPECT_EQ(EventsOf(Wait()), want);
}

TEST_F(EventQueue, ListViewReportsSelectionAndDoubleClickButNotFocus) {
    HWND other = GadButton(4, 250, 10, 100, 24, "Other");
    HWND list = GadListView(1, 10, 10, 200, 150);
    GadAddItem(1, -1, "zero");
    GadAddItem(1, -1, "one");
    Wait();

    SetFocus(other);
    SetFocus(list);
    PostMessageA(window_, WM_USER + 5, 0, 0);
    EXPECT_EQ(WinWaitEvent(), WM_USER + 5) << "a list view taking the focus is no use of it";

    POINT p = ListBoxItemPoint(list, 1);
    drv::ClickAt(p.x, p.y);
    std::vector<Ev> click = {{EvGadget, 1, 0}};
    EXPECT_EQ(EventsOf(Wait()), click);
    EXPECT_EQ(GadGetState(1), 1);

    LetDoubleClickTimePass();
    p = ListBoxItemPoint(list, 0);
    drv::ClickAt(p.x, p.y, true);
    std::vector<Ev> twice = {{EvGadget, 1, 0}, {EvGadget, 1, 2}};
    EXPECT_EQ(EventsOf(Wait()), twice);
    EXPECT_EQ(GadGetState(1), 0);
}

TEST_F(EventQueue, ListIconClickDoubleClickEnterAndProgrammaticSelection) {
    HWND list = GadListIcon(2, 10, 10, 300, 200, "Name", 100, 0x40010008);
    GadAddItem(2, -1, "zero\nz");
    GadAddItem(2, -1, "one\no");
    GadAddItem(2, -1, "two\nt");
    Wait();

    // The row's state change comes with the button going down, the click with it coming up.
    POINT p = ListIconRowPoint(list, 1);
    drv::ClickAt(p.x, p.y);
    std::vector<Ev> click = {{EvGadget, 2, -1}, {EvGadget, 2, 0}};
    EXPECT_EQ(EventsOf(Wait()), click);
    EXPECT_EQ(GadGetState(2), 1);

    LetDoubleClickTimePass();
    p = ListIconRowPoint(list, 2);
    drv::ClickAt(p.x, p.y, true);
    std::vector<Ev> twice = EventsOf(Wait());
    ASSERT_FALSE(twice.empty());
    EXPECT_EQ(twice.back(), (Ev{EvGadget, 2, 2})) << Describe(twice);
    int activations = 0;
    for (const Ev& e : twice) activations += e.subtype == 2;
    EXPECT_EQ(activations, 1) << "one double-click is one activation: " << Describe(twice);
    EXPECT_EQ(GadGetState(2), 2);

    drv::KeyTap(VK_RETURN);
    std::vector<Ev> enter = {{EvGadget, 2, 2}};
    EXPECT_EQ(EventsOf(Wait()), enter);

    // A selection made by the program is reported by the next wait, which
    // still handles its own message; the subtype stays -1.
    GadSetState(2, 0);
    PostMessageA(window_, WM_USER + 5, 0, 0);
    EXPECT_EQ(WinWaitEvent(), EvGadget);
    EXPECT_EQ(WinEventGadget(), 2);
    EXPECT_EQ(WinEventSubtype(), -1);
    EXPECT_FALSE(Contains(Wait(), WM_USER + 5)) << "the posted message was the one handled";
    EXPECT_EQ(GadGetState(2), 0);
    EXPECT_EQ(GetFocus(), list);
}

TEST_F(EventQueue, AMouseMoveIsItsMessageNumberAndKeepsTheGadget) {
    HWND button = GadButton(7, 10, 10, 100, 24, "Click");
    Wait();
    drv::ClickWindow(button);
    Wait();
    ASSERT_EQ(WinEventGadget(), 7);
    RECT r = drv::ClientRectOnScreen(window_);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = (r.left + 300) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = (r.top + 200) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &in, sizeof in);
    std::vector<Ev> all = Wait();
    EXPECT_TRUE(Contains(all, WM_MOUSEMOVE)) << Describe(all);
    EXPECT_TRUE(EventsOf(all).empty()) << Describe(all);
    EXPECT_EQ(WinEventGadget(), 7);
}

TEST_F(EventQueue, CloseRequestLeavesTheWindowAndSizesArriveThroughTheQueue) {
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    std::vector<Ev> close = EventsOf(Wait());
    ASSERT_EQ(close.size(), 1u) << Describe(close);
    EXPECT_EQ(close[0].code, EvCloseRequest);
    EXPECT_TRUE(IsWindow(window_) && IsWindowVisible(window_));

    for (int show : {SW_MINIMIZE, SW_RESTORE}) {
        ShowWindow(window_, show);
        std::vector<Ev> events = EventsOf(Wait());
        EXPECT_FALSE(events.empty()) << show;
        for (const Ev& e : events) EXPECT_EQ(e.code, EvSized) << show << ": " << Describe(events);
    }
}

TEST_F(EventQueue, TabVisitsEnabledVisibleTabStopsDepthFirstAndWraps) {
    HWND first = GadButton(1, 10, 10, 80, 24, "1");
    HWND list = GadListView(2, 10, 40, 80, 60);
    EnableWindow(GadButton(3, 10, 110, 80, 24, "off"), FALSE);
    ShowWindow(GadButton(4, 10, 140, 80, 24, "hidden"), SW_HIDE);
    HWND label = GadText(5, 100, 10, 80, 20, "label");
    HWND frame = GadFrame(6, 100, 40, 150, 100, "frame");
    GadgetListUse(frame);
    HWND inner = GadButton(7, 10, 20, 80, 24, "inner");
    GadgetListUse(window_);
    HWND last = GadButton(8, 260, 10, 80, 24, "8");
    Wait();

    auto press = [&](bool shift) {
        drv::KeyTap(VK_TAB, shift);
        Wait(150);
        return GetFocus();
    };
    SetFocus(window_);
    const HWND forward[] = {first, list, inner, last, first};
    for (HWND want : forward) EXPECT_EQ(press(false), want) << drv::WindowText(want);
    const HWND backward[] = {last, inner, list, first, last};
    for (HWND want : backward) EXPECT_EQ(press(true), want) << drv::WindowText(want);

    SetFocus(window_);
    EXPECT_EQ(press(true), last) << "focus outside the gadgets: Shift+Tab goes to the last";
    SetFocus(label);
    EXPECT_EQ(press(false), label) << "Tab leaves a focus it cannot place";
    EXPECT_EQ(press(true), last);
}

// ---- Gadget operations

TEST_F(EventQueue, ListViewIndexesStateAndTexts) {
    GadListView(1, 10, 10, 200, 150);
    EXPECT_EQ(GadAddItem(1, -1, "first"), 0);
    EXPECT_EQ(GadAddItem(1, -1, "second"), 1);
    EXPECT_EQ(GadAddItem(1, 0, "top"), 0);
    EXPECT_EQ(GadCountItems(1), 3);
    EXPECT_EQ(GadGetItemText(1, 2, 7), "second") << "the column is ignored";
    EXPECT_EQ(GadGetItemText(1, 3, 0), "");
    EXPECT_EQ(GadGetState(1), -1);
    EXPECT_EQ(GadGetText(1), "");

    GadSetState(1, 2);
    GadRemoveItem(1, 2);
    GadSetState(1, 1);
    EXPECT_EQ(GadGetText(1), "first");
    EXPECT_EQ(GadGetState(1), 1);

    GadClearItems(1);
    EXPECT_EQ(GadCountItems(1), 0);
    GadAddItem(1, -1, "only");
    GadSetState(1, 0);
    GadRemoveItem(1, 0);
    GadSetState(1, -1);
    EXPECT_EQ(GadGetState(1), -1);
}

TEST_F(EventQueue, ListIconRowsCarryTheirColumnsSeparatedByLineFeeds) {
    GadListIcon(2, 10, 10, 350, 200, "Name", 100, 0x40010008);
    GadAddColumn(2, 1, "Files", 100);
    GadAddColumn(2, 2, "", 100);
    struct Row {
        const char* text;
        const char* cells[3];
    };
    const Row rows[] = {
        {"Demo\nmain.pb  inc.pbi  ", {"Demo", "main.pb  inc.pbi  ", ""}},
        {"alone", {"alone", "", ""}},
        {"a\n\nc", {"a", "", "c"}},
        {"\nonly files", {"", "only files", ""}},
        {"x\ny\nz\nbeyond the columns", {"x", "y", "z"}},
    };
    for (const Row& r : rows) GadAddItem(2, -1, r.text);
    ASSERT_EQ(GadCountItems(2), 5);
    for (int i = 0; i < 5; ++i)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(GadGetItemText(2, i, c), rows[i].cells[c]) << i << "," << c;

    EXPECT_EQ(GadAddItem(2, 0, "new top\ntop files"), 0);
    EXPECT_EQ(GadGetItemText(2, 0, 1), "top files");
    EXPECT_EQ(GadGetItemText(2, 1, 0), "Demo");
    EXPECT_EQ(GadAddItem(2, 100, "past the end\npast"), 6) << "a position past the end appends";
    EXPECT_EQ(GadGetItemText(2, 6, 1), "past");
    EXPECT_EQ(GadGetItemText(2, 7, 0), "");

    EXPECT_EQ(GadGetState(2), -1);
    EXPECT_EQ(GadGetText(2), "");
    GadSetState(2, 3);
    EXPECT_EQ(GadGetState(2), 3);
    EXPECT_EQ(GadGetText(2), "a");
    GadSetState(2, 4);
    EXPECT_EQ(GadGetState(2), 4) << "single selection: the new row replaces the old";
    GadSetState(2, -1);
    EXPECT_EQ(GadGetState(2), -1) << "-1 selects no row";
    GadSetState(2, 4);
    GadRemoveItem(2, 0);
    EXPECT_EQ(GadCountItems(2), 6);
    GadClearItems(2);
    EXPECT_EQ(GadCountItems(2), 0);
    EXPECT_EQ(GadGetState(2), -1);
}

// Wine redraws a visible report list's scroll bars on every insert
// (milliseconds each): thousands of rows must not take as many milliseconds.
TEST_F(EventQueue, ANegativeStateSelectsNoRowEvenWithMultipleSelection) {
    GadListIcon(2, 10, 10, 350, 200, "Name", 100, 0x40010008 | 4);
    for (const char* row : {"a", "b", "c"}) GadAddItem(2, -1, row);
    GadSetState(2, 1);
    GadSetState(2, -1);
    EXPECT_EQ(GadGetState(2), -1) << "row -1 is no row, not every row";
}

TEST_F(EventQueue, AVisibleReportListFillsQuicklyAndDrawsAfterwards) {
    HWND list = GadListIcon(2, 10, 10, 350, 200, "Name", 100, 0x40010008);
    GadAddColumn(2, 1, "Files", 200);
    Wait();
    DWORD start = GetTickCount();
    for (int i = 0; i < 3000; ++i) GadAddItem(2, -1, "Project " + std::to_string(i) + "\nfile.pb  ");
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 3000u) << "3,000 rows took " << took << " ms";
    Wait();
    EXPECT_EQ(GadCountItems(2), 3000);
    EXPECT_TRUE(IsWindowVisible(list));
    // Drawing is back on once the loop has run: the first row's text is on screen.
    RECT r{LVIR_LABEL, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    HDC screen = GetDC(nullptr);
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            COLORREF c = GetPixel(screen, x, y);
            dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
        }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(dark, 10) << "no text drawn in the first row";
}

TEST_F(EventQueue, GadgetKindsMakeTheirControls) {
    struct Kind {
        int32_t number;
        HWND hwnd;
        const char* cls;
        DWORD style;  // the bits the control keeps (a list box drops scroll bars it does not need)
        DWORD exStyle;
    };
    const Kind kinds[] = {
        {1, GadButton(1, 0, 0, 50, 20, "b"), "Button", 0x50030000, 0},
        {2, GadFrame(2, 0, 30, 50, 20, "f"), "Button", 0x50020007, 0},
        {3, GadText(3, 0, 60, 50, 20, "t"), "Static", 0x50020000, 0},
        {4, GadListView(4, 60, 0, 50, 50), "ListBox", 0x50330141 & ~(WS_VSCROLL | WS_HSCROLL), WS_EX_CLIENTEDGE},
        {5, GadListIcon(5, 120, 0, 100, 50, "c", 50, 0x40010008), "SysListView32",
         0x50010041 | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.cls);
        ASSERT_NE(k.hwnd, nullptr);
        EXPECT_EQ(GetParent(k.hwnd), window_);
        EXPECT_EQ(GetDlgCtrlID(k.hwnd), k.number);
        EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, drv::ClassName(k.hwnd).c_str(), -1, k.cls, -1),
                  CSTR_EQUAL)
            << drv::ClassName(k.hwnd);
        // Controls add state bits of their own (a list box its scroll bars): compare ours.
        EXPECT_EQ(DWORD(GetWindowLongA(k.hwnd, GWL_STYLE)) & k.style, k.style);
        EXPECT_EQ(DWORD(GetWindowLongA(k.hwnd, GWL_EXSTYLE)) & WS_EX_CLIENTEDGE, k.exStyle);
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(k.hwnd, WM_GETFONT, 0, 0)),
                  GetStockObject(DEFAULT_GUI_FONT));
    }
    EXPECT_FALSE(GetWindowLongA(kinds[3].hwnd, GWL_STYLE) & LBS_SORT) << "a list view keeps insertion order";
}

TEST_F(EventQueue, ListIconFlagsChooseStylesAndExtendedStyles) {
    struct Case {
        uint32_t flags;
        DWORD styleOn, styleOff, extended;
    };
    const Case cases[] = {
        {0x40010008, LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_REPORT, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT},
        {0, LVS_SINGLESEL | LVS_REPORT, LVS_SHOWSELALWAYS, 0},
        {4, LVS_REPORT, LVS_SINGLESEL, 0},
        {0x10000001, LVS_SINGLESEL, 0, LVS_EX_HEADERDRAGDROP | LVS_EX_CHECKBOXES},
    };
    for (const Case& c : cases) {
        HWND list = GadListIcon(2, 0, 0, 200, 100, "c", 50, c.flags);
        ASSERT_NE(list, nullptr);
        DWORD style = DWORD(GetWindowLongA(list, GWL_STYLE));
        EXPECT_EQ(style & c.styleOn, c.styleOn) << std::hex << c.flags;
        EXPECT_EQ(style & c.styleOff, 0u) << std::hex << c.flags;
        DWORD ex = DWORD(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(ex, c.extended) << std::hex << c.flags;
    }
}

TEST_F(EventQueue, NumbersAreReusedGrowAndGoWithTheirControls) {
    HWND old = GadButton(5, 0, 0, 50, 20, "old");
    HWND now = GadButton(5, 0, 0, 50, 20, "new");
    EXPECT_FALSE(IsWindow(old)) << "a number in use is freed first";
    EXPECT_EQ(GadGetText(5), "new");

    ASSERT_NE(GadListView(40, 0, 30, 50, 50), nullptr) << "the table grows past its first 30";
    GadAddItem(40, -1, "forty");
    EXPECT_EQ(GadGetItemText(40, 0, 0), "forty");
    ASSERT_NE(GadButton(75, 0, 90, 50, 20, "75"), nullptr) << "and again";
    EXPECT_EQ(GadGetText(40), "");
    EXPECT_EQ(GadCountItems(40), 1);

    GadFree(5);
    EXPECT_FALSE(IsWindow(now));
    EXPECT_EQ(GadgetFind(5), nullptr);

    DestroyWindow(GadgetFind(75)->handle);
    EXPECT_EQ(GadgetFind(75), nullptr) << "destroying the control frees its number";

    for (int32_t n : {5, 31, 75, 1000, -1}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(GadGetText(n), "");
        EXPECT_EQ(GadAddItem(n, -1, "x"), 0);
        EXPECT_EQ(GadGetState(n), 0);
        EXPECT_EQ(GadCountItems(n), 0);
        EXPECT_EQ(GadGetItemText(n, 0, 0), "");
        GadSetState(n, 1);
        GadRemoveItem(n, 0);
        GadClearItems(n);
        GadFree(n);
        GadAddColumn(n, 1, "x", 10);
    }
    EXPECT_EQ(GadButton(-1, 0, 0, 10, 10, "negative"), nullptr);

    WinClose(0);
    EXPECT_EQ(GadgetFind(40), nullptr) << "gadgets go with their window";
}

TEST_F(EventQueue, TextsAreCutAtTheirLimits) {
    // A window text is at most 32,767 characters long (Wine's UNICODE_STRING).
    GadButton(1, 0, 0, 50, 20, std::string(32500, 'b'));
    EXPECT_EQ(GadGetText(1).size(), 31999u);
    GadListIcon(2, 0, 30, 200, 100, "c", 50, 0x40010008);
    GadAddColumn(2, 1, "d", 50);
    GadAddItem(2, -1, std::string(70000, 'n') + "\n" + std::string(20000, 'f'));
    GadSetState(2, 0);
    EXPECT_EQ(GadGetText(2).size(), 59999u);
    EXPECT_EQ(GadGetItemText(2, 0, 0).size(), 9999u);
    EXPECT_EQ(GadGetItemText(2, 0, 1).size(), 9999u);
    GadListView(3, 0, 140, 200, 100);
    GadAddItem(3, -1, std::string(100000, 'l'));
    GadSetState(3, 0);
    EXPECT_EQ(GadGetText(3).size(), 100000u) << "a list view's text has no limit of its own";
}

// ---- Windows

TEST_F(EventQueue, WindowsOpenWhereAndHowTheFlagsSay) {
    RECT client{};
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_EQ(drv::ClassName(window_), "WindowClass_0");

    const DWORD styled = WS_CAPTION | WS_SYSMENU;
    HWND placed = WinOpen(1, 50, 60, 200, 100, styled, "placed");
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(WinLastOpened(), placed);
    RECT r = drv::WindowRectOf(placed);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(DWORD(GetWindowLongA(placed, GWL_STYLE)) & (styled | WS_VISIBLE | WS_THICKFRAME), styled | WS_VISIBLE);

    HWND plain = WinOpen(2, 10, 10, 100, 50, 0, "plain");
    EXPECT_EQ(DWORD(GetWindowLongA(plain, GWL_STYLE)) & WS_CAPTION, DWORD(WS_CAPTION)) << "no style: a caption";

    // Wider than the screen: centred as if it were the screen's width.
    HWND wide = WinOpen(3, 0, 0, 3000, 100, 1 | WS_CAPTION, "wide");
    r = drv::WindowRectOf(wide);
    EXPECT_EQ(r.left, 0);
    RECT outer{0, 0, 3000, 100};
    AdjustWindowRect(&outer, WS_CAPTION | WS_VISIBLE, FALSE);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) >> 1) - ((outer.bottom - outer.top) >> 1));

    HWND twelve = WinOpen(12, 0, 0, 100, 50, WS_CAPTION, "twelve");
    ASSERT_NE(twelve, nullptr) << "the window table grows";
    EXPECT_EQ(FindWindowA("WindowClass_12", "twelve"), twelve);
    HWND again = WinOpen(12, 0, 0, 100, 50, WS_CAPTION, "again");
    EXPECT_FALSE(IsWindow(twelve)) << "opening a number in use closes the old window";
    WinClose(12);
    EXPECT_FALSE(IsWindow(again));
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_12", &wc)) << "its class goes with it";
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "TemplateClass", &wc));
    WinClose(12);
    WinClose(500);
    EXPECT_EQ(WinOpen(-1, 0, 0, 10, 10, 0, "negative"), nullptr);

    WinCloseAll();
    for (HWND h : {window_, placed, plain, wide}) EXPECT_FALSE(IsWindow(h));
}

// Outside the fixture: the layer starts again with another instance.
TEST(WindowClasses, CarryTheIconResourceOfTheProgram) {
    WinCloseAll();
    struct Case {
        HMODULE instance;
        bool icon;
    };
    HMODULE program = LoadLibraryExA(drv::WinPath(drv::Env("TW_EXE")).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    const Case cases[] = {{GetModuleHandleA(nullptr), false}, {program, true}};
    for (const Case& c : cases) {
        WinLayerInit(c.instance);
        HWND window = WinOpen(0, 0, 0, 100, 100, 0xCA0001, "icon");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(GetClassLongPtrA(window, GCLP_HICON) != 0, c.icon);
        EXPECT_EQ(HCURSOR(GetClassLongPtrA(window, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));
        EXPECT_EQ(GetClassLongA(window, GCL_STYLE), 0u);
        EXPECT_NE(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), 0u);
        WinCloseAll();
    }
    WinLayerInit(GetModuleHandleA(nullptr));
    FreeLibrary(program);
}

}  // namespace
