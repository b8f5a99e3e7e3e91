// Popup menus of gadgets.
#include "support/menu.h"

#include <windows.h>
#include <commctrl.h>

#include "support/gadgets.h"
#include "support/unique.h"

namespace {

// The top of a list's row in its client area; false when the row is not in
// sight (or the control is no list).
bool RowRect(HWND list, int32_t row, RECT& rect) {
    if (row < 0) return false;
    char name[32] = {};
    GetClassNameA(list, name, sizeof name);
    rect = RECT{};
    if (lstrcmpiA(name, WC_LISTVIEWA) == 0) {
        rect.left = LVIR_BOUNDS;
        if (!SendMessageA(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&rect))) return false;
    } else if (lstrcmpiA(name, "ListBox") == 0) {
        if (SendMessageA(list, LB_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&rect)) == LB_ERR) return false;
    } else {
        return false;
    }
    RECT client{};
    GetClientRect(list, &client);
    return rect.bottom > client.top && rect.top < client.bottom;
}

// Where a menu opened from the keyboard goes: below the row, a little in
// from its left, or at the top-left corner of the list.
POINT KeyboardMenuPoint(HWND control, int32_t row) {
    RECT rect;
    POINT at{0, 0};
    if (RowRect(control, row, rect)) at = POINT{rect.left + 8, rect.bottom};
    ClientToScreen(control, &at);
    return at;
}

}  // namespace

int32_t GadPopupMenu(int32_t gadget, const std::vector<MenuItem>& items, int32_t defaultId, bool atMouse,
                     int32_t row) {
    GadgetRecord* record = GadgetFind(gadget);
    if (!record) return 0;
    HWND control = record->handle;
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return 0;
    for (const MenuItem& item : items) {
        if (item.id == 0)
            AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu.get(), MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), UINT_PTR(item.id),
                        item.text.c_str());
    }
    if (defaultId) SetMenuDefaultItem(menu.get(), UINT(defaultId), FALSE);
    POINT at;
    if (atMouse) {
        DWORD position = GetMessagePos();
        at = POINT{short(LOWORD(position)), short(HIWORD(position))};
    } else {
        at = KeyboardMenuPoint(control, row);
    }
    // The choice comes back as the result rather than as a command message
    // to the window, where it would read as an event of the window's own.
    return int32_t(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0,
                                  GetAncestor(control, GA_ROOT), nullptr));
}
