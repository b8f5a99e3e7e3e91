// The projects: the project list file Data\Projects.twp, the shortcut of each
// project and starting a project by its name.
#pragma once
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kProjectFile = "Data\\Projects.twp";

// Store
bool ProjectExists(const std::string& name);
bool AppendProjectLine(const std::string& name, const std::string& editorPath,
                       const std::vector<std::string>& paths);
bool RemoveProjectLines(const std::string& name);
// The paths of the project's files, in their order; none when no line has
// the name or the file cannot be read.
std::optional<std::vector<std::string>> ProjectFiles(const std::string& name);
// Changes of one project's line; the file is replaced in one step.
enum class StoreChange {
    kDone,
    kNotFound,     // no line has the name (or the file cannot be read)
    kNameTaken,    // another project has the new name
    kWriteFailed,  // the file stays as it was
};
StoreChange RenameProject(const std::string& name, const std::string& newName);
StoreChange ReplaceProjectFiles(const std::string& name, const std::vector<std::string>& paths);

// Shortcuts
void CreateProjectShortcut(const std::string& name);
// Deletes the project's shortcut; a name that is not one plain file name
// never had one.
void DeleteProjectShortcut(const std::string& name);
bool CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& arguments,
                     const std::string& description, const std::string& workingDirectory, int showCommand,
                     int hotKey, const std::string& iconFile, int iconIndex);

// Starting (start.cpp).
enum class StartResult {
    kStarted,
    kNoName,         // the name is empty
    kNoProjectFile,  // the project file cannot be read
    kNotFound,       // no line of that name whose batch file could be written
};
StartResult StartProject(const std::string& name);
