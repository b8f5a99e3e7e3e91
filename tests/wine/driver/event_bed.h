// A test bed for the window layer and its gadgets in this process: a window
// of the layer, the events its queue reports, printed by name.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

namespace drv {

// What one wait of the layer returned, with the gadget and subtype of that moment.
struct Event {
    int32_t code;
    int32_t gadget;
    int32_t subtype;
    bool operator==(const Event&) const = default;
};
// "gadget 2 double-click", "close request", "message 0x200", ...
void PrintTo(const Event& event, std::ostream* os);

// Runs the layer's wait until the queue has been quiet for `quietMs` (a
// thread timer fires only when nothing else is queued) and keeps every result.
std::vector<Event> WaitEvents(DWORD quietMs = 300);
// The layer's own events among the results, raw message numbers left out.
std::vector<Event> LayerEvents(const std::vector<Event>& all);
bool Contains(const std::vector<Event>& all, int32_t code);

// Window 0 of the layer, 400 x 300, with its gadget list in use; closed
// with every other window after each test.
class EventBed : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;
    HWND window_ = nullptr;
};

}  // namespace drv
