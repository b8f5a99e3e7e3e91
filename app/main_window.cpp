// The main window: window 0 with the folder tree, the file list and the
// project list, and the buttons that work on them.
#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "explorer/tree.h"
#include "support/drop.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace {
// No maximise box and no sizing border: the window keeps its size.
constexpr uint32_t kMainWindowFlags = kWinCentre | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Without kListIconMultiSelect: one row at a time.
constexpr uint32_t kProjectListFlags = kListIconAlwaysShowSelection | kListIconGridLines | kListIconFullRowSelect;
constexpr const char* kCopyright = "(c) 2026 Tarnwick developers";
}  // namespace

// The creation order is the keyboard focus order: Tab visits the gadgets that
// take the focus in the order they are made here.
void BuildMainWindow() {
    MARK; ReadLanguageSetting();
    MARK; if (!WinOpen(0, 322, 420, 570, 420, kMainWindowFlags, CatalogueText(Msg::kTitle))) return;
    MARK; if (!GadgetListUse(WinLastOpened())) return;

    MARK; CreateExplorerTree(kGadgetTree, 20, 30, 240, 140, "*.pbi;*.pb", ExplorerTree_AlwaysShowSelection);

    MARK; GadListView(kGadgetFileList, 300, 30, 250, 140);
    MARK; GadListIcon(kGadgetProjectList, 20, 220, 520, 160, CatalogueText(Msg::kProjectName), 120, kProjectListFlags);
    MARK; GadAddColumn(kGadgetProjectList, 1, CatalogueText(Msg::kFiles), 350);
    MARK; GadFrame(kGadgetFrame, 10, 10, 550, 170, CatalogueText(Msg::kFiles));
    MARK; GadButton(kGadgetCreate, 20, 190, 250, 20, CatalogueText(Msg::kCreateButton));
    MARK; GadButton(kGadgetRemoveFile, 265, 30, 30, 30, "<-");
    MARK; GadButton(kGadgetAddFile, 265, 140, 30, 30, "->");
    MARK; GadButton(kGadgetStart, 290, 190, 250, 20, CatalogueText(Msg::kStartButton));
    MARK; GadButton(kGadgetDelete, 20, 390, 250, 20, CatalogueText(Msg::kDeleteButton));
    MARK; GadButton(kGadgetQuit, 290, 390, 250, 20, CatalogueText(Msg::kQuitButton));
    MARK; GadText(kGadgetCopyright, 380, 0, 180, 15, kCopyright);
    // Files dragged from Explorer are collected where the files are picked.
    MARK; GadAcceptFileDrops(kGadgetFileList);
    MARK; GadAcceptFileDrops(kGadgetTree);

    MARK; RefreshProjectList();
}
