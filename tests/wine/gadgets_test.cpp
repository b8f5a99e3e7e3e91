// The gadgets of the window layer, made and worked in this process: their
// controls and styles, their numbers, items, states and texts.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/event_bed.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace {

using drv::WaitEvents;
using Gadgets = drv::EventBed;

TEST_F(Gadgets, ListViewIndexesStateAndTexts) {
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

TEST_F(Gadgets, ListIconRowsCarryTheirColumnsSeparatedByLineFeeds) {
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

TEST_F(Gadgets, ANegativeStateSelectsNoRowEvenWithMultipleSelection) {
    GadListIcon(2, 10, 10, 350, 200, "Name", 100, 0x40010008 | 4);
    for (const char* row : {"a", "b", "c"}) GadAddItem(2, -1, row);
    GadSetState(2, 1);
    GadSetState(2, -1);
    EXPECT_EQ(GadGetState(2), -1) << "row -1 is no row, not every row";
}

// Wine redraws a visible report list's scroll bars on every insert
// (milliseconds each): thousands of rows must not take as many milliseconds.
TEST_F(Gadgets, AVisibleReportListFillsQuicklyAndDrawsAfterwards) {
    HWND list = GadListIcon(2, 10, 10, 350, 200, "Name", 100, 0x40010008);
    GadAddColumn(2, 1, "Files", 200);
    WaitEvents();
    DWORD start = GetTickCount();
    for (int i = 0; i < 3000; ++i) GadAddItem(2, -1, "Project " + std::to_string(i) + "\nfile.pb  ");
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, drv::Span(3000)) << "3,000 rows took " << took << " ms";
    WaitEvents();
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

TEST_F(Gadgets, GadgetKindsMakeTheirControls) {
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
        EXPECT_TRUE(drv::SameClass(drv::ClassName(k.hwnd), k.cls)) << drv::ClassName(k.hwnd);
        // Controls add state bits of their own (a list box its scroll bars): compare ours.
        EXPECT_EQ(DWORD(GetWindowLongA(k.hwnd, GWL_STYLE)) & k.style, k.style);
        EXPECT_EQ(DWORD(GetWindowLongA(k.hwnd, GWL_EXSTYLE)) & WS_EX_CLIENTEDGE, k.exStyle);
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(k.hwnd, WM_GETFONT, 0, 0)),
                  GetStockObject(DEFAULT_GUI_FONT));
    }
    EXPECT_FALSE(GetWindowLongA(kinds[3].hwnd, GWL_STYLE) & LBS_SORT) << "a list view keeps insertion order";
}

TEST_F(Gadgets, ListIconFlagsChooseStylesAndExtendedStyles) {
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

TEST_F(Gadgets, NumbersAreReusedGrowAndGoWithTheirControls) {
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

TEST_F(Gadgets, TextsAreCutAtTheirLimits) {
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

}  // namespace
