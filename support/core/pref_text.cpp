#include "support/core/pref_text.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "support/core/text.h"

namespace {

constexpr char kComment = ';';

// Calls `visit(line)` for each line from `pos` on until it returns true.
// A line ends at LF; a CR right after the LF belongs to no line (LF CR
// endings), a CR before it stays at the end of the line's text.
template <class Visit>
void ForEachLine(std::string_view text, size_t pos, Visit visit) {
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        if (visit(text.substr(pos, end - pos), end)) return;
        pos = end + 1;
        if (pos < text.size() && text[pos] == '\r') ++pos;
    }
}

std::string_view HeaderName(std::string_view line) {
    std::string_view name = line.substr(1);
    return name.substr(0, name.find(']'));
}

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Conversion as the C runtime's atoi does it, but bounded by the line: an
// empty value never borrows the number on the next line. Out-of-range values
// saturate instead of wrapping.
int32_t LeadingNumber(std::string_view value) {
    size_t i = 0;
    while (i < value.size() && IsCSpace(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
    int64_t n = 0;
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        if (n < kLimit) n = n * 10 + (value[i] - '0');
    if (negative) return n >= kLimit ? std::numeric_limits<int32_t>::min() : int32_t(-n);
    return n >= kLimit ? std::numeric_limits<int32_t>::max() : int32_t(n);
}

}  // namespace

std::string_view PrefReadableText(std::string_view bytes) {
    // Notepad's "UTF-8 with BOM" puts a byte-order mark before the first
    // group, which would otherwise hide it.
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return bytes.substr(0, bytes.find('\0'));
}

size_t PrefFindGroup(std::string_view text, std::string_view group) {
    size_t found = kNoGroup;
    ForEachLine(text, 0, [&](std::string_view line, size_t end) {
        if (line.empty() || line[0] != '[' || !EqualAsciiNoCase(HeaderName(line), group)) return false;
        found = end + 1;
        if (found < text.size() && text[found] == '\r') ++found;
        if (found > text.size()) found = text.size();
        return true;
    });
    return found;
}

namespace {

// The line of `key` in the group's lines from `cursor` on, up to the next
// group header; the first match wins.
std::optional<std::string_view> FindKeyLine(std::string_view text, size_t cursor, std::string_view key,
                                            std::string_view* value = nullptr) {
    if (cursor == kNoGroup || cursor > text.size() || key.empty()) return std::nullopt;
    std::optional<std::string_view> found;
    ForEachLine(text, cursor, [&](std::string_view line, size_t) {
        if (!line.empty() && line[0] == '[') return true;  // the next group begins
        size_t begin = line.find_first_not_of(' ');
        if (begin == std::string_view::npos || line[begin] == kComment) return false;
        size_t equals = line.find('=', begin);
        if (equals == std::string_view::npos) return false;
        std::string_view lineKey = line.substr(begin, equals - begin);
        lineKey = lineKey.substr(0, lineKey.find_last_not_of(' ') + 1);
        if (!EqualAsciiNoCase(lineKey, key)) return false;
        found = line;
        if (value) {
            *value = line.substr(equals + 1);
            value->remove_prefix(std::min(value->size(), value->find_first_not_of(' ')));
        }
        return true;
    });
    return found;
}

}  // namespace

int32_t PrefFindNumber(std::string_view text, size_t cursor, std::string_view key, int32_t defaultValue) {
    std::string_view value;
    return FindKeyLine(text, cursor, key, &value) ? LeadingNumber(value) : defaultValue;
}

std::optional<std::string> PrefFindText(std::string_view text, size_t cursor, std::string_view key) {
    std::string_view value;
    if (!FindKeyLine(text, cursor, key, &value)) return std::nullopt;
    if (value.ends_with('\r')) value.remove_suffix(1);
    return std::string(value);
}

std::string PrefWithKey(std::string_view text, std::string_view group, std::string_view key, std::string_view value) {
    const std::string line = PrefKeyLine(key, value);
    const size_t cursor = PrefFindGroup(text, group);
    std::string out(text);
    auto lineEnded = [&](size_t at) { return at == 0 || out[at - 1] == '\n' || out[at - 1] == '\r'; };
    if (cursor == kNoGroup) {
        if (!lineEnded(out.size())) out += "\r\n";
        return out + PrefGroupLine(group) + line;
    }
    if (std::optional<std::string_view> old = FindKeyLine(text, cursor, key)) {
        // The old line without its end (a CR before the LF is part of it).
        const size_t at = size_t(old->data() - text.data());
        return out.replace(at, old->size(), line.substr(0, line.size() - 2) + (old->ends_with('\r') ? "\r" : ""));
    }
    // After the group's last line: before the next header, or at the end.
    size_t at = text.size();
    ForEachLine(text, cursor, [&](std::string_view l, size_t) {
        if (l.empty() || l[0] != '[') return false;
        at = size_t(l.data() - text.data());
        return true;
    });
    if (!lineEnded(at)) return out.insert(at, "\r\n" + line);
    return out.insert(at, line);
}

std::string PrefGroupLine(std::string_view group) {
    std::string line = "[";
    line += group;
    line += "]\r\n";
    return line;
}

std::string PrefKeyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += " = ";
    line += value;
    line += "\r\n";
    return line;
}

std::string PrefNumberText(int32_t value) {
    // Built by hand: the magnitude of INT32_MIN does not fit a negated int32_t.
    uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    char digits[12];
    size_t n = 0;
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::string out = value < 0 ? "-" : "";
    while (n > 0) out += digits[--n];
    return out;
}
