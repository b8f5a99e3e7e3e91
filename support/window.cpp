// Numbered windows, the current gadget list and the event queue.
#include "support/window.h"

namespace {
HWND gGadgetListWindow = nullptr;
}  // namespace

HWND GadgetListUse(HWND window) {
    gGadgetListWindow = window;
    return window;
}

HWND GadgetListWindow() { return gGadgetListWindow; }
