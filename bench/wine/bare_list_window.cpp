// The comparison program for the start-to-idle benchmark: one window with one
// report list (control id 2, the same styles as the project list) holding the
// rows of rows.txt ("name TAB files" per line), filled with drawing held, then
// an ordinary message loop. With the argument "tree" the window also gets a
// tree view filled as the program's folder tree is at its start: the
// system's small image list, "My Computer" with every drive and "My
// Documents", each with its shell name and icon, the root opened. That is
// work any window showing such a tree has to do.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>

namespace {
LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

std::string ReadAll(const char* path) {
    std::string bytes;
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    ReadFile(f, bytes.data(), DWORD(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(f);
    return bytes;
}
HTREEITEM Append(HWND tree, HTREEITEM parent, const std::string& text, int icon) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = insert.item.iSelectedImage = icon;
    insert.item.cChildren = 1;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// The shell's small icon and display name of a path.
int IconOf(const std::string& path, std::string* name = nullptr) {
    SHFILEINFOA info{};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    int icon = info.iIcon;
    if (name && SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME)) *name = info.szDisplayName;
    return icon;
}

void ShellTree(HWND parent, HINSTANCE instance) {
    CoInitialize(nullptr);
    SHFILEINFOA info{};
    auto images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    IconOf(windows);  // the folder icon
    char documents[MAX_PATH] = {};
    std::string documentsName = "My Documents";
    int documentsIcon = 0;
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents)))
        documentsIcon = IconOf(documents, &documentsName);
    std::string computerName = "My Computer";
    int computerIcon = IconOf("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", &computerName);

    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_SHOWSELALWAYS, 20, 30,
                                240, 140, parent, reinterpret_cast<HMENU>(1), instance, nullptr);
    SendMessageA(tree, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    HTREEITEM root = Append(tree, TVI_ROOT, computerName, computerIcon);
    DWORD drives = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(drives & (1u << (letter - 'A')))) continue;
        std::string path = std::string(1, letter) + ":\\", name = path;
        int icon = IconOf(path, &name);
        Append(tree, root, name, icon);
    }
    Append(tree, root, documentsName, documentsIcon);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    InitCommonControls();
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "BareListWindow";
    RegisterClassA(&wc);
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
    RECT r{0, 0, 570, 420};
    AdjustWindowRect(&r, style, FALSE);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Bare", style, 200, 100, r.right - r.left,
                                  r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                0x50010041 | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 20, 220, 520, 160, window,
                                reinterpret_cast<HMENU>(2), instance, nullptr);
    SendMessageA(list, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<char*>("Name");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = 350;
    column.pszText = const_cast<char*>("Files");
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    if (std::string(commandLine).find("tree") != std::string::npos) ShellTree(window, instance);

    std::string rows = ReadAll("rows.txt");
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (size_t at = 0, n = 0;; ++n) {
        size_t end = rows.find('\n', at);  // every line ends in a line feed
        if (end == std::string::npos) break;
        rows[end] = '\0';
        size_t tab = rows.find('\t', at);
        if (tab < end) rows[tab] = '\0';
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = int(n);
        item.pszText = &rows[at];
        int index = int(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (tab < end) {
            item.iSubItem = 1;
            item.pszText = &rows[tab + 1];
            SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
        }
        at = end + 1;
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
