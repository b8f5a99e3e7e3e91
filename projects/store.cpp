// The project list file on disk. Nothing is cached: every operation reads the
// file afresh and closes it before it returns. A change reads the whole file
// and replaces it with the new text in one step, under a lock that every copy
// of the program takes: no change is lost to another made at the same time,
// and a reader sees the old or the new file, never a part of one.
#include <windows.h>

#include <functional>

#include "crashtrap/core/marker.h"
#include "projects/core/folders.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/files.h"

namespace {

// Long enough for any other copy's change to end; a holder that never lets go
// (a copy stopped in a debugger) makes the change fail, not hang.
constexpr DWORD kLockWaitMs = 5000;
// How long a read waits for another program to let go of the list.
constexpr DWORD kReadWaitMs = 2500;

bool IsFolder(const char* path) {
    MARK; DWORD attributes = GetFileAttributesA(path);
    MARK; return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Why a step of a change failed, from its error.
StoreResult FailureOf(DWORD error) {
    MARK; if (!StorePathInTheWay().empty()) return StoreResult::kInTheWay;
    MARK; switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: MARK; return StoreResult::kInUse;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT: MARK; return StoreResult::kWriteProtected;
        default: MARK; return StoreResult::kFailed;
    }
}

// A change of the list: under the lock, one read, the new list made from the
// old one (`change` gives the new text, or why there is none), and put in
// place; `placed` runs the moment it is (the shortcut follows the line at
// once). `creates`: a missing list (and folder) is an empty one, else it
// holds no project to change.
template <class Change>
StoreResult ChangeList(Change change, const std::function<void()>& placed = nullptr, bool creates = false) {
    MARK; if (creates) CreateDirectoryA(kDataFolder, nullptr);
    MARK; UniqueFile lock = TakeFileLock(kProjectLock, kLockWaitMs);
    MARK; if (!lock) {
        // Without the folder Data there is no list, nor any project.
        MARK; DWORD error = GetLastError();
        MARK; if (!creates && error == ERROR_PATH_NOT_FOUND && StorePathInTheWay().empty())
            return StoreResult::kNotFound;
        MARK; return FailureOf(error);
    }
    MARK; FileBytes file;
    MARK; std::optional<std::string_view> old;
    MARK; switch (ReadProjectList(file)) {
        case ListRead::kRead: MARK; old = file.Text(); break;
        case ListRead::kNoList: MARK; if (!creates) return StoreResult::kNotFound; break;
        case ListRead::kInUse: MARK; return StoreResult::kInUse;
        case ListRead::kFailed: MARK; return FailureOf(GetLastError());
    }
    MARK; ChangedFile changed = change(old.value_or(std::string_view{}));
    MARK; if (changed.result == LineChange::kNotFound) return StoreResult::kNotFound;
    MARK; if (changed.result == LineChange::kNameTaken) return StoreResult::kNameTaken;
    MARK; if (!ReplaceWhole(kProjectFile, changed.text, old, placed)) return FailureOf(GetLastError());
    MARK; return StoreResult::kDone;
}

}  // namespace

ListRead ReadProjectList(FileBytes& out) {
    MARK; if (ReadSharedFile(kProjectFile, out, kReadWaitMs)) return ListRead::kRead;
    MARK; switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: MARK; return ListRead::kNoList;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: MARK; return ListRead::kInUse;
        default: MARK; return ListRead::kFailed;
    }
}

std::vector<std::string> ProjectNames() {
    MARK; std::vector<std::string> names;
    MARK; FileBytes file;
    MARK; if (ReadProjectList(file) != ListRead::kRead) return names;
    MARK; for (const StoreLine& line : SplitStoreLines(file.Text())) names.emplace_back(ProjectNameOf(line.text));
    MARK; return names;
}

