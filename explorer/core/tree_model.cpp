#include "explorer/core/tree_model.h"

std::string DriveRoot(unsigned drive) {
    std::string root = "A:\\";
    root[0] = char('A' + drive);
    return root;
}

std::string FullPath(const std::vector<PathStep>& steps, std::string_view documentsPath) {
    std::string path;
    for (const PathStep& step : steps) {
        const uint8_t kind = tag::Kind(step.tag);
        if (kind == tag::kFile)
            path = step.text;
        else if (kind == tag::kFolder)
            path = step.text + "\\" + path;
        else if (kind == tag::kDocuments)
            path = std::string(documentsPath) + path;
        else if (tag::IsDrive(step.tag))
            path = DriveRoot(kind) + path;
    }
    return path;
}

std::vector<std::string> SplitPatterns(std::string_view list) {
    std::vector<std::string> patterns;
    while (!list.empty()) {
        size_t end = list.find(';');
        std::string_view one = list.substr(0, end);
        if (one.empty()) break;
        patterns.emplace_back(one);
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return patterns;
}

namespace {
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
}  // namespace

bool SurelyMatches(std::string_view name, std::string_view pattern) {
    if (!IsAscii(name) || !IsAscii(pattern)) return false;
    // Plain wildcard matching, stricter than the platform's (which also lets
    // '?' match nothing before a dot or at the end, and matches short names):
    // whatever it accepts, the platform's search finds too.
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || AsciiUpper(pattern[p]) == AsciiUpper(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::optional<std::string> FileTypeKey(std::string_view path) {
    size_t dot = path.rfind('.');
    std::string_view extension = dot == std::string_view::npos ? path : path.substr(dot + 1);
    if (extension.size() > 4) return std::nullopt;
    std::string key(extension);
    for (char& c : key) c = AsciiUpper(c);
    if (key == "EXE") return std::nullopt;
    return key;
}

std::string InsertDriveLetter(std::string_view message, unsigned drive) {
    std::string text(message);
    size_t at = text.find("%c");
    if (at != std::string::npos) text.replace(at, 2, 1, char('A' + drive));
    return text;
}
