// Reading tree-view and list box controls of another process. Tree-view
// messages that point to memory get a buffer inside that process (the
// system carries only the standard controls' messages across).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace drv {

struct TreeItem {
    HTREEITEM handle = nullptr;
    std::string text;
    LPARAM param = 0;
    bool hasChildren = false;  // the item's expand-button mark
    bool expanded = false;
};
TreeItem ReadTreeItem(HWND tree, HTREEITEM item);
std::vector<TreeItem> TreeChildren(HWND tree, HTREEITEM parent);
// The child of `parent` with that text; a null handle if there is none.
TreeItem TreeChild(HWND tree, HTREEITEM parent, const std::string& text);
// The centre of an item's label on the screen (scrolled into view first).
POINT TreeItemPoint(HWND tree, HTREEITEM item);
// The centre of a list box entry on the screen.
POINT ListBoxItemPoint(HWND listBox, int index);

}  // namespace drv
