// Placeholders for gadget and dialog operations that creating and deleting
// projects call, until the window and dialog layers land. This file goes away with them.
#include "support/dialogs.h"
#include "support/gadgets.h"

int32_t GadCountItems(int32_t) { return 0; }
void GadClearItems(int32_t) {}
void GadSetState(int32_t, int32_t) {}
std::string DlgAskText(const std::string&, const std::string&, const std::string&) { return {}; }
