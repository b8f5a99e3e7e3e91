#include "driver/remote_controls.h"

#include <cstring>

namespace drv {
namespace {

// A block of memory inside the process that owns `hwnd`.
class RemoteBlock {
public:
    RemoteBlock(HWND hwnd, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) address_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    char* Address() const { return address_; }
    bool Write(const void* data, size_t n, size_t offset = 0) {
        return address_ && WriteProcessMemory(process_, address_ + offset, data, n, nullptr);
    }
    bool Read(void* data, size_t n, size_t offset = 0) const {
        return address_ && ReadProcessMemory(process_, address_ + offset, data, n, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
    size_t size_;
};

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

TreeItem ReadTreeItem(HWND tree, HTREEITEM item) {
    constexpr size_t kText = 1024;
    RemoteBlock block(tree, sizeof(TVITEMA) + kText);
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
    it.hItem = item;
    it.stateMask = TVIS_EXPANDED;
    it.pszText = block.Address() + sizeof(TVITEMA);
    it.cchTextMax = kText;
    TreeItem out;
    if (!block.Write(&it, sizeof it) ||
        !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.Address())))
        return out;
    char text[kText] = {};
    block.Read(&it, sizeof it);
    block.Read(text, kText - 1, sizeof(TVITEMA));
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
    RemoteBlock block(tree, sizeof(RECT));
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the message takes the item in the rectangle
    block.Write(&r, sizeof r);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.Address()));
    block.Read(&r, sizeof r);
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
