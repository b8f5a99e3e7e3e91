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

std::string Arguments(const std::string& name) {
    MARK; return "\"" + name + "\"";
}

}  // namespace

ShortcutResult CreateProjectShortcut(const std::string& name) {
    // Only a name that is one plain file name may become the shortcut's file
    // name: "..\x" or "a/b" would put it outside "Projects" or nowhere.
    MARK; if (!IsSingleFileName(name)) return ShortcutResult::kNoneForName;
    MARK; CreateDirectoryA(kShortcutFolder, nullptr);
    MARK; const std::string program = ProgramPath();
    MARK; return CreateShellLink(program, ShortcutPathFor(name), Arguments(name), kDescription,
                                 std::string(FolderOf(program)), SW_HIDE, 0, kIconFile, kIconIndex)
                     ? ShortcutResult::kWritten
                     : ShortcutResult::kFailed;
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
    // Written whole beside it and put in its place, so the shortcut is the
    // old one or the new one, never a part.
    MARK; std::string bytes;
    MARK; return ShellLinkBytes(program, Arguments(name), kDescription, folder, SW_HIDE, 0, kIconFile, kIconIndex,
                                bytes) &&
                 ReplaceWhole(path.c_str(), bytes);
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
