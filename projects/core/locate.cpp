#include "projects/core/locate.h"

#include "crashtrap/core/marker.h"
#include "support/core/text.h"

namespace {

std::string WithBackslash(std::string_view folder) {
    MARK; std::string out(folder);
    MARK; if (!out.empty() && out.back() != '\\') out += '\\';
    MARK; return out;
}

}  // namespace

std::vector<Candidate> LocateCandidates(std::string_view missing, std::string_view chosen) {
    MARK; std::vector<Candidate> candidates;
    MARK; const std::string to = WithBackslash(chosen);
    // From the root on: the drive or share, then each folder below it.
    MARK; size_t from = PathRoot(missing).size();
    MARK; while (from < missing.size()) {
        MARK; std::string_view rest = missing.substr(from);
        MARK; if (!rest.empty() && rest.front() != '\\')
            candidates.push_back({to + std::string(rest), std::string(missing.substr(0, from))});
        MARK; size_t slash = missing.find('\\', from);
        MARK; if (slash == std::string_view::npos) break;
        MARK; from = slash + 1;
    }
    MARK; return candidates;
}

std::optional<std::string> MovedPath(std::string_view path, std::string_view from, std::string_view to) {
    MARK; if (from.empty() || path.size() <= from.size() || !EqualAsciiNoCase(path.substr(0, from.size()), from))
        return std::nullopt;
    MARK; return WithBackslash(to) + std::string(path.substr(from.size()));
}
