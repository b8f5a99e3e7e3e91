// The windows of the window layer, opened in this process: where and how
// they open, their numbers and classes, and the program's icon on them.
#include <windows.h>

#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/event_bed.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace {

using Windows = drv::EventBed;

TEST_F(Windows, WindowsOpenWhereAndHowTheFlagsSay) {
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
