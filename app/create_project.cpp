// Creating a project from the collected files: ask for a name, check it,
// store the line with the editor's path, place the shortcut, refresh the lists.
#include <windows.h>

#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/gadgets.h"
#include "support/program.h"

void CreateProject() {
    MARK; if (GadGetItemText(kGadgetFileList, 0, 0).empty()) {
        MARK; InfoMessage(CatalogueText("No F"));
        MARK; return;
    }
    // Data and projects live beside the program, whatever the folder tree did meanwhile.
    MARK; EnterProgramFolder();
    MARK; CreateDirectoryA("Data", nullptr);
    MARK; CreateDirectoryA("Projects", nullptr);
    MARK; std::string name(TrimSpaces(DlgAskText(CatalogueText("Projektname"), CatalogueText("Name P"), "")));
    MARK; if (name.empty()) {
        MARK; InfoMessage(CatalogueText("E Name P"));
        MARK; return;
    }
    MARK; if (ProjectExists(name)) {
        MARK; InfoMessage(CatalogueText("A Name P"));
        MARK; return;
    }
    MARK; std::string editor = RegisteredEditorPath();
    MARK; if (!AppendProjectLine(name, editor, CollectedPaths())) {
        MARK; InfoMessage(CatalogueText("P Error") + "\r" + CatalogueText("Schreib"));
        MARK; return;
    }
    MARK; CreateProjectShortcut(name);
    MARK; RefreshProjectList();
    MARK; GadClearItems(kGadgetFileList);
}
