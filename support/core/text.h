// Byte-text helpers shared by the application: texts are Windows-1252 bytes.
#pragma once
#include <string>
#include <string_view>

// Removes spaces (byte 32 only) from both ends.
std::string_view TrimSpaces(std::string_view text);

// The name lower-casing rule: bytes 65-90 and 192-223 get 32 added, every
// other byte stays. Two project names are one project when equal after it.
std::string LowerName(std::string_view text);
bool SameName(std::string_view a, std::string_view b);
// The order of names under that rule, for sorting: negative when `a` comes
// first, 0 for the same name. Bytes compare unsigned; a name comes before
// the longer names it begins.
int CompareNames(std::string_view a, std::string_view b);
// The order of texts by their bytes alone, compared unsigned.
inline int CompareTexts(std::string_view a, std::string_view b) { return a.compare(b); }

// Equality ignoring the case of the ASCII letters A-Z only.
bool EqualAsciiNoCase(std::string_view a, std::string_view b);

// The text after the last backslash, or the whole text without one.
std::string_view FilePart(std::string_view path);

// True when `path` holds a byte that no file name can: one of " * ? < > |
// or a control byte (0-31, 127). The folder tree shows a name that the ANSI
// code page cannot hold exactly with a '?' in it, so such a path names no file.
bool HoldsReservedByte(std::string_view path);

// The folder part of a path: up to and including its last backslash (empty
// when it has none).
std::string_view FolderOf(std::string_view path);

// Replaces every "%name%" (ASCII case ignored) with the name in double quotes.
std::string InsertQuotedName(std::string_view message, std::string_view name);

// The drive or share a path lives on: "C:\" for "C:\src\a.pb" (or "C:x"),
// "\\server\share\" for "\\server\share\src\a.pb"; empty for a relative path.
std::string PathRoot(std::string_view path);

// `text` with every `placeholder` replaced by `value` (which is not searched again).
std::string ReplaceAll(std::string_view text, std::string_view placeholder, std::string_view value);
