// A test bed for the window layer and its gadgets in this process: a window
// of the layer, and the events its queue reports, printed by name.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace drv {

// What one wait of the layer returned, with the gadget and subtype of that moment.
struct Event {
    int32_t code, gadget, subtype;
    bool operator==(const Event&) const = default;
};

// "gadget 2 double-click", "close request", "sized", "message 0x200".
inline void PrintTo(const Event& e, std::ostream* os) {
    if (e.code == EvGadget) {
        *os << "gadget " << e.gadget << " ";
        switch (e.subtype) {
            case kSubtypeNone: *os << "change"; break;
            case kSubtypeClick: *os << "click"; break;
            case kSubtypeRightClick: *os << "right click"; break;
            case kSubtypeDoubleClick: *os << "double-click"; break;
            case kSubtypeRightDoubleClick: *os << "right double-click"; break;
            case kSubtypeTreeSelection: *os << "selection change"; break;
            default: *os << "subtype " << e.subtype;
        }
    } else if (e.code == EvCloseRequest || e.code == EvSized) {
        *os << (e.code == EvSized ? "sized" : "close request");
    } else {
        *os << "message 0x" << std::hex << e.code << std::dec;
    }
}

inline bool gQuietQueue = false;
inline void CALLBACK QueueWasQuiet(HWND, UINT, UINT_PTR, DWORD) { gQuietQueue = true; }

// Runs the layer's wait until the queue has been quiet for `quietMs` (a
// thread timer fires only when nothing else is queued) and keeps every result.
inline std::vector<Event> WaitEvents(DWORD quietMs = 300) {
    gQuietQueue = false;
    UINT_PTR timer = SetTimer(nullptr, 0, Span(quietMs), QueueWasQuiet);
    std::vector<Event> all;
    while (!gQuietQueue) {
        int32_t code = WinWaitEvent();
        all.push_back({code, WinEventGadget(), WinEventSubtype()});
    }
    KillTimer(nullptr, timer);
    all.pop_back();  // the timer's own message
    return all;
}

// The layer's own events among the results, raw message numbers left out.
inline std::vector<Event> LayerEvents(const std::vector<Event>& all) {
    std::vector<Event> events;
    for (const Event& e : all)
        if (e.code == EvGadget || e.code == EvCloseRequest || e.code == EvSized) events.push_back(e);
    return events;
}

inline bool Contains(const std::vector<Event>& all, int32_t code) {
    for (const Event& e : all)
        if (e.code == code) return true;
    return false;
}

// Window 0 of the layer, 400 x 300, with its gadget list in use; closed with
// every other window after each test.
class EventBed : public ::testing::Test {
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
        WaitEvents();
    }
    void TearDown() override { WinCloseAll(); }
    HWND window_ = nullptr;
};

}  // namespace drv
