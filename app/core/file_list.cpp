#include "app/core/file_list.h"

#include "crashtrap/core/marker.h"
#include "support/core/text.h"

namespace {
constexpr std::string_view kGap =
    "                                                  "
    "                                                  ";
static_assert(kGap.size() == 100);
}  // namespace

std::string FileListRow(std::string_view path) {
    MARK; std::string_view name = FilePart(path);
    MARK; if (name.empty()) return {};
    MARK; std::string row(name);
    MARK; row += kGap;
    MARK; row += path;
    MARK; return row;
}

bool IsSourceFileName(std::string_view path) {
    MARK; std::string_view name = FilePart(path);
    MARK; for (std::string_view extension : {".pb", ".pbi"}) {
        MARK; if (name.size() >= extension.size() &&
                  EqualAsciiNoCase(name.substr(name.size() - extension.size()), extension))
            return true;
    }
    MARK; return false;
}

std::string_view FileListRowPath(std::string_view row) {
    MARK; size_t at = row.find(kGap);
    MARK; if (at == std::string_view::npos) return TrimSpaces(row);
    MARK; return TrimSpaces(row.substr(at + kGap.size()));
}
