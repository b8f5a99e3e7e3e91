// The explorer tree gadget: set-up, creation, the container and tree
// procedures and the kind's generic operations.
#include "explorer/tree.h"

#include <shlobj.h>

#include <new>

#include "explorer/tree_internal.h"
#include "support/codepage.h"
#include "support/window.h"

namespace {

const char kContainerClass[] = "ExplorerTree_ParentClass";
const char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
const char kMyDocuments[] = "::{450d8fba-ad25-11d0-98a8-0800361b1103}";

ExplorerTreeRecord* RecordOfTree(HWND tree) {
    for (ExplorerTreeRecord* r = Explorer().first; r; r = r->next)
        if (r->tree == tree) return r;
    return nullptr;
}

ExplorerTreeRecord* RecordOfGadget(int32_t number) {
    GadgetRecord* g = GadgetFind(number);
    return g && g->ops == &Explorer().ops ? static_cast<ExplorerTreeRecord*>(g->extra) : nullptr;
}

// Generic operations of the kind.
void TreeFree(int32_t number) {
    if (ExplorerTreeRecord* r = RecordOfGadget(number)) DestroyWindow(GetParent(r->tree));
}

int32_t TreeGetState(int32_t number) {
    ExplorerTreeRecord* r = RecordOfGadget(number);
    if (!r) return 0;
    HTREEITEM selected = TreeView_GetSelection(r->tree);
    if (!selected) return 0;
    return tag::IsFile(ItemTag(r->tree, selected)) ? 1 : 2;
}

std::string TreeGetText(int32_t number) {
    ExplorerTreeRecord* r = RecordOfGadget(number);
    if (!r) return {};
    HTREEITEM selected = TreeView_GetSelection(r->tree);
    return selected ? ItemPath(r->tree, selected) : std::string();
}

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (ExplorerTreeRecord* r = RecordOfTree(hdr->hwndFrom)) {
            switch (hdr->code) {
                case TVN_ITEMEXPANDINGA:
                case TVN_ITEMEXPANDINGW: {
                    // hItem sits at the same place in the ANSI and the Unicode form.
                    HTREEITEM item = reinterpret_cast<const NMTREEVIEWA*>(lp)->itemNew.hItem;
                    if (tag::NeedsFilling(ItemTag(r->tree, item))) FillNode(*r, item);
                    break;
                }
                case NM_CLICK: PostTreeEvent(*r, kSubtypeClick); break;
                case NM_RCLICK: PostTreeEvent(*r, kSubtypeRightClick); break;
                case NM_DBLCLK: PostTreeEvent(*r, kSubtypeDoubleClick); break;
                case NM_RDBLCLK: PostTreeEvent(*r, kSubtypeRightDoubleClick); break;
                case TVN_SELCHANGEDA:
                case TVN_SELCHANGEDW: PostTreeEvent(*r, kSubtypeTreeSelection); break;
                default: break;  // NM_RETURN and the rest post nothing
            }
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TreeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC previous = Explorer().treePrevious;
    if (msg == WM_DESTROY) {
        // The system image list is shared by the whole process: the control
        // must not take it down with it.
        SendMessageA(hwnd, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    } else if (msg == WM_NCDESTROY) {
        if (ExplorerTreeRecord* r = RecordOfTree(hwnd)) {
            CloseInsertDiskPrompt(*r);
            if (r->previous) r->previous->next = r->next;
            else Explorer().first = r->next;
            if (r->next) r->next->previous = r->previous;
            // The number may already belong to a newer gadget: clear only our own record.
            GadgetRecord* g = GadgetFind(r->number);
            if (g && g->handle == hwnd) *g = GadgetRecord{};
            delete r;
        }
    }
    return CallWindowProcA(previous, hwnd, msg, wp, lp);
}

bool SetUp() {
    ExplorerLayer& x = Explorer();
    CoInitialize(nullptr);
    SHFILEINFOA info;
    x.images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (!x.images) return false;

    WNDCLASSA cls{};
    cls.lpfnWndProc = ContainerProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = kContainerClass;
    if (!RegisterClassA(&cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    x.documentsName = "My Documents";
    x.computerName = "My Computer";
    char windows[MAX_PATH] = {};
    if (GetWindowsDirectoryA(windows, sizeof windows)) ShellIcon(windows, x.folderImage);

    wchar_t documents[MAX_PATH] = {};
    LPITEMIDLIST pidl = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &pidl)) && pidl) {
        bool gotPath = SHGetPathFromIDListW(pidl, documents) && documents[0];
        CoTaskMemFree(pidl);
        if (gotPath) {
            // Read wide, as the folders' names are (fill.cpp): a path the ANSI
            // code page cannot hold keeps a '?' and is never read.
            ExactBytes(documents, CP_ACP, x.documentsPath);
            bool gotIcon = ShellIcon(kMyDocuments, x.documentsImage) || ShellIcon(x.documentsPath, x.documentsImage);
            bool gotName = ShellName(kMyDocuments, x.documentsName) || ShellName(x.documentsPath, x.documentsName);
            x.documentsAvailable = gotIcon && gotName;
            if (x.documentsPath.back() != '\\') x.documentsPath += '\\';
        }
    }
    ShellIcon(kMyComputer, x.computerImage);
    ShellName(kMyComputer, x.computerName);

    x.ops = GadgetKindOps{};
    x.ops.free = TreeFree;
    x.ops.getState = TreeGetState;
    x.ops.getText = TreeGetText;
    x.shell = GetModuleHandleA("shell32.dll");
    x.initialised = true;
    return true;
}

void Rebuild(ExplorerTreeRecord& r) {
    ExplorerLayer& x = Explorer();
    TreeView_DeleteAllItems(r.tree);
    r.root = AppendItem(r.tree, TVI_ROOT, x.computerName, x.computerImage, tag::Filled(tag::kRoot), true);
    // No "drive not ready" box from the system for an empty floppy or card reader.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD drives = GetLogicalDrives();
    for (unsigned n = 0; n <= tag::kLastDrive; ++n) {
        if (!(drives & (1u << n))) continue;
        std::string root = DriveRoot(n), name = root;
        int icon = 0;
        ShellName(root, name);
        ShellIcon(root, icon);
        AppendItem(r.tree, r.root, name, icon, uint16_t(n), true);
    }
    SetErrorMode(oldMode);
    if (x.documentsAvailable) AppendItem(r.tree, r.root, x.documentsName, x.documentsImage, tag::kDocuments, true);
    TreeView_Expand(r.tree, r.root, TVE_EXPAND);
}

}  // namespace

