// The gadget table and the generic gadget operations.
#include "support/gadgets.h"

#include <commctrl.h>

#include <vector>

#include "support/window.h"

namespace {
struct GadgetLayer {
    std::vector<GadgetRecord> table;  // capacity + 2 records, by gadget number
    HFONT font = nullptr;
};
GadgetLayer gGadgets;

void DestroyGadget(int32_t number) {
    GadgetRecord* r = GadgetFind(number);
    if (!r) return;
    if (r->ops && r->ops->free)
        r->ops->free(number);
    else
        DestroyWindow(r->handle);
    if (number < int32_t(gGadgets.table.size())) gGadgets.table[size_t(number)] = GadgetRecord{};
}
}  // namespace

void GadgetLayerInit() {
    gGadgets = GadgetLayer{};
    gGadgets.table.resize(30 + 2);
    gGadgets.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    InitCommonControls();
}

HFONT GadgetDefaultFont() { return gGadgets.font; }

GadgetRecord* GadgetFind(int32_t number) {
    if (number < 0 || number >= int32_t(gGadgets.table.size())) return nullptr;
    GadgetRecord& r = gGadgets.table[size_t(number)];
    return r.handle ? &r : nullptr;
}

GadgetRecord* GadgetNewSlot(int32_t number) {
    if (number < 0) return nullptr;
    size_t capacity = gGadgets.table.size() - 2;
    if (size_t(number) >= capacity) gGadgets.table.resize(size_t(number) + 30 + 2);
    DestroyGadget(number);
    return &gGadgets.table[size_t(number)];
}
