// The editor: the one registered by its installer, read when a project is
// created and when a project made without the editor starts; the one the
// user chose instead, remembered beside the program; and those of the
// projects' lines.
#include <windows.h>

#include "crashtrap/core/marker.h"
#include "projects/core/create_text.h"
#include "projects/core/folders.h"
#include "projects/core/start_text.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/core/pref_text.h"
#include "support/core/text.h"
#include "support/files.h"
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

namespace {

constexpr char kEditorGroup[] = "Editor";
constexpr char kEditorKey[] = "Path";

std::string RememberedEditor() {
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kSettingsFile, file)) return {};
    MARK; const std::string_view text = PrefReadableText(file.Text());
    MARK; std::string path = PrefFindText(text, PrefFindGroup(text, kEditorGroup), kEditorKey).value_or("");
    MARK; return IsQuotable(path) ? path : std::string();
}

}  // namespace

std::string RegisteredEditorPath() {
    MARK; std::string path(EditorPathFromCommand(ReadEditorCommand()));
    // A path that cannot stand between quotes in the batch line (a variable
    // may expand to control characters) is no usable value.
    MARK; if (!path.empty() && IsQuotable(path)) return path;
    MARK; return RememberedEditor();
}

bool RememberEditor(const std::string& path) {
    MARK; FileBytes file;
    MARK; std::string_view text;
    MARK; if (ReadWholeFile(kSettingsFile, file)) text = file.Text();
    MARK; return ReplaceWhole(kSettingsFile, PrefWithKey(text, kEditorGroup, kEditorKey, path));
}

std::string ProjectEditor(const std::string& name) {
    MARK; FileBytes file;
    MARK; if (ReadProjectList(file) != ListRead::kRead) return {};
    MARK; std::optional<std::string_view> line = FindProjectLine(file.Text(), name);
    MARK; return line ? EditorOfLine(*line) : std::string();
}

std::vector<std::string> ProjectsWithEditor(const std::string& editor, const std::string& name) {
    MARK; std::vector<std::string> names;
    MARK; FileBytes file;
    MARK; if (ReadProjectList(file) != ListRead::kRead) return names;
    MARK; for (const StoreLine& line : SplitStoreLines(file.Text())) {
        MARK; std::string_view owner = ProjectNameOf(line.text);
        MARK; if (!owner.empty() && !SameName(owner, name) && EqualAsciiNoCase(EditorOfLine(line.text), editor))
            names.emplace_back(owner);
    }
    MARK; return names;
}
