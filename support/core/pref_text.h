// The preference file format over bytes in memory: a lenient reader (groups in
// square brackets, "key = value" lines, ";" comments) and the exact writer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A reader's position in the text: the start of a group's first line.
inline constexpr size_t kNoGroup = std::string_view::npos;

// The part of a file's bytes the reader sees: a zero byte ends the text; a
// UTF-8 byte-order mark at the start is skipped.
std::string_view PrefReadableText(std::string_view bytes);

// Where the lines of the first group named `group` (ASCII case ignored) begin:
// the line after its header, possibly the end of the text. kNoGroup if no
// header names it. The search always starts at the top of the text.
size_t PrefFindGroup(std::string_view text, std::string_view group);

// The number under `key` (ASCII case ignored) in the lines from `cursor` up to
// the next group header; `defaultValue` when the key is empty, the cursor is
// kNoGroup or no line names the key. The first matching line wins.
int32_t PrefFindNumber(std::string_view text, size_t cursor, std::string_view key, int32_t defaultValue);

// The text under `key`, as PrefFindNumber finds it (to the end of its line,
// a CR before the line's LF left out); nullopt when no line names the key.
std::optional<std::string> PrefFindText(std::string_view text, size_t cursor, std::string_view key);

// The file's text with `key` set to `value` in `group`: its line replaced
// when the group has one, else added as the group's last line, the group
// added at the end when there is none. Every other byte stays.
std::string PrefWithKey(std::string_view text, std::string_view group, std::string_view key, std::string_view value);

// The lines as written: "[group]\r\n" and "key = value\r\n".
std::string PrefGroupLine(std::string_view group);
std::string PrefKeyLine(std::string_view key, std::string_view value);
// Signed decimal, no leading zeros, spaces or plus sign.
std::string PrefNumberText(int32_t value);
