// The insert-disk prompt for a drive without a medium, and the procedure in
// front of the top-level window that follows volumes arriving and leaving.
#include "explorer/tree_internal.h"

#include <dbt.h>
#include <shellapi.h>

namespace {

// The shell's own insert-disk dialog and the parts of it we fill in. Wine's
// shell32 has no such template; the program then uses its own copy
// (explorer/prompt.rc) with the same parts.
constexpr int kShellPromptTemplate = 1024;
const char kOwnPromptTemplate[] = "EXPLORERTREE_INSERTDISK";
constexpr int kPromptIcon = 12297;
constexpr int kPromptText = 12291;

// Gives the tree back what the prompt took. Runs on the prompt's
// WM_DESTROY, so it also happens when the prompt goes without being closed:
// its owner's destruction takes it along without a WM_CLOSE, and the tree
// would otherwise stay disabled with no prompt ever opening again.
void ForgetPrompt(HWND dialog) {
    auto* r = reinterpret_cast<ExplorerTreeRecord*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!r) return;
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    r->promptIcon.reset();
    if (r->prompt == dialog) r->prompt = nullptr;
    EnableWindow(r->tree, TRUE);
}

// A modeless dialog ends by being destroyed (EndDialog would only hide it).
void EndPrompt(HWND dialog) { DestroyWindow(dialog); }

INT_PTR CALLBACK PromptProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            auto* r = reinterpret_cast<ExplorerTreeRecord*>(lp);
            SetWindowLongPtrA(dialog, DWLP_USER, lp);
            r->prompt = dialog;
            SHFILEINFOA info{};
            UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
            if (SHGetFileInfoA(DriveRoot(r->promptDrive).c_str(), 0, &info, sizeof info, SHGFI_ICON) && info.hIcon) {
                r->promptIcon.reset(info.hIcon);
                SendDlgItemMessageA(dialog, kPromptIcon, STM_SETICON, reinterpret_cast<WPARAM>(info.hIcon), 0);
            }
            SetErrorMode(oldMode);
            char text[1024] = {};
            GetDlgItemTextA(dialog, kPromptText, text, sizeof text);
            SetDlgItemTextA(dialog, kPromptText, InsertDriveLetter(text, r->promptDrive).c_str());
            EnableWindow(r->tree, FALSE);
            return TRUE;
        }
        case WM_CLOSE:
            EndPrompt(dialog);
            return TRUE;
        case WM_DESTROY:
            ForgetPrompt(dialog);
            break;
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {
                EndPrompt(dialog);
                return TRUE;
            }
            break;
        default: break;
    }
    return FALSE;
}

// Sets a drive item back to its unread state with the drive's current name
// and icon.
void RefreshDriveItem(HWND tree, HTREEITEM item, unsigned drive) {
    std::string root = DriveRoot(drive), name = root;
    int icon = 0;
    ShellName(root, name);
    ShellIcon(root, icon);
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    it.hItem = item;
    it.pszText = name.data();
    it.iImage = it.iSelectedImage = icon;
    it.cChildren = 1;
    it.lParam = drive;
    TreeView_SetItem(tree, &it);
}

void OnVolumeChange(WPARAM event, DWORD mask) {
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    for (ExplorerTreeRecord* r = Explorer().first; r; r = r->next) {
        if (event == DBT_DEVICEARRIVAL && r->prompt && (mask >> r->promptDrive & 1))
            SendMessageA(r->prompt, WM_CLOSE, 0, 0);
        for (HTREEITEM item = TreeView_GetChild(r->tree, r->root); item; item = TreeView_GetNextSibling(r->tree, item)) {
            uint16_t t = ItemTag(r->tree, item);
            if (!tag::IsDrive(t) || !(mask >> tag::Kind(t) & 1)) continue;
            // A medium that arrives while the old one's folders are still
            // listed (no removal came between) must not get a second copy
            // of them appended: those children go too.
            if (event == DBT_DEVICEREMOVECOMPLETE || TreeView_GetChild(r->tree, item)) {
                TreeView_Expand(r->tree, item, TVE_COLLAPSE | TVE_COLLAPSERESET);
                // Some tree-view versions keep the children of a node that
                // is not open at the moment: they go all the same.
                while (HTREEITEM child = TreeView_GetChild(r->tree, item)) TreeView_DeleteItem(r->tree, child);
            }
            RefreshDriveItem(r->tree, item, tag::Kind(t));
        }
    }
    SetErrorMode(oldMode);
}

LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ExplorerLayer& x = Explorer();
    WNDPROC previous = x.hookedPrevious;
    if (msg == WM_DESTROY && hwnd == x.hooked) {
        // Step out of the chain while the window still exists, so the rest
        // of its messages go straight on; the next tree hooks afresh.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == HookProc)
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        x.hooked = nullptr;
    } else if (msg == WM_DEVICECHANGE && (wp == DBT_DEVICEARRIVAL || wp == DBT_DEVICEREMOVECOMPLETE) && lp) {
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lp);
        if (header->dbch_devicetype == DBT_DEVTYP_VOLUME)
            OnVolumeChange(wp, reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lp)->dbcv_unitmask);
    }
    return CallWindowProcA(previous, hwnd, msg, wp, lp);
}

}  // namespace

void OpenInsertDiskPrompt(ExplorerTreeRecord& record, unsigned drive) {
    if (record.prompt) return;  // one per tree
    ExplorerLayer& x = Explorer();
    record.promptDrive = drive;
    HWND dialog = nullptr;
    if (FindResourceA(x.shell, MAKEINTRESOURCEA(kShellPromptTemplate), RT_DIALOG))
        dialog = CreateDialogParamA(x.shell, MAKEINTRESOURCEA(kShellPromptTemplate), x.hooked, PromptProc,
                                    reinterpret_cast<LPARAM>(&record));
    if (!dialog)
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), kOwnPromptTemplate, x.hooked, PromptProc,
                                    reinterpret_cast<LPARAM>(&record));
    if (dialog) {
        ShowWindow(dialog, SW_SHOW);
    } else if (record.prompt) {
        // Initialised, then failed: nothing is left to close.
        record.prompt = nullptr;
        EnableWindow(record.tree, TRUE);
    }
}

void CloseInsertDiskPrompt(ExplorerTreeRecord& record) {
    if (record.prompt) SendMessageA(record.prompt, WM_CLOSE, 0, 0);
}

void HookTopLevel(HWND gadgetListWindow) {
    ExplorerLayer& x = Explorer();
    if (x.hooked || !gadgetListWindow) return;
    HWND top = GetAncestor(gadgetListWindow, GA_ROOT);
    if (!top) return;
    x.hookedPrevious =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookProc)));
    x.hooked = top;
}

void PostTreeEvent(const ExplorerTreeRecord& record, EventSubtype subtype) {
    HWND target = Explorer().hooked;
    if (target)
        PostMessageA(target, WM_COMMAND, MAKEWPARAM(record.number, subtype), reinterpret_cast<LPARAM>(record.tree));
}
