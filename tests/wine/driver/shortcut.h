// Shell shortcuts: read back through the shell link object and from their
// bytes, checked as the program makes them for a project, and opened through
// the shell as a user opens them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace drv {

// The icon every project shortcut carries (index 169 in it).
inline constexpr char kShortcutIconFile[] = "%SystemRoot%\\system32\\SHELL32.dll";

// A shell shortcut's properties, read back through the shell link object.
struct ShortcutInfo {
    bool loaded = false;
    std::string target, arguments, directory, description, iconFile;
    int showCommand = -1, iconIndex = -1;
    WORD hotKey = 0xFFFF;
};
ShortcutInfo ReadShortcut(const std::string& lnkPath);

// The show command as the file stores it: the 32-bit field at 0x3C of the
// 0x4C-byte link header; -1 when the file is shorter. Readers of the link
// report anything but normal, maximised and minimised as normal, so the
// stored value is what tells.
long StoredShowCommand(const std::string& lnkPath);

// Checks the eight properties of the shortcut the program makes for project
// `name` when it runs as `program`.
void ExpectProjectShortcut(const std::string& lnkPath, const std::string& name, const std::string& program);

// Opens a file through the shell ("open" verb), as a double-click in the
// shell or `start` would; false when the shell refuses. Wine gives no process
// handle for a shortcut, so watch for the started program by its file.
bool OpenThroughShell(const std::string& path, const std::string& directory = "");

// Opens a project shortcut through the shell from a fresh folder elsewhere
// and checks the start: a program starts and shows no window, and the
// stand-in `editor` gets the `files` in their order and runs in
// `programFolder`. `running`: a program already running, left out of the watch.
void ExpectShortcutOpensFiles(const std::string& lnkPath, const std::string& editor,
                              const std::vector<std::string>& files, const std::string& programFolder,
                              DWORD running = 0);

}  // namespace drv
