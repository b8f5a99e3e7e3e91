// Creating a project from the collected files: ask for a name, check it,
// store the line with the editor's path, place the shortcut, refresh the lists.
#include <windows.h>

#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/gadgets.h"
#include "support/program.h"

void CreateProject() {
    MARK; if (GadGetItemText(kGadgetFileList, 0, 0).empty()) {
        MARK; InfoMessage(CatalogueText(Msg::kNoFiles));
        MARK; return;
    }
    // Data and projects live beside the program, whatever the folder tree did meanwhile.
    MARK; EnterProgramFolder();
    MARK; CreateDirectoryA("Data", nullptr);
    MARK; CreateDirectoryA("Projects", nullptr);
    MARK; std::string name(TrimSpaces(DlgAskText(CatalogueText(Msg::kProjectName), CatalogueText(Msg::kNamePrompt), "")));
    MARK; if (name.empty()) {
        MARK; InfoMessage(CatalogueText(Msg::kNameEmpty));
        MARK; return;
    }
    // The separator byte would end the name early: "Foo\xBF" would show and
    // be deleted as "Foo", another project.
    MARK; if (!IsStorableName(name)) {
        MARK; InfoMessage(CatalogueText(Msg::kSeparatorInName));
        MARK; return;
    }
    MARK; if (ProjectExists(name)) {
        MARK; InfoMessage(CatalogueText(Msg::kNameTaken));
        MARK; return;
    }
    MARK; std::string editor = RegisteredEditorPath();
    MARK; switch (AppendProjectLine(name, editor, CollectedPaths())) {
        case AppendResult::kAppended: MARK; break;
        // Another copy of the program made it since the check above.
        case AppendResult::kNameTaken: MARK; InfoMessage(CatalogueText(Msg::kNameTaken)); return;
        case AppendResult::kUnstorableName: MARK; InfoMessage(CatalogueText(Msg::kSeparatorInName)); return;
        case AppendResult::kFailed:
            MARK; InfoMessage(CatalogueText(Msg::kCannotCreate) + "\r" + CatalogueText(Msg::kWriteProtected));
            MARK; return;
    }
    MARK; CreateProjectShortcut(name);
    MARK; RefreshProjectList();
    MARK; GadClearItems(kGadgetFileList);
}
