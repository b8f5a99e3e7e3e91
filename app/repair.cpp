// Projects whose files or editor moved: what to do about missing files
// (open the others, locate them, start nothing), Locate, and choosing an
// editor when the registered one is missing or there is none.
#include <windows.h>

#include "app/app.h"
#include "app/core/missing_files.h"
#include "crashtrap/core/marker.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/pickers.h"
#include "support/window.h"

namespace {

std::string Quoted(const std::string& text) {
    MARK; return "\"" + text + "\"";
}

// `msg` with its count of projects and its path (in quotes) filled in.
std::string Counted(Msg msg, size_t count, const std::string& path) {
    MARK; return ReplaceAll(ReplaceAll(CatalogueText(msg), "%count%", std::to_string(count)), "%path%", Quoted(path));
}

// A question of the project operations: title "Info", Yes and No.
bool Ask(const std::string& text) {
    MARK; return DlgMessageBox("Info", text.c_str(), MB_ICONQUESTION | MB_YESNO) == IDYES;
}

// The list in the window shows the change (there is none on the
// command-line road).
void ShowChange() {
    MARK; if (WinLastOpened()) RefreshProjectList();
}

}  // namespace

MissingAnswer AskAboutMissingFiles(const std::string& name, const std::vector<std::string>& missing,
                                   size_t fileCount) {
    MARK; const bool none = missing.size() == fileCount;
    MARK; const std::string text =
        MissingFilesMessage(InsertQuotedName(CatalogueText(Msg::kMissingFiles), name), missing,
                            CatalogueText(Msg::kMoreMissing),
                            CatalogueText(none ? Msg::kNoneOrLocate : Msg::kOpenOrLocate));
    MARK; const ButtonLabel locate{none ? IDOK : IDNO, CatalogueText(Msg::kButtonLocate)};
    MARK; const ButtonLabel cancel{IDCANCEL, CatalogueText(Msg::kButtonCancel)};
    MARK; int answer =
        none ? DlgMessageBoxLabelled("Info", text.c_str(), MB_ICONQUESTION | MB_OKCANCEL, {locate, cancel})
             : DlgMessageBoxLabelled("Info", text.c_str(), MB_ICONQUESTION | MB_YESNOCANCEL,
                                     {{IDYES, CatalogueText(Msg::kButtonOpen)}, locate, cancel});
    MARK; if (answer == locate.id) return MissingAnswer::kLocate;
    MARK; return answer == IDYES ? MissingAnswer::kOpenOthers : MissingAnswer::kCancel;
}

bool LocateFiles(const std::string& name, const std::vector<std::string>& missing) {
    MARK; const std::string chosen = DlgPickFolder(InsertQuotedName(CatalogueText(Msg::kLocateTitle), name));
    MARK; if (chosen.empty()) return false;
    MARK; const Relocation found = FindMovedFiles(missing, chosen);
    // Nothing is written for a project whose files were not found there.
    MARK; if (found.moves.empty()) {
        MARK; InfoMessage(ReplaceAll(CatalogueText(Msg::kNothingLocated), "%path%", Quoted(chosen)));
        MARK; return true;
    }
    MARK; if (!ChangeMade(MoveProjectFiles({name}, found.moves), Msg::kCannotChange)) return false;
    // Other projects that lost files in the same move: one question for all.
    MARK; const OtherMoves others = FindOtherMovedFiles(name, found.from, chosen);
    MARK; if (!others.names.empty() && Ask(Counted(Msg::kRepairOthers, others.names.size(), chosen)))
        ChangeMade(MoveProjectFiles(others.names, others.moves), Msg::kCannotChange);
    MARK; ShowChange();
    MARK; return true;
}

std::string PickEditor() {
    MARK; return DlgPickProgram(CatalogueText(Msg::kChooseEditor));
}

bool ChangeEditor(const std::string& name) {
    MARK; const std::string chosen = PickEditor();
    MARK; if (chosen.empty()) return false;
    // Projects made with the same editor most likely lost it the same way.
    MARK; const std::string old = ProjectEditor(name);
    MARK; const std::vector<std::string> alike = ProjectsWithEditor(old, name);
    MARK; const bool all = !alike.empty() && Ask(Counted(Msg::kEditorAlike, alike.size(), old));
    MARK; return ChangeMade(ChangeProjectEditor(name, chosen, all), Msg::kCannotChange);
}

bool ChooseMissingEditor(const std::string& name, const std::string& editor) {
    MARK; if (!Ask(InsertQuotedName(CatalogueText(Msg::kMissingEditor), name) + "\r\n\r\n" + editor + "\r\n\r\n" +
                   CatalogueText(Msg::kFixEditor)))
        return false;
    MARK; return ChangeEditor(name);
}

bool ChooseEditorForAll(const std::string& name) {
    MARK; if (!Ask(InsertQuotedName(CatalogueText(Msg::kNoEditor), name) + "\r\n\r\n" +
                   CatalogueText(Msg::kChooseEditorNow)))
        return false;
    MARK; const std::string chosen = PickEditor();
    MARK; return !chosen.empty() && RememberEditor(chosen);
}
