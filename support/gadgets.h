// Numbered gadgets (controls) with generic operations dispatched per kind.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// Per-kind operations; a null entry means the generic operation's fallback.
struct GadgetKindOps {
    void (*free)(int32_t number);
    int32_t (*getState)(int32_t number);
    void (*setState)(int32_t number, int32_t value);
    std::string (*getText)(int32_t number);
    int32_t (*addItem)(int32_t number, int32_t position, const std::string& text);
    void (*removeItem)(int32_t number, int32_t index);
    void (*clearItems)(int32_t number);
    int32_t (*countItems)(int32_t number);
    std::string (*getItemText)(int32_t number, int32_t index, int32_t column);
    void (*addColumn)(int32_t number, int32_t position, const std::string& title, int32_t width);
};

// An order of two texts: negative when `a` comes first, 0 for a tie.
using TextOrder = int (*)(std::string_view a, std::string_view b);

// How a list icon's rows are sorted; column -1: in the order they were added.
struct ListSort {
    int32_t column = -1;
    bool descending = false;
    TextOrder order = nullptr;
};

struct GadgetRecord {
    HWND handle = nullptr;
    const GadgetKindOps* ops = nullptr;
    void* extra = nullptr;  // the control's own window procedure, or a kind's record (explorer tree)
    ListSort sort;
};

// GadListIcon flags.
enum ListIconFlag : uint32_t {
    kListIconCheckBoxes = 0x1,
    kListIconMultiSelect = 0x4,
    kListIconAlwaysShowSelection = 0x8,  // also without the focus
    kListIconGridLines = 0x10000,
    kListIconHeaderDragDrop = 0x10000000,
    kListIconFullRowSelect = 0x40000000,
};

void GadgetLayerInit();
// Takes the default font and loads the common controls on first use.
void GadgetLayerReady();
HFONT GadgetDefaultFont();
// The record for `number`, growing the table; a gadget already there is freed first.
GadgetRecord* GadgetNewSlot(int32_t number);
// The record of a live gadget, or null.
GadgetRecord* GadgetFind(int32_t number);

HWND GadButton(int32_t number, int x, int y, int width, int height, const std::string& caption);
HWND GadText(int32_t number, int x, int y, int width, int height, const std::string& text);
HWND GadFrame(int32_t number, int x, int y, int width, int height, const std::string& caption);
HWND GadListView(int32_t number, int x, int y, int width, int height);
HWND GadListIcon(int32_t number, int x, int y, int width, int height, const std::string& firstTitle,
                 int firstWidth, uint32_t flags);
void GadAddColumn(int32_t number, int32_t position, const std::string& title, int32_t width);
// Sorts a list icon's rows by `column` in `order`; descending when they were
// sorted by it ascending, ascending otherwise. Ties keep the order in which
// the rows were added, rows added later (at position -1) take their place,
// and the column's header shows the platform's sort arrow. Only the view
// changes: the rows are the same.
void GadSortByColumn(int32_t number, int32_t column, TextOrder order);

std::string GadGetText(int32_t number);
int32_t GadAddItem(int32_t number, int32_t position, const std::string& text);
void GadSetState(int32_t number, int32_t value);
int32_t GadGetState(int32_t number);
void GadRemoveItem(int32_t number, int32_t index);
std::string GadGetItemText(int32_t number, int32_t index, int32_t column);
int32_t GadCountItems(int32_t number);
void GadClearItems(int32_t number);
void GadFree(int32_t number);
