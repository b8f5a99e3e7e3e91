#include "driver/event_bed.h"

#include "driver/driver.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace drv {
namespace {

const char* SubtypeName(int32_t subtype) {
    switch (subtype) {
        case -1: return "change";
        case 0: return "click";
        case 1: return "right click";
        case 2: return "double-click";
        case 3: return "right double-click";
        case 0x300: return "selection change";
        default: return nullptr;
    }
}

bool gQuiet = false;
void CALLBACK QuietTimer(HWND, UINT, UINT_PTR, DWORD) { gQuiet = true; }

}  // namespace

void PrintTo(const Event& event, std::ostream* os) {
    if (event.code == EvGadget) {
        const char* name = SubtypeName(event.subtype);
        *os << "gadget " << event.gadget << " ";
        if (name)
            *os << name;
        else
            *os << "subtype " << event.subtype;
    } else if (event.code == EvCloseRequest) {
        *os << "close request";
    } else if (event.code == EvSized) {
        *os << "sized";
    } else {
        *os << "message 0x" << std::hex << event.code << std::dec;
    }
}

std::vector<Event> WaitEvents(DWORD quietMs) {
    std::vector<Event> all;
    gQuiet = false;
    UINT_PTR timer = SetTimer(nullptr, 0, Span(quietMs), QuietTimer);
    while (!gQuiet) {
        int32_t code = WinWaitEvent();
        all.push_back({code, WinEventGadget(), WinEventSubtype()});
    }
    KillTimer(nullptr, timer);
    all.pop_back();  // the timer's own message
    return all;
}

std::vector<Event> LayerEvents(const std::vector<Event>& all) {
    std::vector<Event> events;
    for (const Event& e : all)
        if (e.code == EvGadget || e.code == EvCloseRequest || e.code == EvSized) events.push_back(e);
    return events;
}

bool Contains(const std::vector<Event>& all, int32_t code) {
    for (const Event& e : all)
        if (e.code == code) return true;
    return false;
}

void EventBed::SetUpTestSuite() {
    WinLayerInit(GetModuleHandleA(nullptr));
    GadgetLayerInit();
}

void EventBed::SetUp() {
    window_ = WinOpen(0, 0, 0, 400, 300, 0xCA0001, "Events");
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(GadgetListUse(WinLastOpened()), window_);
    SetForegroundWindow(window_);
    WaitEvents();
}

void EventBed::TearDown() { WinCloseAll(); }

}  // namespace drv
