// The projects: the project list file Data\Projects.twp, the shortcut of each
// project and starting a project by its name.
#pragma once
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kProjectFile = "Data\\Projects.twp";
// Every change of the project file holds this lock, in whichever copy of
// the program makes it: a change reads the file and writes it anew, and two
// changes at once would lose one of them.
inline constexpr const char* kProjectLock = "Data\\Projects.lock";

// Store
bool ProjectExists(const std::string& name);
enum class AppendResult {
    kAppended,
    kNameTaken,        // a project of that name exists (found under the lock)
    kUnstorableName,   // the file format cannot hold the name (IsStorableName)
    kFailed,           // the file could not be read or written: it is unchanged
};
AppendResult AppendProjectLine(const std::string& name, const std::string& editorPath,
                               const std::vector<std::string>& paths);
enum class RemoveResult {
    kRemoved,
    kNotFound,  // no line of that name, or no file
    kFailed,    // the file could not be read or written: it is unchanged
};
RemoveResult RemoveProjectLines(const std::string& name);
// The paths of the project's files, in their order; none when no line has
// the name or the file cannot be read.
std::optional<std::vector<std::string>> ProjectFiles(const std::string& name);
// Changes of one project's line, made as appends and removals are.
enum class StoreChange {
    kDone,
    kNotFound,         // no line has the name, or no file
    kNameTaken,        // another project has the new name (found under the lock)
    kUnstorableName,   // the file format cannot hold the new name (IsStorableName)
    kFailed,           // the file could not be read or written: it is unchanged
};
StoreChange RenameProject(const std::string& name, const std::string& newName);
StoreChange ReplaceProjectFiles(const std::string& name, const std::vector<std::string>& paths);
// The names of the projects in the list, in its order; none when it cannot
// be read.
std::vector<std::string> ProjectNames();

// Shortcuts
void CreateProjectShortcut(const std::string& name);
// Deletes the project's shortcut; a name that is not one plain file name
// never had one.
void DeleteProjectShortcut(const std::string& name);
// Writes the project's shortcut again when it is there but starts another
// program or in another folder than this one's (the program's folder was
// moved or renamed); true when it did. Any other shortcut stays as it is.
bool RefreshProjectShortcut(const std::string& name);
bool CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& arguments,
                     const std::string& description, const std::string& workingDirectory, int showCommand,
                     int hotKey, const std::string& iconFile, int iconIndex);

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
