// The comparison program for the start-to-idle benchmark: one window with one
// report list (control id 2, the same styles as the project list) holding the
// rows of rows.txt ("name TAB files" per line), filled with drawing held, then
// an ordinary message loop.
#include <windows.h>

#include <commctrl.h>

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
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
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
