// Project management: the project list file Data\Projects.twp and the
// operations on it.
#pragma once
#include <string>
#include <vector>

inline constexpr const char* kProjectFile = "Data\\Projects.twp";
inline constexpr const char* kBatchFile = "Data\\tmp.bat";

// Store
bool ProjectExists(const std::string& name);
void RefreshProjectList();  // appends one row per line to the project list (gadget 2)
bool AppendProjectLine(const std::string& name, const std::string& editorPath,
                       const std::vector<std::string>& paths);
bool RemoveProjectLines(const std::string& name);

// Operations
// The information box of the project operations: title "Info", Ok.
void InfoMessage(const std::string& text);
void CreateProject();
void CreateProjectShortcut(const std::string& name);
int CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& arguments,
                    const std::string& description, const std::string& workingDirectory, int showCommand,
                    int hotKey, const std::string& iconFile, int iconIndex);
std::string StartProject(const std::string& name);
void StartSelectedProject();
bool DeleteSelectedProject();
