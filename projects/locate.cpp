// Locate: the files of a project whose folder was moved (or whose drive
// letter changed), looked for below the folder the user chose.
#include <windows.h>

#include "crashtrap/core/marker.h"
#include "projects/core/locate.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/files.h"
#include "support/lookup.h"

namespace {

// As long as a start waits for a drive: the chosen folder may be a share.
constexpr DWORD kLookupDeadlineMs = 2000;

}  // namespace

Relocation FindMovedFiles(const std::vector<std::string>& missing, const std::string& chosen) {
    MARK; std::vector<std::vector<Candidate>> candidates;
    MARK; std::vector<std::string> lookups;
    MARK; for (const std::string& path : missing) {
        MARK; candidates.push_back(LocateCandidates(path, chosen));
        MARK; for (const Candidate& candidate : candidates.back()) lookups.push_back(candidate.path);
    }
    MARK; const std::vector<FileState> states = LookUpFiles(lookups, kLookupDeadlineMs);
    MARK; Relocation found;
    MARK; size_t at = 0;
    MARK; for (size_t i = 0; i < missing.size(); ++i) {
        MARK; bool taken = false;
        MARK; for (const Candidate& candidate : candidates[i]) {
            MARK; if (!taken && states[at] == FileState::kThere) {
                MARK; taken = true;
                MARK; found.moves.emplace_back(missing[i], candidate.path);
                MARK; bool known = false;
                MARK; for (const std::string& from : found.from)
                    known = known || EqualAsciiNoCase(from, candidate.from);
                MARK; if (!known) found.from.push_back(candidate.from);
            }
            MARK; ++at;
        }
    }
    MARK; return found;
}

OtherMoves FindOtherMovedFiles(const std::string& name, const std::vector<std::string>& from,
                               const std::string& chosen) {
    MARK; OtherMoves others;
    MARK; FileBytes file;
    MARK; if (from.empty() || ReadProjectList(file) != ListRead::kRead) return others;
    // Each path below one of the old folders, with where it would be now.
    MARK; std::vector<std::string> owners, lookups;
    MARK; std::vector<std::pair<std::string, std::string>> moves;
    MARK; for (const StoreLine& line : SplitStoreLines(file.Text())) {
        MARK; const std::string owner(ProjectNameOf(line.text));
        MARK; if (owner.empty() || SameName(owner, name)) continue;
        MARK; for (const std::string& path : ProjectFilePaths(line.text)) {
            MARK; for (const std::string& folder : from) {
                MARK; std::optional<std::string> moved = MovedPath(path, folder, chosen);
                MARK; if (!moved) continue;
                MARK; owners.push_back(owner);
                MARK; moves.emplace_back(path, *moved);
                MARK; lookups.push_back(path);
                MARK; lookups.push_back(*moved);
                MARK; break;
            }
        }
    }
    // Gone from the old place and there in the new one.
    MARK; const std::vector<FileState> states = LookUpFiles(lookups, kLookupDeadlineMs);
    MARK; for (size_t i = 0; i < moves.size(); ++i) {
        MARK; if (states[2 * i] != FileState::kMissing || states[2 * i + 1] != FileState::kThere) continue;
        MARK; others.moves.push_back(moves[i]);
        MARK; if (others.names.empty() || !SameName(others.names.back(), owners[i])) others.names.push_back(owners[i]);
    }
    MARK; return others;
}
