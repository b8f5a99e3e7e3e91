// The project list file's format: one line per project,
//   name 0xBF editor-path ' ' ( '"' path '"' ' ' )* CR LF
// Reading is lenient: CR LF, a lone CR, a lone LF and NUL each end a line.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr char kNameSeparator = '\xBF';

// One line of the file: its text and the bytes of its line end (0, 1 or 2).
struct StoreLine {
    std::string_view text;
    size_t offset;      // where the line starts in the file
    size_t endLength;   // bytes of the line end that follow the text
};

// Splits file bytes into lines by the reading rules.
std::vector<StoreLine> SplitStoreLines(std::string_view file);

// The text before the first 0xBF; empty for a line without one.
std::string_view ProjectNameOf(std::string_view line);

// Column 1 of the project list: the file part of the text between each pair
// of consecutive double quotes (trimmed; empty ones skipped), each followed
// by two spaces; the quotes of a quoted editor path do not count.
std::string ProjectFilesText(std::string_view line);

// The row text of the project list: name, LF, files text.
std::string ProjectRowText(std::string_view line);

// The first line of `file` whose name part is the same project as `name`.
std::optional<std::string_view> FindProjectLine(std::string_view file, std::string_view name);

// Whether a project line can hold `name` so that it reads back as itself:
// a 0xBF would end the name early (the project would read back as another,
// shorter name, and deleting it would delete that one), and CR, LF or NUL
// would end the line inside it.
bool IsStorableName(std::string_view name);

// A new project line, CR LF included. The editor path stands bare, as ever,
// unless it could not be read back so (it holds one of & | < >, which a bare
// path may not, or begins or ends with a space): then it is quoted.
std::string MakeProjectLine(std::string_view name, std::string_view editorPath,
                            const std::vector<std::string>& paths);

// What to write at the end of a file whose current content ends in `lastByte`
// (none for an empty file) so that `line` starts a line of its own.
std::string AppendedText(std::optional<char> lastByte, std::string_view line);

// The file with `line` added at its end as a line of its own; every byte
// already there stays.
std::string AppendProjectToText(std::string_view file, std::string_view line);

// The file without every whole line equal (ASCII case ignored) to the first
// line of the project `name`; nullopt when no line has that name. All other
// bytes stay as they were.
std::optional<std::string> RemoveProjectFromText(std::string_view file, std::string_view name);

// The paths of a line's files: the texts inside the pairs of double quotes
// after its first 0xBF (the first quote with the second, the third with the
// fourth, ...), in order; empty ones are left out.
std::vector<std::string> ProjectFilePaths(std::string_view line);

// A change of one project's line, made on the whole file's text.
enum class LineChange {
    kDone,       // `text` is the new file
    kNotFound,   // no line has the project's name
    kNameTaken,  // another project has the new name
};
struct ChangedFile {
    LineChange result;
    std::string text;
};

// The file with the first line of the project `name` renamed to `newName`:
// that line keeps every byte after its name part, every other byte of the
// file stays. A new name of the same project (another letter case) is no
// clash; a line of another project with that name is.
ChangedFile RenameProjectInText(std::string_view file, std::string_view name, std::string_view newName);

// The file with the files of the first line of the project `name` replaced
// by `paths`: the line keeps its name, its editor path and its line end,
// every other byte of the file stays.
ChangedFile ReplaceProjectFilesInText(std::string_view file, std::string_view name,
                                      const std::vector<std::string>& paths);

// The editor path a line names, without quotes (empty when it names none):
// the text after the first 0xBF up to the gap before the first quoted path,
// or the text between the quotes of a quoted editor.
std::string EditorOfLine(std::string_view line);

// The file with the editor of project `name`'s line replaced by `editor`,
// stored as MakeProjectLine stores it; with `alike`, also in every other line
// that names the same editor as that line did (ASCII case ignored). Every
// other byte of each line stays.
ChangedFile ReplaceEditorInText(std::string_view file, std::string_view name, std::string_view editor, bool alike);

// The file with the paths of the named projects' lines moved: each path
// that is the first of a pair of `moves` becomes its second; the lines keep
// their name, editor, order of files and line end. kNotFound when none of
// the projects has a line.
ChangedFile MovePathsInText(std::string_view file, const std::vector<std::string>& names,
                            const std::vector<std::pair<std::string, std::string>>& moves);

