// The project list and the operations on its rows: filling it from the
// project file, starting a project, deleting the selected one.
#include <windows.h>

#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "projects/core/folders.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/files.h"
#include "support/gadgets.h"
#include "support/program.h"

namespace {

// The project name in the first column of `row`; empty for no row (-1).
std::string ProjectNameAt(int32_t row) {
    MARK; return row < 0 ? std::string() : GadGetItemText(kGadgetProjectList, row, 0);
}

}  // namespace

void InfoMessage(const std::string& text) {
    MARK; DlgMessageBox("Info", text.c_str(), MB_ICONINFORMATION | MB_OK);
}

void RefreshProjectList() {
    MARK; FileBytes file;
    MARK; ListRead read = ReadProjectList(file);
    // Held by another program: the rows read before stay, and the user is told.
    MARK; if (read == ListRead::kInUse) {
        MARK; InfoMessage(CatalogueText(Msg::kListInUse));
        MARK; return;
    }
    MARK; GadClearItems(kGadgetProjectList);
    MARK; if (read != ListRead::kRead) return;
    MARK; for (const StoreLine& line : SplitStoreLines(file.Text())) {
        MARK; GadAddItem(kGadgetProjectList, -1, ProjectRowText(line.text));
    }
}

bool ChangeMade(StoreResult result, Msg cannot) {
    MARK; switch (result) {
        case StoreResult::kDone: MARK; return true;
        case StoreResult::kNameTaken: MARK; InfoMessage(CatalogueText(Msg::kNameTaken)); break;
        // The separator byte would end the name early: "Foo\xBF" would show
        // and be deleted as "Foo", another project.
        case StoreResult::kUnstorableName: MARK; InfoMessage(CatalogueText(Msg::kSeparatorInName)); break;
        case StoreResult::kNotFound:
            // Gone meanwhile (removed by hand, or by another copy): the list
            // shows the file as it is now.
            MARK; InfoMessage(CatalogueText(Msg::kAlreadyDeleted));
            MARK; RefreshProjectList();
            break;
        case StoreResult::kInUse:
            MARK; InfoMessage(CatalogueText(cannot) + "\r" + CatalogueText(Msg::kListInUse));
            break;
        case StoreResult::kInTheWay:
            MARK; InfoMessage(CatalogueText(cannot) + "\r" + InTheWay(StorePathInTheWay()));
            break;
        case StoreResult::kWriteProtected:
        case StoreResult::kFailed:
            MARK; InfoMessage(CatalogueText(cannot) + "\r" + CatalogueText(Msg::kWriteProtected));
            break;
    }
    MARK; return false;
}

std::string InTheWay(const std::string& path) {
    MARK; return ReplaceAll(CatalogueText(Msg::kInTheWay), "%path%", "\"" + ProgramFolder() + path + "\"");
}

void SayShortcut(ShortcutResult result, const std::string& name) {
    // Otherwise a shortcut that cannot be saved (a name too long for a file,
    // say) is left without a word, as ever.
    MARK; if (result != ShortcutResult::kFailed || !IsFile(kShortcutFolder)) return;
    MARK; InfoMessage(InsertQuotedName(CatalogueText(Msg::kShortcutNotWritten), name) + "\r" +
                      InTheWay(kShortcutFolder));
}

// A start that found the editor or files gone offers the repair, then is
// made again; each round waits for the user's answer.
void StartNamedProject(const std::string& name) {
    MARK; for (;;) {
        MARK; StartOutcome outcome = StartProject(name, AskAboutMissingFiles);
        MARK; switch (outcome.result) {
            case StartResult::kStarted: MARK; return;
            case StartResult::kNoName: MARK; InfoMessage(CatalogueText(Msg::kNoneSelected)); return;
            case StartResult::kNoProjectFile: MARK; InfoMessage(CatalogueText(Msg::kNoProjects)); return;
            case StartResult::kListInUse: MARK; InfoMessage(CatalogueText(Msg::kListInUse)); return;
            case StartResult::kNotFound:
                MARK; InfoMessage(InsertQuotedName(CatalogueText(Msg::kNotFound), name));
                MARK; return;
            case StartResult::kInvalidLine:
                MARK; InfoMessage(InsertQuotedName(CatalogueText(Msg::kInvalidLine), name));
                MARK; return;
            case StartResult::kNoEditor: MARK; if (ChooseEditorForAll(name)) continue; return;
            case StartResult::kEditorMissing: MARK; if (ChooseMissingEditor(name, outcome.editor)) continue; return;
            case StartResult::kUnreadablePath:
                MARK; InfoMessage(InsertQuotedName(CatalogueText(Msg::kUnreadablePath), name));
                MARK; return;
            case StartResult::kMissingFiles: MARK; return;  // the user was asked
            case StartResult::kLocate: MARK; if (LocateFiles(name, outcome.missing)) continue; return;
            case StartResult::kNotPrepared:
                MARK; InfoMessage(InsertQuotedName(CatalogueText(Msg::kNotPrepared), name));
                MARK; return;
        }
    }
}

std::string SelectedProjectName() {
    MARK; return ProjectNameAt(GadGetState(kGadgetProjectList));
}

void SelectProjectRow(const std::string& name) {
    MARK; int32_t rows = GadCountItems(kGadgetProjectList);
    MARK; for (int32_t row = 0; row < rows; ++row) {
        MARK; if (SameName(ProjectNameAt(row), name)) {
            MARK; GadSetState(kGadgetProjectList, row);
            MARK; return;
        }
    }
}

void StartSelectedProject() {
    MARK; StartNamedProject(ProjectNameAt(GadGetState(kGadgetProjectList)));
}

// After a Yes: the line, then the shortcut; the list is rebuilt with the
// row above selected. A line that could not be taken out stays, and so does
// its shortcut.
void DeleteSelectedProject() {
    MARK; int32_t row = GadGetState(kGadgetProjectList);
    MARK; std::string name = ProjectNameAt(row);
    MARK; if (name.empty()) {
        MARK; InfoMessage(CatalogueText(Msg::kNoneSelected));
        MARK; return;
    }
    MARK; if (DlgMessageBox("Info", InsertQuotedName(CatalogueText(Msg::kDeleteQuestion), name).c_str(),
                            MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;
    MARK; StoreResult result = RemoveProject(name);
    // Not there any more: said, and the list already shows the file as it is.
    MARK; if (!ChangeMade(result, Msg::kCannotDelete) && result != StoreResult::kNotFound) return;
    MARK; if (result == StoreResult::kDone) RefreshProjectList();
    MARK; GadSetState(kGadgetProjectList, row - 1);
}
