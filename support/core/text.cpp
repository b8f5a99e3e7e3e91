#include "support/core/text.h"

namespace {
unsigned char LowerByte(unsigned char c) {
    if ((c >= 65 && c <= 90) || (c >= 192 && c <= 223)) return c + 32;
    return c;
}
unsigned char LowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

std::string LowerName(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = char(LowerByte((unsigned char)c));
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerByte((unsigned char)a[i]) != LowerByte((unsigned char)b[i])) return false;
    return true;
}

int CompareNames(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (int order = LowerByte((unsigned char)a[i]) - LowerByte((unsigned char)b[i])) return order;
    return a.size() < b.size() ? -1 : a.size() > b.size();
}

bool EqualAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii((unsigned char)a[i]) != LowerAscii((unsigned char)b[i])) return false;
    return true;
}

std::string_view FilePart(std::string_view path) {
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool HoldsReservedByte(std::string_view path) {
    for (char c : path)
        if ((unsigned char)c < 32 || c == 127 || std::string_view("\"*?<>|").find(c) != std::string_view::npos)
            return true;
    return false;
}

std::string_view FolderOf(std::string_view path) {
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
}

std::string InsertQuotedName(std::string_view message, std::string_view name) {
    static constexpr std::string_view kPlaceholder = "%name%";
    std::string out;
    size_t i = 0;
    while (i < message.size()) {
        if (message.size() - i >= kPlaceholder.size() &&
            EqualAsciiNoCase(message.substr(i, kPlaceholder.size()), kPlaceholder)) {
            out += '"';
            out += name;
            out += '"';
            i += kPlaceholder.size();
        } else {
            out += message[i++];
        }
    }
    return out;
}

std::string PathRoot(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2)) + '\\';
    if (!path.starts_with("\\\\")) return {};
    // The server's name and the share's, each ended by a backslash (or the end).
    size_t end = path.find('\\', 2);
    if (end != std::string_view::npos) end = path.find('\\', end + 1);
    std::string root(path.substr(0, end));
    if (!root.ends_with('\\')) root += '\\';
    return root;
}

std::string ReplaceAll(std::string_view text, std::string_view placeholder, std::string_view value) {
    std::string out;
    for (size_t at; !placeholder.empty() && (at = text.find(placeholder)) != std::string_view::npos;) {
        out.append(text.substr(0, at)).append(value);
        text.remove_prefix(at + placeholder.size());
    }
    return out.append(text);
}
