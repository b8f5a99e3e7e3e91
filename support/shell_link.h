// Shell links (.lnk files), through the shell's link object.
#pragma once
#include <string>

// Writes the shortcut file `linkPath` (a relative path resolves against the
// current directory) with these properties, whole; true when it was written.
bool CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& arguments,
                     const std::string& description, const std::string& workingDirectory, int showCommand,
                     int hotKey, const std::string& iconFile, int iconIndex);

// The bytes of such a shortcut file, made in memory by the shell's link
// object (IPersistStream); false when none can be made.
bool ShellLinkBytes(const std::string& target, const std::string& arguments, const std::string& description,
                    const std::string& workingDirectory, int showCommand, int hotKey, const std::string& iconFile,
                    int iconIndex, std::string& out);

// The target and working folder the shortcut file `linkPath` names; false
// when it cannot be read.
bool ReadShellLink(const std::string& linkPath, std::string& target, std::string& workingDirectory);
