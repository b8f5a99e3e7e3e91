// Deleting the selected project after a Yes: its shortcut first, then its
// line; the list is rebuilt with the row above selected.
#include <windows.h>

#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "projects/core/create_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/gadgets.h"
#include "support/program.h"

bool DeleteSelectedProject() {
    MARK; int32_t row = GadGetState(kGadgetProjectList);
    MARK; std::string name = row < 0 ? std::string() : GadGetItemText(kGadgetProjectList, row, 0);
    MARK; if (name.empty()) {
        MARK; InfoMessage(CatalogueText("S P"));
        MARK; return false;
    }
    MARK; if (DlgMessageBox("Info", InsertQuotedName(CatalogueText("Del P"), name), MB_ICONQUESTION | MB_YESNO) != IDYES)
        return false;
    MARK; EnterProgramFolder();
    // A name that is not one plain file name never had a shortcut, and must
    // not reach a file outside "Projects".
    MARK; if (IsSingleFileName(name)) DeleteFileA(ShortcutPathFor(name).c_str());
    MARK; if (!RemoveProjectLines(name)) {
        MARK; InfoMessage(CatalogueText("A Del P"));
    }
    MARK; GadClearItems(kGadgetProjectList);
    MARK; RefreshProjectList();
    MARK; GadSetState(kGadgetProjectList, row - 1);
    MARK; return true;
}
