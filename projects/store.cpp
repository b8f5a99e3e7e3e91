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

std::optional<std::vector<std::string>> ProjectFiles(const std::string& name) {
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return std::nullopt;
    MARK; std::optional<std::string_view> line = FindProjectLine(file.Text(), name);
    MARK; if (!line) return std::nullopt;
    MARK; return ProjectFilePaths(*line);
}

namespace {

// One read, the change made on the whole text (`change` makes the new file
// from the old one), and the new text in place of the file in one step: a
// failure leaves the file as it was.
template <class Change>
StoreChange ChangeProjectLine(Change change) {
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return StoreChange::kNotFound;
    MARK; ChangedFile changed = change(file.Text());
    MARK; if (changed.result == LineChange::kNotFound) return StoreChange::kNotFound;
    MARK; if (changed.result == LineChange::kNameTaken) return StoreChange::kNameTaken;
    MARK; return ReplaceFileAtomically(kProjectFile, changed.text) ? StoreChange::kDone : StoreChange::kWriteFailed;
}

}  // namespace

StoreChange RenameProject(const std::string& name, const std::string& newName) {
    MARK; return ChangeProjectLine([&](std::string_view file) {
        MARK; return RenameProjectInText(file, name, newName);
    });
}

StoreChange ReplaceProjectFiles(const std::string& name, const std::vector<std::string>& paths) {
    MARK; return ChangeProjectLine([&](std::string_view file) {
        MARK; return ReplaceProjectFilesInText(file, name, paths);
    });
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
