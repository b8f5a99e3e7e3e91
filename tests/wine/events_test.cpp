// What the window layer's event queue reports, in order, when gadgets are
// used with real mouse and keyboard input, and how Tab moves the focus. The
// layer and the gadgets run in this process; input goes through the
// system's queue.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/event_bed.h"
#include "driver/remote_controls.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace {

using drv::Event;
using drv::LayerEvents;
using drv::WaitEvents;
using Events = drv::EventBed;

std::string Print(const std::vector<Event>& events) { return ::testing::PrintToString(events); }

POINT RowPoint(HWND list, int row) {
    RECT r = drv::ListIconRowRect(list, row);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(Events, AButtonClickIsSubtypeZero) {
    HWND button = GadButton(4, 10, 10, 100, 24, "Click");
    WaitEvents();
    drv::ClickWindow(button);
    std::vector<Event> want = {{EvGadget, 4, 0}};
    EXPECT_EQ(LayerEvents(WaitEvents()), want);
}

TEST_F(Events, ListViewReportsSelectionAndDoubleClickButNotFocus) {
    HWND other = GadButton(4, 250, 10, 100, 24, "Other");
    HWND list = GadListView(1, 10, 10, 200, 150);
    GadAddItem(1, -1, "zero");
    GadAddItem(1, -1, "one");
    WaitEvents();

    SetFocus(other);
    SetFocus(list);
    PostMessageA(window_, WM_USER + 5, 0, 0);
    EXPECT_EQ(WinWaitEvent(), WM_USER + 5) << "a list view taking the focus is no use of it";

    POINT p = drv::ListBoxItemPoint(list, 1);
    drv::ClickAt(p.x, p.y);
    std::vector<Event> click = {{EvGadget, 1, 0}};
    EXPECT_EQ(LayerEvents(WaitEvents()), click);
    EXPECT_EQ(GadGetState(1), 1);

    p = drv::ListBoxItemPoint(list, 0);
    drv::ClickAt(p.x, p.y, true);
    std::vector<Event> twice = {{EvGadget, 1, 0}, {EvGadget, 1, 2}};
    EXPECT_EQ(LayerEvents(WaitEvents()), twice);
    EXPECT_EQ(GadGetState(1), 0);
}

TEST_F(Events, ListIconClickDoubleClickEnterAndProgrammaticSelection) {
    HWND list = GadListIcon(2, 10, 10, 300, 200, "Name", 100, 0x40010008);
    GadAddItem(2, -1, "zero\nz");
    GadAddItem(2, -1, "one\no");
    GadAddItem(2, -1, "two\nt");
    WaitEvents();

    // The row's state change comes with the button going down, the click with it coming up.
    POINT p = RowPoint(list, 1);
    drv::ClickAt(p.x, p.y);
    std::vector<Event> click = {{EvGadget, 2, -1}, {EvGadget, 2, 0}};
    EXPECT_EQ(LayerEvents(WaitEvents()), click);
    EXPECT_EQ(GadGetState(2), 1);

    p = RowPoint(list, 2);
    drv::ClickAt(p.x, p.y, true);
    std::vector<Event> twice = LayerEvents(WaitEvents());
    ASSERT_FALSE(twice.empty());
    EXPECT_EQ(twice.back(), (Event{EvGadget, 2, 2})) << Print(twice);
    int activations = 0;
    for (const Event& e : twice) activations += e.subtype == 2;
    EXPECT_EQ(activations, 1) << "one double-click is one activation: " << Print(twice);
    EXPECT_EQ(GadGetState(2), 2);

    drv::KeyTap(VK_RETURN);
    std::vector<Event> enter = {{EvGadget, 2, 2}};
    EXPECT_EQ(LayerEvents(WaitEvents()), enter);

    // A selection made by the program is reported by the next wait, which
    // still handles its own message; the subtype stays -1.
    GadSetState(2, 0);
    PostMessageA(window_, WM_USER + 5, 0, 0);
    EXPECT_EQ(WinWaitEvent(), EvGadget);
    EXPECT_EQ(WinEventGadget(), 2);
    EXPECT_EQ(WinEventSubtype(), -1);
    EXPECT_FALSE(Contains(WaitEvents(), WM_USER + 5)) << "the posted message was the one handled";
    EXPECT_EQ(GadGetState(2), 0);
    EXPECT_EQ(GetFocus(), list);
}

TEST_F(Events, AMouseMoveIsItsMessageNumberAndKeepsTheGadget) {
    HWND button = GadButton(7, 10, 10, 100, 24, "Click");
    WaitEvents();
    drv::ClickWindow(button);
    WaitEvents();
    ASSERT_EQ(WinEventGadget(), 7);
    RECT r = drv::ClientRectOnScreen(window_);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = (r.left + 300) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = (r.top + 200) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &in, sizeof in);
    std::vector<Event> all = WaitEvents();
    EXPECT_TRUE(Contains(all, WM_MOUSEMOVE)) << Print(all);
    EXPECT_TRUE(LayerEvents(all).empty()) << Print(all);
    EXPECT_EQ(WinEventGadget(), 7);
}

TEST_F(Events, CloseRequestLeavesTheWindowAndSizesArriveThroughTheQueue) {
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    std::vector<Event> close = LayerEvents(WaitEvents());
    ASSERT_EQ(close.size(), 1u) << Print(close);
    EXPECT_EQ(close[0].code, EvCloseRequest);
    EXPECT_TRUE(IsWindow(window_) && IsWindowVisible(window_));

    for (int show : {SW_MINIMIZE, SW_RESTORE}) {
        ShowWindow(window_, show);
        std::vector<Event> events = LayerEvents(WaitEvents());
        EXPECT_FALSE(events.empty()) << show;
        for (const Event& e : events) EXPECT_EQ(e.code, EvSized) << show << ": " << Print(events);
    }
}

// A window's timer is an event of the wait with its number; one that comes
// due while another loop runs (a dialog's) goes by and is never reported.
TEST_F(Events, AWindowTimerIsAnEventOfTheWaitOnly) {
    EXPECT_FALSE(WinAddTimer(5, 7, 10)) << "no window 5";
    ASSERT_TRUE(WinAddTimer(0, 7, 10));
    EXPECT_TRUE(drv::Contains(WaitEvents(100), EvTimer));
    EXPECT_EQ(WinEventTimer(), 7);

    drv::Pause(30);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    WinRemoveTimer(0, 7);
    EXPECT_FALSE(drv::Contains(WaitEvents(), EvTimer));
}

TEST_F(Events, TabVisitsEnabledVisibleTabStopsDepthFirstAndWraps) {
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
    WaitEvents();

    auto press = [&](bool shift) {
        drv::KeyTap(VK_TAB, shift ? VK_SHIFT : 0);
        WaitEvents(150);
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

}  // namespace
