// Placeholders for the gadget operations that creating and deleting
// projects call, until the window layer lands. This file goes away with them.
#include "support/gadgets.h"

int32_t GadCountItems(int32_t) { return 0; }
void GadClearItems(int32_t) {}
void GadSetState(int32_t, int32_t) {}
