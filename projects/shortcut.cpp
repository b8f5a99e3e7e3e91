// Project shortcuts: a shell link in "Projects" that starts the program with
// the project's name, hidden, from the program's folder.
#include <windows.h>

#include "crashtrap/core/marker.h"
#include "projects/core/create_text.h"
#include "projects/core/folders.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/files.h"
#include "support/program.h"
#include "support/shell.h"
#include "support/shell_link.h"

namespace {

// What every project shortcut holds besides its target, arguments and folder.
constexpr const char* kDescription = "PureBASIC Project";
constexpr const char* kIconFile = "%SystemRoot%\\system32\\SHELL32.dll";
constexpr int kIconIndex = 169;

// The bytes of the project shortcut of `name` for the program `program`.
bool ShortcutBytes(const std::string& name, const std::string& program, std::string& bytes) {
    MARK; return ShellLinkBytes(program, "\"" + name + "\"", kDescription, std::string(FolderOf(program)), SW_HIDE, 0,
                                kIconFile, kIconIndex, bytes);
}

}  // namespace

StagedShortcut::StagedShortcut(const std::string& name) : result_(ShortcutResult::kNoneForName) {
    // Only a name that is one plain file name may become the shortcut's file
    // name: "..\x" or "a/b" would put it outside "Projects" or nowhere.
    MARK; if (!IsSingleFileName(name)) return;
    MARK; CreateDirectoryA(kShortcutFolder, nullptr);
    MARK; path_ = ShortcutPathFor(name);
    // Named by the process: another copy may stage the same name meanwhile.
    MARK; temp_ = path_ + "." + std::to_string(GetCurrentProcessId()) + ".new";
    MARK; std::string bytes;
    MARK; result_ = ShortcutBytes(name, ProgramPath(), bytes) && WriteFlushed(temp_, bytes) ? ShortcutResult::kWritten
                                                                                            : ShortcutResult::kFailed;
    MARK; if (result_ == ShortcutResult::kFailed) temp_.clear();
}

StagedShortcut::~StagedShortcut() {
    MARK; if (!temp_.empty()) DeleteFileA(temp_.c_str());
}

ShortcutResult StagedShortcut::Place() {
    MARK; if (temp_.empty()) return result_;
    MARK; if (!MoveInPlace(temp_, path_)) result_ = ShortcutResult::kFailed;
    MARK; return result_;
}

ShortcutResult CreateProjectShortcut(const std::string& name) {
    MARK; return StagedShortcut(name).Place();
}

bool RefreshProjectShortcut(const std::string& name) {
    MARK; if (!IsSingleFileName(name)) return false;
    MARK; const std::string program = ProgramPath();
    MARK; if (program.empty()) return false;
    MARK; const std::string folder(FolderOf(program));
    MARK; const std::string path = ShortcutPathFor(name);
    // No shortcut (the user deleted it): nothing to follow, and no shell
    // link object to make for it.
    MARK; if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    MARK; std::string target, directory;
    MARK; if (!ReadShellLink(path, target, directory)) return false;
    MARK; if (lstrcmpiA(target.c_str(), program.c_str()) == 0 && lstrcmpiA(directory.c_str(), folder.c_str()) == 0)
        return false;
    MARK; std::string bytes;
    MARK; return ShortcutBytes(name, program, bytes) && ReplaceWhole(path.c_str(), bytes);
}

void DeleteProjectShortcut(const std::string& name) {
    // A name that is not one plain file name never had a shortcut, and must
    // not reach a file outside "Projects".
    MARK; if (IsSingleFileName(name)) DeleteFileA(ShortcutPathFor(name).c_str());
}

bool ShortcutFolderExists() {
    MARK; DWORD attributes = GetFileAttributesA(kShortcutFolder);
    MARK; return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void OpenShortcutFolder() {
    MARK; ShellRun(ProgramFolder() + kShortcutFolder, "", "", 0);
}
