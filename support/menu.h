// Popup menus of gadgets: shown at the mouse or below a list's row, and
// waited for.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An item of a popup menu; id 0 makes a separator. "&" in the text marks the
// item's access key.
struct MenuItem {
    int32_t id = 0;
    std::string text;
    bool enabled = true;
};

// Shows a popup menu owned by the window of `gadget` and waits for the
// user's choice: at the mouse where the last event's message happened when
// `atMouse`, else below the row `row` of a list gadget (at the list's
// top-left corner when the row is -1 or out of sight). `defaultId` is the
// item drawn in bold (0: none). Returns the chosen item's id, 0 when the
// menu closed without a choice.
int32_t GadPopupMenu(int32_t gadget, const std::vector<MenuItem>& items, int32_t defaultId, bool atMouse,
                     int32_t row);
