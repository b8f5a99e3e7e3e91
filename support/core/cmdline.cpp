#include "support/core/cmdline.h"

namespace {
// Reads the token starting at or after `pos`; leaves `pos` behind it.
// Returns false when only spaces are left.
bool NextToken(std::string_view line, size_t& pos, std::string_view& token) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size()) return false;
    if (line[pos] == '"') {
        size_t start = pos + 1;
        size_t close = line.find('"', start);
        if (close == std::string_view::npos) {
            token = line.substr(start);
            pos = line.size();
        } else {
            token = line.substr(start, close - start);
            pos = close + 1;
        }
    } else {
        size_t start = pos;
        size_t space = line.find(' ', start);
        if (space == std::string_view::npos) space = line.size();
        token = line.substr(start, space - start);
        pos = space;
    }
    return true;
}
}  // namespace

std::string CommandLineParameter(std::string_view commandLine, int index) {
    if (index < 0) return {};
    size_t pos = 0;
    std::string_view token;
    for (int k = 0; k <= index + 1; ++k)
        if (!NextToken(commandLine, pos, token)) return {};
    return std::string(token);
}
