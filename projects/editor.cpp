// The editor's registered open command, read when a project is created and
// when a project made without the editor starts.
#include <windows.h>

#include "crashtrap/core/marker.h"
#include "projects/core/create_text.h"
#include "projects/core/start_text.h"
#include "projects/projects.h"
#include "support/shell.h"
#include "support/unique.h"

namespace {

// The default value of the editor's open command; empty when the key or
// value is missing or does not fit the 255 bytes the format allows.
std::string ReadEditorCommand() {
    MARK; HKEY raw = nullptr;
    MARK; if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "Applications\\PureBasic.exe\\shell\\open\\command\\", 0, KEY_READ,
                            &raw) != ERROR_SUCCESS)
        return {};
    MARK; UniqueKey key(raw);
    MARK; char buffer[255] = {};
    MARK; DWORD size = sizeof buffer;
    MARK; DWORD type = REG_NONE;
    MARK; if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
              ERROR_SUCCESS)
        return {};
    // The stored length counts the terminating zero; a value stored without
    // one is taken whole.
    MARK; size_t length = 0;
    MARK; while (length < size && length < sizeof buffer && buffer[length] != '\0') ++length;
    MARK; std::string command(buffer, length);
    // An installer may store "%ProgramFiles%\..." for the system to expand;
    // taken as it is, it would name no program.
    MARK; return type == REG_EXPAND_SZ ? ExpandVariables(command) : command;
}

}  // namespace

std::string RegisteredEditorPath() {
    MARK; std::string path(EditorPathFromCommand(ReadEditorCommand()));
    // A path that cannot stand between quotes in the batch line (a variable
    // may expand to control characters) is no usable value.
    MARK; return IsQuotable(path) ? path : std::string();
}
