// The projects: the project list file Data\Projects.twp, the shortcut of each
// project and starting a project by its name.
#pragma once
#include <optional>
#include <string>
#include <utility>
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
// kept as its backup); the project's shortcut follows, written whole in a
// moment, only a change that was made.
enum class ShortcutResult {
    kWritten,
    kNoneForName,  // a name that is not one plain file name has none
    kFailed,       // it could not be written
};
struct ProjectChange {
    StoreResult list;
    ShortcutResult shortcut = ShortcutResult::kNoneForName;  // the new one, when one was to be written
};
// Appends the project's line, then writes its shortcut.
ProjectChange AddProject(const std::string& name, const std::string& editorPath,
                         const std::vector<std::string>& paths);
// Removes every line of the project, then its shortcut (also when no line
// was left: a leftover shortcut of that name goes too).
StoreResult RemoveProject(const std::string& name);
// Renames the project's line, then its shortcut.
ProjectChange RenameProject(const std::string& name, const std::string& newName);
StoreResult ReplaceProjectFiles(const std::string& name, const std::vector<std::string>& paths);
// Moves paths of the named projects' lines: each path that is the first of
// a pair of `moves` becomes its second (Locate).
StoreResult MoveProjectFiles(const std::vector<std::string>& names,
                             const std::vector<std::pair<std::string, std::string>>& moves);
// The project's editor replaced; with `alike`, also that of every project
// whose editor was the same path.
StoreResult ChangeProjectEditor(const std::string& name, const std::string& editor, bool alike);
// The paths of the project's files, in their order (kDone), or why not.
StoreResult ProjectFiles(const std::string& name, std::vector<std::string>& paths);
// Makes the folders Data and Projects beside the program when they are not there.
void MakeProjectFolders();

// Shortcuts (shortcut.cpp).
ShortcutResult CreateProjectShortcut(const std::string& name);
// A project's shortcut written (and flushed) beside its place, put there in
// one step by Place once the project's line is: a change killed halfway then
// leaves line and shortcut apart for no longer than a rename takes. Gone
// with this object when it was not placed.
class StagedShortcut {
public:
    explicit StagedShortcut(const std::string& name);
    ~StagedShortcut();
    StagedShortcut(const StagedShortcut&) = delete;
    StagedShortcut& operator=(const StagedShortcut&) = delete;
    ShortcutResult Place();

private:
    std::string temp_, path_;
    ShortcutResult result_;
};
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

// The editor's path in its registered open command (editor.cpp), after the
// variables of a REG_EXPAND_SZ value are expanded (EditorPathFromCommand);
// when the key or value is missing or longer than 254 bytes, or the path
// holds a control character: the editor the user chose instead
// (RememberEditor), or empty.
std::string RegisteredEditorPath();
// Remembers the editor the user chose beside the program (Language.ini,
// group "Editor", key "Path", which older copies pass over); false when it
// cannot be written.
bool RememberEditor(const std::string& path);
// The names of the projects, other than `name`, whose editor is `editor`
// (ASCII case ignored).
std::vector<std::string> ProjectsWithEditor(const std::string& editor, const std::string& name);
// The editor of the project's line, without quotes; empty when there is
// none or the list cannot be read.
std::string ProjectEditor(const std::string& name);

// Locate (locate.cpp): the files of a project whose folder moved.
struct Relocation {
    std::vector<std::pair<std::string, std::string>> moves;  // old path, new path
    std::vector<std::string> from;                           // the old folders the chosen one stands for
};
// Where the `missing` files are below `chosen`, each by its longest path
// below one of its folders that names a file there; those not found are left
// out.
Relocation FindMovedFiles(const std::vector<std::string>& missing, const std::string& chosen);
// The other projects (not `name`) with files that are gone from one of the
// `from` folders and are there below `chosen`, and those files' moves.
struct OtherMoves {
    std::vector<std::string> names;
    std::vector<std::pair<std::string, std::string>> moves;
};
OtherMoves FindOtherMovedFiles(const std::string& name, const std::vector<std::string>& from,
                               const std::string& chosen);

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
    kLocate,          // files cannot be found, and the user will look for them: StartOutcome::missing
    kNotPrepared,     // no batch file could be written
};
struct StartOutcome {
    StartResult result;
    std::string editor = {};                // the editor's path, variables expanded (kEditorMissing)
    std::vector<std::string> missing = {};  // the files that cannot be found (kLocate)
};
// Asked when some of the project `name`'s files cannot be found (all of its
// `fileCount` files when they are as many as `missing`): whether to open the
// others, look for the missing ones, or start nothing.
enum class MissingAnswer { kOpenOthers, kLocate, kCancel };
using MissingFilesQuestion = MissingAnswer (*)(const std::string& name, const std::vector<std::string>& missing,
                                               size_t fileCount);
StartOutcome StartProject(const std::string& name, MissingFilesQuestion askMissing);
