// The message about a project's files that cannot be found before a start.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// How many of the missing files the message names one by one.
inline constexpr size_t kMissingFilesNamed = 10;

// `intro`, a blank line, the first ten paths of `missing` one per line, then
// `more` with "%count%" replaced by how many more there are (when there are),
// a blank line and `closing`. Lines end in CR LF.
std::string MissingFilesMessage(std::string_view intro, const std::vector<std::string>& missing,
                                std::string_view more, std::string_view closing);
