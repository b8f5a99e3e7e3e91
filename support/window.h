// Numbered top-level windows, the current gadget list and the event queue.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr int32_t EvGadget = 13100;
inline constexpr int32_t EvCloseRequest = 16;
inline constexpr int32_t EvSized = 5;

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
void WinClose(int32_t number);
void WinCloseAll();
