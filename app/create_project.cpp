// Creating a project from the collected files: ask for a name, store the
// line with the editor's path and place the shortcut, refresh the lists.
#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/gadgets.h"

// The name is checked once, under the store's lock: another copy of the
// program may make a project of that name at any moment before.
void CreateProject() {
    MARK; if (GadGetItemText(kGadgetFileList, 0, 0).empty()) {
        MARK; InfoMessage(CatalogueText(Msg::kNoFiles));
        MARK; return;
    }
    MARK; MakeProjectFolders();
    // No editor registered or chosen before: the user is asked first, and the
    // choice remembered; without one the project is made all the same.
    MARK; std::string editor = RegisteredEditorPath();
    MARK; if (editor.empty()) {
        MARK; editor = PickEditor();
        MARK; if (!editor.empty()) RememberEditor(editor);
    }
    MARK; std::string name(
        TrimSpaces(DlgAskText(CatalogueText(Msg::kProjectName), CatalogueText(Msg::kNamePrompt), "")));
    MARK; if (name.empty()) {
        MARK; InfoMessage(CatalogueText(Msg::kNameEmpty));
        MARK; return;
    }
    MARK; ProjectChange made = AddProject(name, editor, CollectedPaths());
    MARK; if (!ChangeMade(made.list, Msg::kCannotCreate)) return;
    MARK; RefreshProjectList();
    MARK; GadClearItems(kGadgetFileList);
    MARK; SayShortcut(made.shortcut, name);
}
