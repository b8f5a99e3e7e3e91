// Changes of an existing project: its name, its files (to and from the file
// list), and the folder of its shortcut.
#include <windows.h>

#include "app/app.h"
#include "app/core/file_list.h"
#include "crashtrap/core/marker.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/gadgets.h"
#include "support/program.h"
#include "support/shell.h"

namespace {

// The selected project's name; empty after telling the user that none is.
std::string SelectedOrSay() {
    MARK; std::string name = SelectedProjectName();
    MARK; if (name.empty()) InfoMessage(CatalogueText(Msg::kNoneSelected));
    MARK; return name;
}

}  // namespace

// The name is refused as a new one is, except that the project may take
// another letter case of its own name. Escape leaves everything as it was.
void RenameSelectedProject() {
    MARK; std::string name = SelectedOrSay();
    MARK; if (name.empty()) return;
    MARK; bool cancelled = false;
    MARK; std::string newName(
        TrimSpaces(DlgAskText(CatalogueText(Msg::kProjectName), CatalogueText(Msg::kNamePrompt), name, &cancelled)));
    MARK; if (cancelled || newName == name) return;
    MARK; if (newName.empty()) {
        MARK; InfoMessage(CatalogueText(Msg::kNameEmpty));
        MARK; return;
    }
    MARK; ProjectChange renamed = RenameProject(name, newName);
    MARK; if (!ChangeMade(renamed.list, Msg::kCannotChange)) return;
    MARK; RefreshProjectList();
    MARK; SelectProjectRow(newName);
    MARK; SayShortcut(renamed.shortcut, newName);
}

// Appends the project's files to the file list as if they were collected one
// by one; the last one is selected.
void LoadSelectedProjectFiles() {
    MARK; std::string name = SelectedOrSay();
    MARK; if (name.empty()) return;
    MARK; std::vector<std::string> paths;
    MARK; if (!ChangeMade(ProjectFiles(name, paths), Msg::kCannotChange)) return;
    MARK; int32_t last = -1;
    MARK; for (const std::string& path : paths) {
        MARK; std::string row = FileListRow(path);
        MARK; if (!row.empty()) last = GadAddItem(kGadgetFileList, -1, row);
    }
    MARK; if (last >= 0) GadSetState(kGadgetFileList, last);
}

// After a Yes, the project's files become those of the file list, in its
// order; like a new project, the collection is used up.
void ReplaceSelectedProjectFiles() {
    MARK; std::string name = SelectedOrSay();
    MARK; if (name.empty()) return;
    MARK; std::vector<std::string> paths = CollectedPaths();
    MARK; if (paths.empty()) {
        MARK; InfoMessage(CatalogueText(Msg::kNoFiles));
        MARK; return;
    }
    MARK; if (DlgMessageBox("Info", InsertQuotedName(CatalogueText(Msg::kReplaceQuestion), name).c_str(),
                            MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;
    MARK; if (!ChangeMade(ReplaceProjectFiles(name, paths), Msg::kCannotChange)) return;
    MARK; RefreshProjectList();
    MARK; SelectProjectRow(name);
    MARK; GadClearItems(kGadgetFileList);
}

void ChangeSelectedProjectEditor() {
    MARK; std::string name = SelectedOrSay();
    MARK; if (!name.empty()) ChangeEditor(name);
}

