// Reading and working the controls of another process (or of this one).
// Messages that point to memory get a buffer inside the control's process:
// the system carries only some controls' messages across by itself.
//
// Named after the program's gadgets: a list icon is a report list
// (SysListView32), a list view is a list box.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace drv {

// ---- Tree views
struct TreeItem {
    HTREEITEM handle = nullptr;
    std::string text;
    LPARAM param = 0;
    bool hasChildren = false;  // the item's expand-button mark
    bool expanded = false;
};
TreeItem ReadTreeItem(HWND tree, HTREEITEM item);
std::vector<TreeItem> TreeChildren(HWND tree, HTREEITEM parent);
std::vector<std::string> TreeNames(HWND tree, HTREEITEM parent);
// The item of a drive, a child of the root (its parameter's low byte is the
// drive's number, A: 0); null if there is none.
HTREEITEM TreeDrive(HWND tree, char letter);
// The child of `parent` with that text; a null handle if there is none.
TreeItem TreeChild(HWND tree, HTREEITEM parent, const std::string& text);
// The centre of an item's label on the screen (scrolled into view first).
POINT TreeItemPoint(HWND tree, HTREEITEM item);

// ---- List icons (report lists)
int ListIconCount(HWND list);
int ListIconSelected(HWND list);  // first selected row, -1 for none
std::string ListIconText(HWND list, int row, int column);
std::vector<std::string> ListIconColumn(HWND list, int column = 0);
std::string ListIconColumnTitle(HWND list, int column);  // empty when there is no such column
RECT ListIconRowRect(HWND list, int row);                // screen coordinates; empty on failure
// A column's heading: where it is on the screen, and the sort arrow it shows
// (HDF_SORTUP, HDF_SORTDOWN or 0).
struct ListIconHeading {
    RECT rect{};
    int arrow = 0;
};
ListIconHeading ListIconHeadingOf(HWND list, int column);

// ---- Popup menus (class "#32768"). Wine cannot read another process's menu
// through its handle (GetMenuItemCount answers -1), so the picture tells:
// the items top to bottom, true where the text is drawn dark (an item that
// can be chosen), false where it is greyed. Separators are left out.
std::vector<bool> MenuItemsAsDrawn(HWND menu);

// ---- List views (list boxes)
std::vector<std::string> ListBoxItems(HWND listBox);
int ListBoxSelected(HWND listBox);  // -1 for none
// Inserts an entry into a list box, as the program's own code would (for
// bulk input that a user could only make slowly).
bool ListBoxInsert(HWND listBox, int index, const std::string& text);
// The centre of a list box entry on the screen.
POINT ListBoxItemPoint(HWND listBox, int index);

}  // namespace drv
