// Placeholders until the generic gadget operations land. This file goes away with them.
#include "support/gadgets.h"

std::string GadGetText(int32_t number) {
    GadgetRecord* g = GadgetFind(number);
    return g && g->ops && g->ops->getText ? g->ops->getText(number) : std::string();
}
void GadSetState(int32_t, int32_t) {}
void GadRemoveItem(int32_t, int32_t) {}
