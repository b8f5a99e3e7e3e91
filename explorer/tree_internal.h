// What the explorer tree's source files share: the per-tree record and the
// process-wide state set up by the first tree.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "explorer/core/tree_model.h"
#include "support/gadgets.h"
#include "support/unique.h"
#include "support/window.h"

// One per tree; kept in the gadget record's `extra` and freed when the tree
// control is finally destroyed.
struct ExplorerTreeRecord {
    HWND tree = nullptr;
    int32_t number = 0;
    uint32_t flags = 0;
    std::string patterns = "*.*";  // separated by ';'
    HTREEITEM root = nullptr;
    HWND prompt = nullptr;  // the open insert-disk prompt
    unsigned promptDrive = 0;
    UniqueIcon promptIcon;  // shown in the prompt, destroyed when it closes
    ExplorerTreeRecord* previous = nullptr;
    ExplorerTreeRecord* next = nullptr;
};

struct ExplorerLayer {
    bool initialised = false;
    HIMAGELIST images = nullptr;  // the shell's small system image list (not ours to destroy)
    int folderImage = 0;
    std::string computerName = "My Computer";
    int computerImage = 0;
    bool documentsAvailable = false;
    std::string documentsPath;  // ends in a backslash
    std::string documentsName = "My Documents";
    int documentsImage = 0;
    HMODULE shell = nullptr;  // where the insert-disk template lives; none: no prompt
    HWND hooked = nullptr;    // the top-level window whose procedure we precede
    WNDPROC hookedPrevious = nullptr;
    WNDPROC treePrevious = nullptr;  // the tree-view class's own procedure
    ExplorerTreeRecord* first = nullptr;  // live trees, newest first
    FileTypeCache fileTypes;
    GadgetKindOps ops{};
};

// The layer's state and the item helpers (items.cpp).
ExplorerLayer& Explorer();
uint16_t ItemTag(HWND tree, HTREEITEM item);
void SetItemTag(HWND tree, HTREEITEM item, uint16_t tag);
HTREEITEM AppendItem(HWND tree, HTREEITEM parent, const std::string& text, int image, uint16_t tag,
                     bool hasChildren);
std::string ItemPath(HWND tree, HTREEITEM item);
// The small system icon index and display name of `path` (false if the shell fails).
bool ShellIcon(const std::string& path, int& icon);
bool ShellName(const std::string& path, std::string& name);

// Reads a node's children when it is first opened (fill.cpp).
void FillNode(ExplorerTreeRecord& record, HTREEITEM item);

// The insert-disk prompt and the top-level hook (prompt.cpp).
void OpenInsertDiskPrompt(ExplorerTreeRecord& record, unsigned drive);
void CloseInsertDiskPrompt(ExplorerTreeRecord& record);
void HookTopLevel(HWND gadgetListWindow);
// Posts a gadget event with `subtype` for the tree to the hooked window.
void PostTreeEvent(const ExplorerTreeRecord& record, EventSubtype subtype);
