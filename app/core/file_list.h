// The rows of the file list (the file collection): the file's name, 100
// spaces that push the rest out of sight (the list never scrolls sideways),
// then its full path.
#pragma once
#include <string>
#include <string_view>

// The row of the file at `path`; empty when the path names no file (it ends
// in a backslash or is empty).
std::string FileListRow(std::string_view path);

// Whether the file at `path` is one the collection takes: its name ends in
// ".pb" or ".pbi", ASCII case ignored (the folder tree's patterns).
bool IsSourceFileName(std::string_view path);

// The path in a row: the text after the first run of 100 spaces, trimmed of
// spaces; a row without that run is taken whole, trimmed.
std::string_view FileListRowPath(std::string_view row);
