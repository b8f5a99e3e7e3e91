// The projects: the project list file Data\Projects.twp, the shortcut of each
// project and starting a project by its name.
#pragma once
#include <optional>
#include <string>
#include <vector>

class FileBytes;

// Reading the list (store.cpp). Another program holding it for a moment (a
// sync client, a virus scanner, another copy of the program) is waited out
// for a moment, the window answering meanwhile.
enum class ListRead {
    kRead,
    kNoList,  // there is none (no project was ever made)
    kInUse,   // another program holds it and did not let go
    kFailed,  // it is there but cannot be read
};
ListRead ReadProjectList(FileBytes& out);
// The names of the projects in the list, in its order; none when it cannot
// be read.
std::vector<std::string> ProjectNames();

// What a change of the list came to. Nothing changed unless kDone.
enum class StoreResult {
    kDone,
    kNotFound,        // no line has the name (or there is no list)
    kNameTaken,       // another project has the (new) name, found under the lock
    kUnstorableName,  // the list cannot hold the name (IsStorableName)
    kInUse,           // another program holds the list, or another copy its lock
    kWriteProtected,  // the list or its folder cannot be written
    kInTheWay,        // something else holds one of the store's names (StorePathInTheWay)
    kFailed,          // any other failure (a full disk)
};
// The first of the store's names that something of the wrong kind holds: a
// file named "Data", or a folder where the list, its lock, its backup or one
// of their temporary files belongs; empty when there is none.
std::string StorePathInTheWay();

// Changes of a project, each under the lock that every copy of the program
// takes: the list read, changed and put in place whole (the list before it
// kept as its backup); the project's shortcut follows only a change that was
// made.
enum class ShortcutResult {
    kWritten,
    kNoneForName,  // a name that is not one plain file name has none
    kFailed,       // it could not be written
};
struct ProjectChange {
    StoreResult list;
    ShortcutResult shortcut = ShortcutResult::kNoneForName;  // the new one, when one was to be written
};
// Appends the project's line; its shortcut is written first (under the lock,
// once the name is known to be free) and taken away again when the line
// cannot be stored.
ProjectChange AddProject(const std::string& name, const std::string& editorPath,
                         const std::vector<std::string>& paths);
// Removes every line of the project, then its shortcut (also when no line
// was left: a leftover shortcut of that name goes too).
StoreResult RemoveProject(const std::string& name);
// Renames the project's line, then its shortcut.
ProjectChange RenameProject(const std::string& name, const std::string& newName);
StoreResult ReplaceProjectFiles(const std::string& name, const std::vector<std::string>& paths);
// The paths of the project's files, in their order (kDone), or why not.
StoreResult ProjectFiles(const std::string& name, std::vector<std::string>& paths);
// Makes the folders Data and Projects beside the program when they are not there.
void MakeProjectFolders();

// Shortcuts (shortcut.cpp).
ShortcutResult CreateProjectShortcut(const std::string& name);
// Deletes the project's shortcut; a name that is not one plain file name
// never had one.
void DeleteProjectShortcut(const std::string& name);
// Writes the project's shortcut again when it is there but starts another
// program or in another folder than this one's (the program's folder was
// moved or renamed); true when it did. Any other shortcut stays as it is.
bool RefreshProjectShortcut(const std::string& name);
// The folder of the shortcuts, "Projects" beside the program: whether it
// exists, and opening it in the shell.
bool ShortcutFolderExists();
void OpenShortcutFolder();

// The editor's path in its registered open command (editor.cpp): from the
// command's second character up to the next double quote, after the
// variables of a REG_EXPAND_SZ value are expanded; empty when the key or
// value is missing or longer than 254 bytes, or the path holds a control
// character.
std::string RegisteredEditorPath();

// Starting (start.cpp).
enum class StartResult {
    kStarted,
    kNoName,          // the name is empty
    kNoProjectFile,   // the project file cannot be read
    kListInUse,       // another program holds the project file
    kNotFound,        // no line of that name
    kInvalidLine,     // the project's line is not an editor and quoted paths
    kNoEditor,        // made without the editor, and none is registered now
    kEditorMissing,   // no editor (a file) at its path: StartOutcome::editor
    kUnreadablePath,  // a path the command interpreter cannot be given
    kMissingFiles,    // files cannot be found, and the user had nothing started
    kNotPrepared,     // no batch file could be written
};
struct StartOutcome {
    StartResult result;
    std::string editor;  // the editor's path, variables expanded (kEditorMissing)
};
// Asked when some of the project `name`'s files cannot be found: whether to
// open the others (true: yes). When none of its `fileCount` files is there,
// it tells the user so and returns false.
using OpenOthersQuestion = bool (*)(const std::string& name, const std::vector<std::string>& missing,
                                   size_t fileCount);
StartOutcome StartProject(const std::string& name, OpenOthersQuestion openOthers);
