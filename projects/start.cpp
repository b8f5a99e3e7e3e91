// Starting a project: its editor command goes into a batch file in Data,
// which the shell runs hidden and which deletes itself.
#include <windows.h>

#include "crashtrap/core/marker.h"
#include "projects/core/start_text.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/codepage.h"
#include "support/core/text.h"
#include "support/files.h"
#include "support/program.h"
#include "support/shell.h"

namespace {

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
// superscript 3 in code page 850. ASCII stays as it is; any other path is written in the OEM code page when each of its
// characters has its exact counterpart there, else as its short form (the
// 8.3 names, which the file system keeps in that code page) when that has.
// False when neither can be written.
bool InterpreterBytes(const std::string& path, std::string& out) {
    MARK; if (IsAscii(path)) {
        MARK; out = path;
        MARK; return true;
    }
    MARK; std::wstring wide = WideFrom(path, CP_ACP);
    MARK; if (ExactBytes(wide, GetOEMCP(), out)) return true;
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

// The command with every part in the interpreter's bytes; false when a
// part cannot be written so.
bool ForInterpreter(StartCommand& command) {
    MARK; if (!InterpreterBytes(command.editor, command.editor)) return false;
    MARK; for (std::string& path : command.paths) {
        MARK; if (!InterpreterBytes(path, path)) return false;
    }
    MARK; return true;
}

// Whether `path` names a file that is there. A drive without its medium
// answers as missing, without the system's prompt to insert one.
bool FileIsThere(const std::string& path) {
    MARK; DWORD attributes = GetFileAttributesA(path.c_str());
    MARK; return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The paths of `command` that name no file, in their order; those that are
// there stay in `command`.
std::vector<std::string> TakeMissingFiles(StartCommand& command) {
    MARK; std::vector<std::string> missing, there;
    MARK; UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    MARK; for (std::string& path : command.paths) {
        MARK; (FileIsThere(path) ? there : missing).push_back(std::move(path));
    }
    MARK; SetErrorMode(oldMode);
    MARK; command.paths = std::move(there);
    MARK; return missing;
}

enum class Slot { kWritten, kTaken, kFailed };

// Writes the batch file for `command` at `path` when no file is there yet.
Slot WriteBatchFile(const StartCommand& command, const std::string& path) {
    MARK; UniqueFile file = CreateNewToWrite(path.c_str());
    MARK; if (!file) {
        // A folder of that name: no batch file can be written here. Anything
        // else is an earlier start's batch file (perhaps being deleted) or a
        // folder that refuses files, and the next slot tells which. An earlier
        // start's file must not change: its command interpreter may still be
        // reading it (by offset, a line at a time, waiting while the editor runs).
        MARK; DWORD attributes = GetFileAttributesA(path.c_str());
        MARK; bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        MARK; return folder ? Slot::kFailed : Slot::kTaken;
    }
    MARK; if (WriteAll(file.get(), *BatchFileText(command, path))) return Slot::kWritten;
    MARK; file.reset();
    MARK; DeleteFileA(path.c_str());
    MARK; return Slot::kFailed;
}

// Writes the batch file into the first free slot: its path, or empty.
std::string WriteFreeBatchFile(const StartCommand& command) {
    MARK; for (unsigned slot = 0; slot < kBatchSlots; ++slot) {
        MARK; std::string path = BatchFilePath(slot);
        MARK; Slot result = WriteBatchFile(command, path);
        MARK; if (result == Slot::kWritten) return path;
        MARK; if (result == Slot::kFailed) return {};
    }
    MARK; return {};
}

}  // namespace

StartResult StartProject(const std::string& name, OpenOthersQuestion openOthers) {
    MARK; if (name.empty()) return StartResult::kNoName;
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return StartResult::kNoProjectFile;
    MARK; for (const StoreLine& line : SplitStoreLines(file.Text())) {
        MARK; if (!SameName(ProjectNameOf(line.text), name)) continue;
        // Only a line of the form creating a project writes is run: any
        // other text could make the command interpreter run a command of
        // its own.
        MARK; std::optional<StartCommand> command = ParseStartCommand(line.text);
        MARK; if (!command) return StartResult::kInvalidLine;
        // Made without the editor: the one registered now, for this start;
        // the line stays as it is.
        MARK; if (command->editor.empty()) command->editor = RegisteredEditorPath();
        MARK; if (command->editor.empty()) return StartResult::kNoEditor;
        // A path too long for any line is no file's: the line was planted.
        MARK; if (!BatchFileText(*command, BatchFilePath(0))) return StartResult::kInvalidLine;
        // A file that is gone (moved, renamed, on a drive not there) would
        // leave the project opened in part without a word.
        MARK; const size_t fileCount = command->paths.size();
        MARK; std::vector<std::string> missing = TakeMissingFiles(*command);
        MARK; if (!missing.empty() && !openOthers(name, missing, fileCount)) return StartResult::kMissingFiles;
        MARK; if (command->paths.empty()) return StartResult::kMissingFiles;
        MARK; if (!ForInterpreter(*command)) return StartResult::kUnreadablePath;
        // A short form may be longer than its name ("a b" against "AB~1").
        MARK; if (!BatchFileText(*command, BatchFilePath(0))) return StartResult::kUnreadablePath;
        // A batch file that cannot be written lets a later line of the same name win.
        MARK; std::string batch = WriteFreeBatchFile(*command);
        MARK; if (batch.empty()) continue;
        // Run where its own line "del Data\tmp.bat" finds it: in the program's
        // folder, not in Data (the folder of its name). When the shell takes
        // nothing, nothing would ever delete it.
        MARK; if (!ShellRun(batch, "", ProgramFolder(), kShellRunHidden)) DeleteFileA(batch.c_str());
        MARK; return StartResult::kStarted;
    }
    MARK; return StartResult::kNotFound;
}
