// The explorer trees' process-wide state and their items: tags, texts and
// paths on the tree-view control, names and icons from the shell.
#include "explorer/tree_internal.h"

#include <shellapi.h>

#include <vector>

namespace {
ExplorerLayer gExplorer;
}  // namespace

ExplorerLayer& Explorer() { return gExplorer; }

bool ShellIcon(const std::string& path, int& icon) {
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) return false;
    icon = info.iIcon;
    return true;
}

bool ShellName(const std::string& path, std::string& name) {
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME) || !info.szDisplayName[0]) return false;
    name = info.szDisplayName;
    return true;
}

uint16_t ItemTag(HWND tree, HTREEITEM item) {
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_PARAM;
    it.hItem = item;
    return TreeView_GetItem(tree, &it) ? uint16_t(it.lParam) : 0;
}

void SetItemTag(HWND tree, HTREEITEM item, uint16_t value) {
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_PARAM;
    it.hItem = item;
    it.lParam = value;
    TreeView_SetItem(tree, &it);
}

HTREEITEM AppendItem(HWND tree, HTREEITEM parent, const std::string& text, int image, uint16_t value,
                     bool hasChildren) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    ins.item.pszText = const_cast<char*>(text.c_str());
    ins.item.iImage = ins.item.iSelectedImage = image;
    ins.item.lParam = value;
    ins.item.cChildren = hasChildren ? 1 : 0;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

std::string ItemPath(HWND tree, HTREEITEM item) {
    std::vector<PathStep> steps;
    for (HTREEITEM parent; item && (parent = TreeView_GetParent(tree, item)) != nullptr; item = parent) {
        char text[1024] = {};
        TVITEMA it{};
        it.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_TEXT;
        it.hItem = item;
        it.pszText = text;
        it.cchTextMax = sizeof text;
        if (!TreeView_GetItem(tree, &it)) return {};
        steps.push_back({uint16_t(it.lParam), text});
    }
    return FullPath(steps, gExplorer.documentsPath);
}