StoreResult ProjectFiles(const std::string& name, std::vector<std::string>& paths) {
    MARK; FileBytes file;
    MARK; switch (ReadProjectList(file)) {
        case ListRead::kRead: MARK; break;
        case ListRead::kNoList: MARK; return StoreResult::kNotFound;
        case ListRead::kInUse: MARK; return StoreResult::kInUse;
        case ListRead::kFailed: MARK; return FailureOf(GetLastError());
    }
    MARK; std::optional<std::string_view> line = FindProjectLine(file.Text(), name);
    MARK; if (!line) return StoreResult::kNotFound;
    MARK; paths = ProjectFilePaths(*line);
    MARK; return StoreResult::kDone;
}

std::string StorePathInTheWay() {
    MARK; if (IsFile(kDataFolder)) return kDataFolder;
    MARK; const std::string list = kProjectFile, backup = kProjectBackup;
    MARK; for (const std::string& path : {std::string(kProjectLock), list, list + ".new", backup, backup + ".new"}) {
        MARK; if (IsFolder(path.c_str())) return path;
    }
    MARK; return {};
}

void MakeProjectFolders() {
    MARK; CreateDirectoryA(kDataFolder, nullptr);
    MARK; CreateDirectoryA(kShortcutFolder, nullptr);
}

ProjectChange AddProject(const std::string& name, const std::string& editorPath,
                         const std::vector<std::string>& paths) {
    MARK; if (!IsStorableName(name)) return {StoreResult::kUnstorableName};
    MARK; StagedShortcut shortcut(name);
    MARK; ProjectChange made{StoreResult::kDone};
    MARK; made.list = ChangeList(
        [&](std::string_view file) {
            MARK; if (FindProjectLine(file, name)) return ChangedFile{LineChange::kNameTaken, {}};
            MARK; std::string line = MakeProjectLine(name, editorPath, paths);
            MARK; return ChangedFile{LineChange::kDone, AppendProjectToText(file, line)};
        },
        [&] { made.shortcut = shortcut.Place(); }, true);
    MARK; return made;
}

StoreResult RemoveProject(const std::string& name) {
    MARK; StoreResult result = ChangeList(
        [&](std::string_view file) {
            MARK; std::optional<std::string> kept = RemoveProjectFromText(file, name);
            MARK; if (!kept) return ChangedFile{LineChange::kNotFound, {}};
            MARK; return ChangedFile{LineChange::kDone, std::move(*kept)};
        },
        [&] { DeleteProjectShortcut(name); });
    // No line left: a leftover shortcut of that name goes too.
    MARK; if (result == StoreResult::kNotFound) DeleteProjectShortcut(name);
    MARK; return result;
}

ProjectChange RenameProject(const std::string& name, const std::string& newName) {
    MARK; if (!IsStorableName(newName)) return {StoreResult::kUnstorableName};
    MARK; StagedShortcut shortcut(newName);
    MARK; ProjectChange made{StoreResult::kDone};
    // The old shortcut goes first: a new name that differs only in letter
    // case names the same file.
    MARK; made.list = ChangeList([&](std::string_view file) { MARK; return RenameProjectInText(file, name, newName); },
                                 [&] {
                                     DeleteProjectShortcut(name);
                                     made.shortcut = shortcut.Place();
                                 });
    MARK; return made;
}

StoreResult ReplaceProjectFiles(const std::string& name, const std::vector<std::string>& paths) {
    MARK; return ChangeList([&](std::string_view file) {
        MARK; return ReplaceProjectFilesInText(file, name, paths);
    });
}

StoreResult MoveProjectFiles(const std::vector<std::string>& names,
                             const std::vector<std::pair<std::string, std::string>>& moves) {
    MARK; return ChangeList([&](std::string_view file) {
        MARK; return MovePathsInText(file, names, moves);
    });
}

StoreResult ChangeProjectEditor(const std::string& name, const std::string& editor, bool alike) {
    MARK; return ChangeList([&](std::string_view file) {
        MARK; return ReplaceEditorInText(file, name, editor, alike);
    });
}

