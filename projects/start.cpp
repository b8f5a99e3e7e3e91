// Starting a project: its editor command goes into a batch file in Data,
// which the shell runs hidden and which deletes itself.
#include <windows.h>

#include "crashtrap/core/marker.h"
#include "projects/batch.h"
#include "projects/core/start_text.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/codepage.h"
#include "support/core/text.h"
#include "support/files.h"
#include "support/lookup.h"
#include "support/program.h"
#include "support/shell.h"

namespace {

// How long a start waits for a drive or share to answer before it gives up
// looking there and starts those files unchecked.
constexpr DWORD kLookupDeadlineMs = 2000;

bool IsAscii(std::string_view text) {
    MARK; for (char c : text) {
        MARK; if ((unsigned char)c >= 0x80) return false;
    }
    MARK; return true;
}

// `path` (ANSI) as bytes through which the command interpreter finds the
// same file. It reads a batch file in the console's code page, the OEM one
// (850 on German, 437 on English systems), not in the ANSI one the path is
// held in: the byte 0xFC, a u with umlaut in code page 1252, reads as a
// superscript 3 in code page 850. ASCII stays as it is; any other path is
// written in the OEM code page when each of its characters has its exact
// counterpart there, else as its short form (the 8.3 names, which the file
// system keeps in that code page) when that has and `answers`: a drive or
// share that did not answer would hold the start up again. False when
// neither can be written.
bool InterpreterBytes(const std::string& path, bool answers, std::string& out) {
    MARK; if (IsAscii(path)) {
        MARK; out = path;
        MARK; return true;
    }
    MARK; std::wstring wide = WideFrom(path, CP_ACP);
    MARK; if (ExactBytes(wide, GetOEMCP(), out)) return true;
    MARK; if (!answers) return false;
    MARK; std::wstring shortForm(MAX_PATH, L'\0');
    MARK; DWORD n = GetShortPathNameW(wide.c_str(), shortForm.data(), DWORD(shortForm.size()));
    MARK; if (n >= shortForm.size()) {
        MARK; shortForm.resize(n);
        MARK; n = GetShortPathNameW(wide.c_str(), shortForm.data(), DWORD(shortForm.size()));
    }
    MARK; if (n == 0 || n >= shortForm.size()) return false;
    MARK; shortForm.resize(n);
    MARK; return ExactBytes(shortForm, GetOEMCP(), out);
}

// What the lookups before a start found.
struct Found {
    bool editorThere = true;
    bool editorAnswered = true;
    std::vector<std::string> missing;  // in their order
    std::vector<bool> answered;        // for each path left in the command
};

// Takes the files that are gone (moved, renamed, on a drive not there) out of
// `command`; those that are there, or on a drive or share that did not answer
// in time, stay.
Found TakeMissingFiles(StartCommand& command) {
    MARK; std::vector<std::string> lookups(1, command.editor);
    MARK; lookups.insert(lookups.end(), command.paths.begin(), command.paths.end());
    MARK; const std::vector<FileState> states = LookUpFiles(lookups, kLookupDeadlineMs);
    MARK; Found found;
    MARK; found.editorThere = states[0] != FileState::kMissing;
    MARK; found.editorAnswered = states[0] == FileState::kThere;
    MARK; std::vector<std::string> kept;
    MARK; for (size_t i = 0; i < command.paths.size(); ++i) {
        MARK; if (states[i + 1] == FileState::kMissing) {
            MARK; found.missing.push_back(std::move(command.paths[i]));
            MARK; continue;
        }
        MARK; kept.push_back(std::move(command.paths[i]));
        MARK; found.answered.push_back(states[i + 1] == FileState::kThere);
    }
    MARK; command.paths = std::move(kept);
    MARK; return found;
}

// The command with every part in the interpreter's bytes; false when a
// part cannot be written so.
bool ForInterpreter(StartCommand& command, const Found& found) {
    MARK; if (!InterpreterBytes(command.editor, found.editorAnswered, command.editor)) return false;
    MARK; for (size_t i = 0; i < command.paths.size(); ++i) {
        MARK; if (!InterpreterBytes(command.paths[i], found.answered[i], command.paths[i])) return false;
    }
    MARK; return true;
}

}  // namespace

StartOutcome StartProject(const std::string& name, MissingFilesQuestion askMissing) {
    MARK; if (name.empty()) return {StartResult::kNoName};
    MARK; FileBytes file;
    MARK; switch (ReadProjectList(file)) {
        case ListRead::kRead: MARK; break;
        case ListRead::kInUse: MARK; return {StartResult::kListInUse};
        default: MARK; return {StartResult::kNoProjectFile};
    }
    MARK; bool unprepared = false;
    MARK; for (const StoreLine& line : SplitStoreLines(file.Text())) {
        MARK; if (!SameName(ProjectNameOf(line.text), name)) continue;
        // Only a line of the form creating a project writes (or a user's
        // repair of one) is run: any other text could make the command
        // interpreter run a command of its own.
        MARK; std::optional<StartCommand> command = ParseStartCommand(line.text);
        MARK; if (!command) return {StartResult::kInvalidLine};
        // Made without the editor: the one registered now, for this start;
        // the line stays as it is.
        MARK; if (command->editor.empty()) command->editor = RegisteredEditorPath();
        MARK; if (command->editor.empty()) return {StartResult::kNoEditor};
        // The interpreter expanded variables in the editor's path for older
        // copies; the paths of the files stay as they are.
        MARK; command->editor = ExpandVariables(command->editor);
        // A path too long for any line is no file's: the line was planted.
        MARK; if (!BatchFileText(*command, GetOEMCP())) return {StartResult::kInvalidLine};
        // An editor or a file that is gone would otherwise leave the
        // project opened in part, or not at all, without a word.
        MARK; const size_t fileCount = command->paths.size();
        MARK; Found found = TakeMissingFiles(*command);
        MARK; if (!found.editorThere) return {StartResult::kEditorMissing, command->editor};
        MARK; if (!found.missing.empty()) {
            MARK; switch (askMissing(name, found.missing, fileCount)) {
                case MissingAnswer::kOpenOthers: MARK; break;
                case MissingAnswer::kLocate: MARK; return {StartResult::kLocate, {}, std::move(found.missing)};
                case MissingAnswer::kCancel: MARK; return {StartResult::kMissingFiles};
            }
        }
        MARK; if (command->paths.empty()) return {StartResult::kMissingFiles};
        MARK; if (!ForInterpreter(*command, found)) return {StartResult::kUnreadablePath};
        // A short form may be longer than its name ("a b" against "AB~1").
        MARK; std::optional<std::string> text = BatchFileText(*command, GetOEMCP());
        MARK; if (!text) return {StartResult::kUnreadablePath};
        // A batch file that cannot be written lets a later line of the same name win.
        MARK; std::string batch = WriteBatchFile(*text);
        MARK; if (batch.empty()) {
            MARK; unprepared = true;
            MARK; continue;
        }
        // When the shell takes nothing, nothing would ever delete it.
        MARK; if (!ShellRun(batch, "", ProgramFolder(), kShellRunHidden)) DeleteFileA(batch.c_str());
        MARK; return {StartResult::kStarted};
    }
    MARK; return {unprepared ? StartResult::kNotPrepared : StartResult::kNotFound};
}
