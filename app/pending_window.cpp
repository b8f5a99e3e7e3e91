// Placeholders until the window layer, the gadgets and the main window land.
// This file goes away with them.
#include "app/app.h"
#include "support/gadgets.h"
#include "support/window.h"

void WinLayerInit(HINSTANCE) {}
void WinCloseAll() {}
void BuildMainWindow() {}
int32_t WinWaitEvent() { return EvCloseRequest; }
int32_t WinEventGadget() { return -1; }
int32_t WinEventSubtype() { return -1; }
int32_t GadAddItem(int32_t, int32_t, const std::string&) { return -1; }
int32_t GadGetState(int32_t) { return -1; }
std::string GadGetItemText(int32_t, int32_t, int32_t) { return {}; }
