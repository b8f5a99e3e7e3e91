#include "driver/remote_controls.h"

#include "driver/driver.h"

#include <cstring>
#include <string>

namespace drv {
namespace {

// A block of memory inside the process that owns `hwnd`; freed on destruction.
class RemoteBuffer {
public:
    RemoteBuffer(HWND hwnd, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    explicit operator bool() const { return address_ != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t n) const {
        return offset + n <= size_ && WriteProcessMemory(process_, At(offset), data, n, nullptr);
    }
    bool Read(size_t offset, void* data, size_t n) const {
        return offset + n <= size_ && ReadProcessMemory(process_, At(offset), data, n, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

constexpr size_t kRemoteText = 0x40000;  // room for a text after the structure

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

std::vector<std::string> TreeNames(HWND tree, HTREEITEM parent) {
    std::vector<std::string> out;
    for (const TreeItem& c : TreeChildren(tree, parent)) out.push_back(c.text);
    return out;
}

HTREEITEM TreeDrive(HWND tree, char letter) {
    for (const TreeItem& c : TreeChildren(tree, TreeView_GetRoot(tree)))
        if ((c.param & 0xFF) == (toupper(letter) - 'A')) return c.handle;
    return nullptr;
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

int ListIconCount(HWND list) { return int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int ListIconSelected(HWND list) { return int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); }

std::string ListIconText(HWND list, int row, int column) {
    RemoteBuffer remote(list, 256 + kRemoteText);
    if (!remote) return {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remote.At(256);
    item.cchTextMax = int(kRemoteText);
    char zero = 0;
    remote.Write(256, &zero, 1);
    remote.Write(0, &item, sizeof item);
    int n = int(SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(remote.At(0))));
    std::string text(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) remote.Read(256, text.data(), text.size());
    return text;
}

std::vector<std::string> ListIconColumn(HWND list, int column) {
    std::vector<std::string> rows;
    int n = ListIconCount(list);
    for (int i = 0; i < n; ++i) rows.push_back(ListIconText(list, i, column));
    return rows;
}

std::string ListIconColumnTitle(HWND list, int column) {
    RemoteBuffer remote(list, 256 + 1024);
    if (!remote) return {};
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = remote.At(256);
    col.cchTextMax = 1024;
    remote.Write(0, &col, sizeof col);
    if (!SendMessageA(list, LVM_GETCOLUMNA, WPARAM(column), reinterpret_cast<LPARAM>(remote.At(0)))) return {};
    char buf[1025] = {};
    remote.Read(256, buf, 1024);
    return buf;
}

RECT ListIconRowRect(HWND list, int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    RemoteBuffer remote(list, sizeof r);
    if (!remote || !remote.Write(0, &r, sizeof r) ||
        !SendMessageA(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(remote.At(0))) ||
        !remote.Read(0, &r, sizeof r))
        return RECT{};
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

ListIconHeading ListIconHeadingOf(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RemoteBuffer remote(header, sizeof(RECT) + sizeof(HDITEMA));
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    ListIconHeading out;
    if (!remote || !remote.Write(sizeof(RECT), &item, sizeof item)) return out;
    SendMessageA(header, HDM_GETITEMRECT, WPARAM(column), reinterpret_cast<LPARAM>(remote.At(0)));
    SendMessageA(header, HDM_GETITEMA, WPARAM(column), reinterpret_cast<LPARAM>(remote.At(sizeof(RECT))));
    remote.Read(0, &out.rect, sizeof out.rect);
    remote.Read(sizeof(RECT), &item, sizeof item);
    MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&out.rect), 2);
    out.arrow = item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    return out;
}

std::vector<std::string> ListBoxItems(HWND listBox) {
    // Wine answers a cross-process LB_GETTEXTA in UTF-16: ask for UTF-16 and convert.
    std::vector<std::string> items;
    int count = int(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int n = int(SendMessageW(listBox, LB_GETTEXTLEN, WPARAM(i), 0));
        std::wstring w(size_t(n > 0 ? n : 0) + 1, L'\0');
        n = int(SendMessageW(listBox, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(w.data())));
        w.resize(size_t(n > 0 ? n : 0));
        int len = WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
        std::string out(size_t(len), '\0');
        WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), out.data(), len, nullptr, nullptr);
        items.push_back(out);
    }
    return items;
}

int ListBoxSelected(HWND listBox) { return int(SendMessageA(listBox, LB_GETCURSEL, 0, 0)); }

bool ListBoxInsert(HWND listBox, int index, const std::string& text) {
    // The string of LB_INSERTSTRING is marshalled to the other process.
    LRESULT at = SendMessageA(listBox, LB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text.c_str()));
    return at != LB_ERR && at != LB_ERRSPACE;
}

std::vector<bool> MenuItemsAsDrawn(HWND menu) {
    RECT r = WindowRectOf(menu);
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> pixels = ScreenPixels(r);
    if (pixels.empty()) return {};
    auto dark = [](DWORD c) { return (c & 0xFF) < 0x50 && ((c >> 8) & 0xFF) < 0x50 && (c >> 16) < 0x50; };
    std::vector<bool> items;
    bool inText = false, anyDark = false;
    int blank = 0;
    for (int y = 3; y < h - 3; ++y) {
        // A row of text holds a few pixels other than the row's background
        // (its left end); a separator's row is mostly line.
        const DWORD* row = &pixels[size_t(y * w)];
        int other = 0;
        bool darkHere = false;
        for (int x = 3; x < w - 3; ++x) {
            if (row[x] == row[3]) continue;
            ++other;
            darkHere = darkHere || dark(row[x]);
        }
        if (other > 0 && other < (w - 6) / 2) {
            inText = true;
            blank = 0;
            anyDark = anyDark || darkHere;
        } else if (inText && ++blank > 2) {
            items.push_back(anyDark);
            inText = anyDark = false;
        }
    }
    if (inText) items.push_back(anyDark);
    return items;
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
