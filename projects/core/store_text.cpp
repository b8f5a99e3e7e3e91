#include "projects/core/store_text.h"

#include "crashtrap/core/marker.h"
#include "support/core/text.h"

std::vector<StoreLine> SplitStoreLines(std::string_view file) {
    MARK; std::vector<StoreLine> lines;
    MARK; size_t pos = 0;
    MARK; while (pos < file.size()) {
        MARK; size_t end = pos;
        MARK; while (end < file.size() && file[end] != '\r' && file[end] != '\n' && file[end] != '\0') ++end;
        MARK; size_t endLength = 0;
        MARK; if (end < file.size()) {
            MARK; endLength = 1;
            MARK; if (file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n') endLength = 2;
        }
        MARK; lines.push_back({file.substr(pos, end - pos), pos, endLength});
        MARK; pos = end + endLength;
    }
    MARK; return lines;
}

std::string_view ProjectNameOf(std::string_view line) {
    MARK; size_t sep = line.find(kNameSeparator);
    MARK; return sep == std::string_view::npos ? std::string_view{} : line.substr(0, sep);
}

std::string ProjectFilesText(std::string_view line) {
    // A quoted editor path (a repaired line) is no file of the project.
    MARK; size_t sep = line.find(kNameSeparator), editorOpen = std::string_view::npos, editorClose = editorOpen;
    MARK; if (sep != std::string_view::npos && line.substr(sep + 1, 1) == "\"") {
        MARK; editorOpen = sep + 1;
        MARK; editorClose = line.find('"', editorOpen + 1);
    }
    MARK; auto nextQuote = [&](size_t from) {
        MARK; size_t at = line.find('"', from);
        MARK; while (at != std::string_view::npos && (at == editorOpen || at == editorClose))
            at = line.find('"', at + 1);
        MARK; return at;
    };
    MARK; std::string out;
    MARK; size_t open = nextQuote(0);
    MARK; while (open != std::string_view::npos) {
        MARK; size_t close = nextQuote(open + 1);
        MARK; if (close == std::string_view::npos) break;
        MARK; std::string_view part = FilePart(TrimSpaces(line.substr(open + 1, close - open - 1)));
        MARK; if (!part.empty()) {
            MARK; out += part;
            MARK; out += "  ";
        }
        MARK; open = close;
    }
    MARK; return out;
}

std::string ProjectRowText(std::string_view line) {
    MARK; std::string row(ProjectNameOf(line));
    MARK; row += '\n';
    MARK; row += ProjectFilesText(line);
    MARK; return row;
}

std::optional<std::string_view> FindProjectLine(std::string_view file, std::string_view name) {
    MARK; for (const StoreLine& line : SplitStoreLines(file)) {
        MARK; if (SameName(ProjectNameOf(line.text), name)) return line.text;
    }
    MARK; return std::nullopt;
}

bool IsStorableName(std::string_view name) {
    MARK; return name.find_first_of(std::string_view("\xBF\r\n\0", 4)) == std::string_view::npos;
}

namespace {

// The editor as a line stores it: bare, or quoted when a bare path could
// not be read back.
std::string EditorField(std::string_view editor) {
    MARK; const bool quoted = editor.find_first_of("&|<>") != std::string_view::npos || editor.starts_with(' ') ||
                              editor.ends_with(' ');
    MARK; return quoted ? "\"" + std::string(editor) + "\"" : std::string(editor);
}

// Where a line's editor field stands (its quotes included): after the
// first 0xBF, up to the gap before the first quoted path; empty for a
// line without 0xBF.
std::pair<size_t, size_t> EditorSpan(std::string_view line) {
    MARK; size_t sep = line.find(kNameSeparator);
    MARK; if (sep == std::string_view::npos) return {line.size(), line.size()};
    MARK; size_t begin = sep + 1, end = begin;
    MARK; if (line.substr(begin, 1) == "\"") {
        MARK; end = line.find('"', begin + 1);
        MARK; end = end == std::string_view::npos ? line.size() : end + 1;
    } else {
        MARK; end = std::min(line.find('"', begin), line.size());
        MARK; while (end > begin && line[end - 1] == ' ') --end;
    }
    MARK; return {begin, end};
}

}  // namespace

std::string MakeProjectLine(std::string_view name, std::string_view editorPath,
                            const std::vector<std::string>& paths) {
    MARK; std::string line(name);
    MARK; line += kNameSeparator;
    MARK; line += EditorField(editorPath);
    MARK; line += ' ';
    MARK; for (const std::string& path : paths) {
        MARK; line += '"';
        MARK; line += path;
        MARK; line += "\" ";
    }
    MARK; line += "\r\n";
    MARK; return line;
}

std::string AppendedText(std::optional<char> lastByte, std::string_view line) {
    // A last line without its line end would otherwise swallow the new project.
    MARK; if (lastByte && *lastByte != '\r' && *lastByte != '\n') return "\r\n" + std::string(line);
    MARK; return std::string(line);
}

std::string AppendProjectToText(std::string_view file, std::string_view line) {
    MARK; std::optional<char> last;
    MARK; if (!file.empty()) last = file.back();
    MARK; std::string text(file);
    MARK; text += AppendedText(last, line);
    MARK; return text;
}

std::optional<std::string> RemoveProjectFromText(std::string_view file, std::string_view name) {
    MARK; std::optional<std::string_view> found = FindProjectLine(file, name);
    MARK; if (!found) return std::nullopt;
    MARK; std::string kept;
    MARK; kept.reserve(file.size());
    MARK; for (const StoreLine& line : SplitStoreLines(file)) {
        MARK; if (!EqualAsciiNoCase(line.text, *found))
            kept.append(file.substr(line.offset, line.text.size() + line.endLength));
    }
    MARK; return kept;
}

std::vector<std::string> ProjectFilePaths(std::string_view line) {
    MARK; std::vector<std::string> paths;
    MARK; if (line.find(kNameSeparator) == std::string_view::npos) return paths;
    MARK; size_t open = line.find('"', EditorSpan(line).second);
    MARK; while (open != std::string_view::npos) {
        MARK; size_t close = line.find('"', open + 1);
        MARK; if (close == std::string_view::npos) break;
        MARK; if (close > open + 1) paths.emplace_back(line.substr(open + 1, close - open - 1));
        MARK; open = line.find('"', close + 1);
    }
    MARK; return paths;
}

namespace {

// The first line of the project `name`, or none. No project is nameless: a
// line without its separator has an empty name part, and is nobody's.
const StoreLine* FindLine(const std::vector<StoreLine>& lines, std::string_view name) {
    MARK; if (name.empty()) return nullptr;
    MARK; for (const StoreLine& line : lines) {
        MARK; if (SameName(ProjectNameOf(line.text), name)) return &line;
    }
    MARK; return nullptr;
}

// The file with the text of `line` (not its line end) replaced.
std::string Spliced(std::string_view file, const StoreLine& line, std::string_view newText) {
    MARK; std::string out(file.substr(0, line.offset));
    MARK; out += newText;
    MARK; out += file.substr(line.offset + line.text.size());
    MARK; return out;
}

}  // namespace

ChangedFile RenameProjectInText(std::string_view file, std::string_view name, std::string_view newName) {
    MARK; std::vector<StoreLine> lines = SplitStoreLines(file);
    MARK; const StoreLine* found = FindLine(lines, name);
    MARK; if (!found) return {LineChange::kNotFound, {}};
    MARK; for (const StoreLine& line : lines) {
        MARK; if (&line != found && SameName(ProjectNameOf(line.text), newName)) return {LineChange::kNameTaken, {}};
    }
    MARK; std::string renamed(newName);
    MARK; renamed += found->text.substr(ProjectNameOf(found->text).size());
    MARK; return {LineChange::kDone, Spliced(file, *found, renamed)};
}

ChangedFile ReplaceProjectFilesInText(std::string_view file, std::string_view name,
                                      const std::vector<std::string>& paths) {
    MARK; std::vector<StoreLine> lines = SplitStoreLines(file);
    MARK; const StoreLine* found = FindLine(lines, name);
    MARK; if (!found) return {LineChange::kNotFound, {}};
    // Name, separator and editor path (quoted or not): everything before the
    // first file's quote, with the space that ends the editor path.
    MARK; std::string_view text = found->text;
    MARK; size_t firstQuote = text.find('"', EditorSpan(text).second);
    MARK; std::string line(text.substr(0, firstQuote));
    MARK; if (line.back() != ' ') line += ' ';
    MARK; for (const std::string& path : paths) {
        MARK; line += '"';
        MARK; line += path;
        MARK; line += "\" ";
    }
    MARK; return {LineChange::kDone, Spliced(file, *found, line)};
}

std::string EditorOfLine(std::string_view line) {
    MARK; auto [begin, end] = EditorSpan(line);
    MARK; std::string_view field = line.substr(begin, end - begin);
    MARK; if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = field.substr(1, field.size() - 2);
    MARK; return std::string(TrimSpaces(field));
}

ChangedFile ReplaceEditorInText(std::string_view file, std::string_view name, std::string_view editor, bool alike) {
    MARK; std::vector<StoreLine> lines = SplitStoreLines(file);
    MARK; const StoreLine* found = FindLine(lines, name);
    MARK; if (!found) return {LineChange::kNotFound, {}};
    MARK; const std::string old = EditorOfLine(found->text);
    MARK; std::string out;
    MARK; for (const StoreLine& line : lines) {
        MARK; std::string_view text = line.text;
        MARK; const bool same = alike && !ProjectNameOf(text).empty() && EqualAsciiNoCase(EditorOfLine(text), old);
        MARK; if (&line == found || same) {
            MARK; auto [begin, end] = EditorSpan(text);
            MARK; out.append(text.substr(0, begin)).append(EditorField(editor)).append(text.substr(end));
        } else {
            MARK; out.append(text);
        }
        MARK; out.append(file.substr(line.offset + line.text.size(), line.endLength));
    }
    MARK; return {LineChange::kDone, out};
}

ChangedFile MovePathsInText(std::string_view file, const std::vector<std::string>& names,
                            const std::vector<std::pair<std::string, std::string>>& moves) {
    MARK; ChangedFile changed{LineChange::kNotFound, std::string(file)};
    MARK; for (const std::string& name : names) {
        MARK; std::optional<std::string_view> line = FindProjectLine(changed.text, name);
        MARK; if (!line) continue;
        MARK; std::vector<std::string> paths = ProjectFilePaths(*line);
        MARK; for (std::string& path : paths) {
            MARK; for (const auto& [from, to] : moves) {
                MARK; if (path == from) path = to;
            }
        }
        MARK; changed.text = ReplaceProjectFilesInText(changed.text, name, paths).text;
        MARK; changed.result = LineChange::kDone;
    }
    MARK; return changed;
}

