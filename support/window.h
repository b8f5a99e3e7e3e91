// Numbered top-level windows, the current gadget list and the event queue.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr int32_t EvGadget = 13100;
inline constexpr int32_t EvCloseRequest = 16;
inline constexpr int32_t EvSized = 5;
// A window timer (WinAddTimer) is due; WinEventTimer tells which. The system
// makes a timer message only when nothing else is queued, so timer work
// never holds up input.
inline constexpr int32_t EvTimer = 13113;

// The kind of use an EvGadget reports (WinEventSubtype). Commands of other
// controls report their own notification code.
enum EventSubtype : int32_t {
    kSubtypeNone = -1,              // another change: a list icon row's state, say
    kSubtypeClick = 0,              // also a list view's selection change
    kSubtypeRightClick = 1,
    kSubtypeDoubleClick = 2,        // also an activation
    kSubtypeRightDoubleClick = 3,
    kSubtypeTreeSelection = 0x300,  // the explorer tree's selection changed
    // Keys that a list gadget (list view, list icon) reports instead of
    // handing them to its control.
    kSubtypeKeyDelete = 0x10000 | VK_DELETE,
    kSubtypeKeyF2 = 0x10000 | VK_F2,
    kSubtypeKeyMenu = 0x10000 | VK_APPS,  // the menu key, or Shift+F10
    // Files dropped on a gadget that accepts them (support/drop.h).
    kSubtypeDrop = 0x20000,
    // A click on a list icon's column header; WinEventColumn tells which.
    kSubtypeColumnClick = 0x30000,
};

inline constexpr uint32_t kWinCentre = 1;  // WinOpen flag: centre on the primary screen

void WinLayerInit(HINSTANCE instance);
HWND WinOpen(int32_t number, int32_t x, int32_t y, int32_t innerWidth, int32_t innerHeight, uint32_t flags,
             const std::string& title);
HWND WinLastOpened();
HWND GadgetListUse(HWND window);
HWND GadgetListWindow();  // the window new gadgets are placed in
int32_t WinWaitEvent();
int32_t WinEventGadget();
int32_t WinEventSubtype();
// Sets the event state as a control's notification does: EvGadget for
// `gadget` with `subtype`, returned by the wait that is dispatching now (or
// by the next one).
void WinRaiseGadgetEvent(int32_t gadget, int32_t subtype);
int32_t WinEventTimer();
int32_t WinEventColumn();
// A timer of window `number`, due every `ms` milliseconds until removed;
// false when the window does not exist or the system has no timer left.
bool WinAddTimer(int32_t number, int32_t timer, uint32_t ms);
void WinRemoveTimer(int32_t number, int32_t timer);
void WinClose(int32_t number);
void WinCloseAll();
