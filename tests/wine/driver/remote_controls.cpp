#include "driver/remote_controls.h"

#include "driver/remote_buffer.h"

#include <cstring>

namespace drv {
namespace {

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

TreeItem ReadTreeItem(HWND tree, HTREEITEM item) {
    constexpr size_t kText = 1024;
    RemoteBuffer block(tree, sizeof(TVITEMA) + kText);
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
    it.hItem = item;
    it.stateMask = TVIS_EXPANDED;
    it.pszText = block.At(0) + sizeof(TVITEMA);
    it.cchTextMax = kText;
    TreeItem out;
    if (!block.Write(0, &it, sizeof it) ||
        !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At(0))))
        return out;
    char text[kText] = {};
    block.Read(0, &it, sizeof it);
    block.Read(sizeof(TVITEMA), text, kText - 1);
    out.handle = item;
    out.text = text;
    out.param = it.lParam;
    out.hasChildren = it.cChildren != 0;
    out.expanded = (it.state & TVIS_EXPANDED) != 0;
    return out;
}

std::vector<TreeItem> TreeChildren(HWND tree, HTREEITEM parent) {
    std::vector<TreeItem> out;
    for (HTREEITEM c = TreeView_GetChild(tree, parent); c; c = TreeView_GetNextSibling(tree, c))
        out.push_back(ReadTreeItem(tree, c));
    return out;
}

TreeItem TreeChild(HWND tree, HTREEITEM parent, const std::string& text) {
    for (const TreeItem& c : TreeChildren(tree, parent))
        if (c.text == text) return c;
    return {};
}

POINT TreeItemPoint(HWND tree, HTREEITEM item) {
    TreeView_EnsureVisible(tree, item);
    RemoteBuffer block(tree, sizeof(RECT));
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the message takes the item in the rectangle
    block.Write(0, &r, sizeof r);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.At(0)));
    block.Read(0, &r, sizeof r);
    POINT p = Centre(r);
    ClientToScreen(tree, &p);
    return p;
}

POINT ListBoxItemPoint(HWND listBox, int index) {
    // The system carries this one across processes itself.
    RECT r{};
    SendMessageA(listBox, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
    POINT p = Centre(r);
    ClientToScreen(listBox, &p);
    return p;
}

}  // namespace drv
