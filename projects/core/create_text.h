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

// The editor's path inside its registered open command: for a command that
// starts with a double quote, the text up to the next one (empty when there
// is none); for a bare one, as installers and hand repairs also write it,
// the text up to and including the first ".exe" that ends a word, else up
// to the first space or quote. For "\"C:\\Ed\\ed.exe\" \"%1\"" and "C:\\Ed\\ed.exe \"%1\"" it
// is C:\Ed\ed.exe.
std::string_view EditorPathFromCommand(std::string_view command);