HWND CreateExplorerTree(int32_t number, int x, int y, int width, int height, const std::string& pattern,
                        uint32_t flags) {
    ExplorerLayer& ex = Explorer();
    if (!ex.initialised && !SetUp()) return nullptr;
    HWND parent = GadgetListWindow();
    HookTopLevel(parent);

    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND container = CreateWindowExA(0, kContainerClass, "ExplorerTree_Parent", WS_CHILD | WS_VISIBLE, x, y,
                                     width, height, parent, nullptr, instance, nullptr);
    if (!container) return nullptr;

    DWORD style = WS_CHILD | WS_VISIBLE | TVS_DISABLEDRAGDROP | TVS_HASLINES | TVS_HASBUTTONS;
    if (flags & ExplorerTree_AlwaysShowSelection) style |= TVS_SHOWSELALWAYS;
    GadgetRecord* slot = GadgetNewSlot(number);
    HWND tree = slot ? CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", style, 0, 0, width, height, container,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)), instance, nullptr)
                     : nullptr;
    auto* record = tree ? new (std::nothrow) ExplorerTreeRecord : nullptr;
    if (!record) {
        DestroyWindow(container);
        return nullptr;
    }

    WNDPROC previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc)));
    if (previous != TreeProc) ex.treePrevious = previous;
    SendMessageA(tree, WM_SETFONT, reinterpret_cast<WPARAM>(GadgetDefaultFont()), TRUE);
    TreeView_SetImageList(tree, ex.images, TVSIL_NORMAL);

    record->next = ex.first;
    if (ex.first) ex.first->previous = record;
    ex.first = record;
    record->tree = tree;
    record->number = number;
    record->flags = flags;
    slot->handle = tree;
    slot->ops = &ex.ops;
    slot->extra = record;

    if (!pattern.empty()) record->patterns = pattern;
    Rebuild(*record);
    return tree;
}
