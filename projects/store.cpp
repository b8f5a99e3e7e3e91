// The project list file on disk. Nothing is cached: every operation reads the
// file afresh and closes it before it returns.
#include "crashtrap/core/marker.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/files.h"

bool ProjectExists(const std::string& name) {
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return false;
    MARK; return FindProjectLine(file.Text(), name).has_value();
}

bool AppendProjectLine(const std::string& name, const std::string& editorPath,
                       const std::vector<std::string>& paths) {
    MARK; AppendFile file(kProjectFile);
    MARK; if (!file.IsOpen()) return false;
    MARK; std::optional<char> last;
    MARK; if (file.LastByte() >= 0) last = char(file.LastByte());
    MARK; file.Write(AppendedText(last, MakeProjectLine(name, editorPath, paths)));
    MARK; return true;
}

bool RemoveProjectLines(const std::string& name) {
    // One read gives both the line to remove and the text to keep, and the new
    // text replaces the file in one step, so a failure never loses the list.
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return false;
    MARK; std::optional<std::string> kept = RemoveProjectFromText(file.Text(), name);
    MARK; if (!kept) return false;
    MARK; ReplaceFileAtomically(kProjectFile, *kept);
    MARK; return true;
}
