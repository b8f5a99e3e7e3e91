// The project list's context menu: the operations on the selected project,
// those that cannot apply greyed.
#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "projects/projects.h"
#include "support/gadgets.h"
#include "support/menu.h"

namespace {
enum ProjectMenuItem : int32_t {
    kMenuStart = 1,
    kMenuRename,
    kMenuLoad,
    kMenuReplace,
    kMenuEditor,
    kMenuDelete,
    kMenuFolder,
};
}  // namespace

void ShowProjectMenu(bool byKeyboard) {
    MARK; int32_t row = GadGetState(kGadgetProjectList);
    MARK; bool project = !SelectedProjectName().empty();
    MARK; bool files = GadCountItems(kGadgetFileList) > 0;
    MARK; const std::vector<MenuItem> items = {
        {kMenuStart, CatalogueText(Msg::kMenuStart), project},
        {},
        {kMenuRename, CatalogueText(Msg::kMenuRename), project},
        {kMenuLoad, CatalogueText(Msg::kMenuLoad), project},
        {kMenuReplace, CatalogueText(Msg::kMenuReplace), project && files},
        {kMenuEditor, CatalogueText(Msg::kMenuEditor), project},
        {},
        {kMenuDelete, CatalogueText(Msg::kMenuDelete), project},
        {},
        {kMenuFolder, CatalogueText(Msg::kMenuFolder), ShortcutFolderExists()},
    };
    // In bold what a double-click on the row does.
    MARK; switch (GadPopupMenu(kGadgetProjectList, items, project ? kMenuStart : 0, !byKeyboard, row)) {
        case kMenuStart: MARK; StartSelectedProject(); break;
        case kMenuRename: MARK; RenameSelectedProject(); break;
        case kMenuLoad: MARK; LoadSelectedProjectFiles(); break;
        case kMenuReplace: MARK; ReplaceSelectedProjectFiles(); break;
        case kMenuEditor: MARK; ChangeSelectedProjectEditor(); break;
        case kMenuDelete: MARK; DeleteSelectedProject(); break;
        case kMenuFolder: MARK; OpenShortcutFolder(); break;
        default: break;  // closed without a choice
    }
}
