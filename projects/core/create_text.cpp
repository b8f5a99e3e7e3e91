#include "projects/core/create_text.h"

#include "crashtrap/core/marker.h"
#include "projects/core/folders.h"
#include "support/core/text.h"

namespace {

// Device names the platform resolves in any folder, whatever the extension.
bool IsDeviceName(std::string_view name) {
    MARK; size_t dot = name.find('.');
    MARK; std::string base = LowerName(TrimSpaces(name.substr(0, dot)));
    MARK; if (base == "con" || base == "prn" || base == "aux" || base == "nul" || base == "conin$" ||
              base == "conout$")
        return true;
    // The platform reads the superscripts 1, 2 and 3 (Windows-1252 0xB9, 0xB2,
    // 0xB3) as digits here too.
    MARK; if (base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) &&
              ((base[3] >= '1' && base[3] <= '9') || base[3] == '\xB9' || base[3] == '\xB2' || base[3] == '\xB3'))
        return true;
    MARK; return false;
}

}  // namespace

bool IsSingleFileName(std::string_view name) {
    MARK; if (name.empty() || name == "." || name == "..") return false;
    MARK; for (char c : name) {
        MARK; if ((unsigned char)c < 32 || c == 127) return false;
        MARK; if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
    }
    MARK; return !IsDeviceName(name);
}

std::string ShortcutPathFor(std::string_view name) {
    MARK; std::string path = kShortcutFolder;
    MARK; path += '\\';
    MARK; path += name;
    MARK; path += ".lnk";
    MARK; return path;
}

std::string_view EditorPathFromCommand(std::string_view command) {
    MARK; if (command.starts_with('"')) {
        MARK; size_t quote = command.find('"', 1);
        MARK; return quote == std::string_view::npos ? std::string_view{} : command.substr(1, quote - 1);
    }
    // A quote starts an argument. Before it, ".exe" followed by a space or
    // the argument ends the path, so that "C:\Program Files\..." keeps its
    // spaces; without one the first space does.
    MARK; std::string_view bare = command.substr(0, command.find('"'));
    MARK; for (size_t at = 0; at + 4 <= bare.size(); ++at) {
        MARK; size_t end = at + 4;
        MARK; if (EqualAsciiNoCase(bare.substr(at, 4), ".exe") && (end == bare.size() || bare[end] == ' '))
            return bare.substr(0, end);
    }
    MARK; return bare.substr(0, bare.find(' '));
}
