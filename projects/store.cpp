// The project list file on disk. Nothing is cached: every operation reads the
// file afresh and closes it before it returns. A change reads the whole file
// and replaces it with the new text in one step, under a lock that every copy
// of the program takes: no change is lost to another made at the same time,
// and a reader sees the old or the new file, never a part of one.
#include <windows.h>

#include "crashtrap/core/marker.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/files.h"

namespace {

// Long enough for any other copy's change to end; a holder that never lets go
// (a copy stopped in a debugger) makes the change fail, not hang.
constexpr DWORD kLockWaitMs = 5000;

// The project file's bytes for an append: a missing file is an empty list, a
// file that is there but cannot be read fails the append.
bool ReadForAppend(FileBytes& file) {
    MARK; if (ReadWholeFile(kProjectFile, file)) return true;
    MARK; file = FileBytes{};
    MARK; return GetFileAttributesA(kProjectFile) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace

bool ProjectExists(const std::string& name) {
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return false;
    MARK; return FindProjectLine(file.Text(), name).has_value();
}

std::vector<std::string> ProjectNames() {
    MARK; std::vector<std::string> names;
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return names;
    MARK; for (const StoreLine& line : SplitStoreLines(file.Text())) names.emplace_back(ProjectNameOf(line.text));
    MARK; return names;
}

AppendResult AppendProjectLine(const std::string& name, const std::string& editorPath,
                               const std::vector<std::string>& paths) {
    MARK; if (!IsStorableName(name)) return AppendResult::kUnstorableName;
    MARK; UniqueFile lock = TakeFileLock(kProjectLock, kLockWaitMs);
    MARK; if (!lock) return AppendResult::kFailed;
    MARK; FileBytes file;
    MARK; if (!ReadForAppend(file)) return AppendResult::kFailed;
    // Checked again under the lock: another copy may have made it meanwhile.
    MARK; if (FindProjectLine(file.Text(), name)) return AppendResult::kNameTaken;
    MARK; std::string text = AppendProjectToText(file.Text(), MakeProjectLine(name, editorPath, paths));
    MARK; if (!ReplaceFileAtomically(kProjectFile, text)) return AppendResult::kFailed;
    MARK; return AppendResult::kAppended;
}

std::optional<std::vector<std::string>> ProjectFiles(const std::string& name) {
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return std::nullopt;
    MARK; std::optional<std::string_view> line = FindProjectLine(file.Text(), name);
    MARK; if (!line) return std::nullopt;
    MARK; return ProjectFilePaths(*line);
}

namespace {

// A change of one line as a removal makes it: under the lock, one read, the
// change made on the whole text (`change` makes the new file from the old
// one), and the new text in place of the file in one step.
template <class Change>
StoreChange ChangeProjectLine(Change change) {
    MARK; UniqueFile lock = TakeFileLock(kProjectLock, kLockWaitMs);
    MARK; if (!lock) return GetLastError() == ERROR_PATH_NOT_FOUND ? StoreChange::kNotFound : StoreChange::kFailed;
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return StoreChange::kNotFound;
    MARK; ChangedFile changed = change(file.Text());
    MARK; if (changed.result == LineChange::kNotFound) return StoreChange::kNotFound;
    MARK; if (changed.result == LineChange::kNameTaken) return StoreChange::kNameTaken;
    MARK; return ReplaceFileAtomically(kProjectFile, changed.text) ? StoreChange::kDone : StoreChange::kFailed;
}

}  // namespace

StoreChange RenameProject(const std::string& name, const std::string& newName) {
    MARK; if (!IsStorableName(newName)) return StoreChange::kUnstorableName;
    MARK; return ChangeProjectLine([&](std::string_view file) {
        MARK; return RenameProjectInText(file, name, newName);
    });
}

StoreChange ReplaceProjectFiles(const std::string& name, const std::vector<std::string>& paths) {
    MARK; return ChangeProjectLine([&](std::string_view file) {
        MARK; return ReplaceProjectFilesInText(file, name, paths);
    });
}

RemoveResult RemoveProjectLines(const std::string& name) {
    // Without the folder Data there is no project file, nor any project.
    MARK; UniqueFile lock = TakeFileLock(kProjectLock, kLockWaitMs);
    MARK; if (!lock) return GetLastError() == ERROR_PATH_NOT_FOUND ? RemoveResult::kNotFound : RemoveResult::kFailed;
    // One read gives both the line to remove and the text to keep; a file
    // that cannot be read holds no project to remove.
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return RemoveResult::kNotFound;
    MARK; std::optional<std::string> kept = RemoveProjectFromText(file.Text(), name);
    MARK; if (!kept) return RemoveResult::kNotFound;
    MARK; if (!ReplaceFileAtomically(kProjectFile, *kept)) return RemoveResult::kFailed;
    MARK; return RemoveResult::kRemoved;
}
