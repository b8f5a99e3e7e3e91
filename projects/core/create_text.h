// Text rules of creating and deleting projects, apart from any window or file.
#pragma once
#include <string>
#include <string_view>

// The shortcut of a project lives in "Projects" and is named after it. The
// name is used as a file name only when it names exactly one file in that
// folder: not empty, none of \ / : * ? " < > |, no control bytes, not "." or
// "..", and no device name (CON, NUL, COM1, ...) that would send the write to
// a device instead of a file.
bool IsSingleFileName(std::string_view name);

// "Projects\<name>.lnk", relative to the program's folder.
std::string ShortcutPathFor(std::string_view name);

// The editor's path inside its registered open command: from the command's
// second character up to the first double quote at or after it. Empty when
// there is no such quote. For "\"C:\\Ed\\ed.exe\" \"%1\"" it is C:\Ed\ed.exe.
std::string_view EditorPathFromCommand(std::string_view command);
