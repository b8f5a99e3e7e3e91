// Finding the files of a project whose folder was moved or whose drive
// letter changed: the user names the folder they are in now.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A place a missing file may have moved to.
struct Candidate {
    std::string path;  // the file below the chosen folder
    std::string from;  // the folder of the old path the chosen one stands for, with its backslash
};

// Where the file `missing` may be now that it is below the folder `chosen`:
// its path with each of its leading folders in turn replaced by `chosen`,
// the longest rest first. For D:\old\game\src\main.pb and E:\work\game:
// E:\work\game\old\game\src\main.pb (from D:\), E:\work\game\game\src\main.pb
// (from D:\old\), E:\work\game\src\main.pb (from D:\old\game\),
// E:\work\game\main.pb (from D:\old\game\src\).
std::vector<Candidate> LocateCandidates(std::string_view missing, std::string_view chosen);

// `path` moved with its folder `from` (with its backslash, ASCII case
// ignored) to `to`; nullopt when it is not below `from`.
std::optional<std::string> MovedPath(std::string_view path, std::string_view from, std::string_view to);
