// Random project files and projects through the store's text rules, with the
// properties the store rests on: the lines tile the file, a removal keeps
// every other line byte for byte, an appended line keeps the file and reads
// back as the project it was made from. A broken property aborts.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "projects/core/store_text.h"
#include "support/core/text.h"

namespace {

void Require(bool holds) {
    if (!holds) std::abort();
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// Lines in order, without a gap or an overlap, each ending where the reading
// rules say it ends.
void CheckTiling(std::string_view file) {
    size_t at = 0;
    for (const StoreLine& line : SplitStoreLines(file)) {
        Require(line.offset == at && line.text.data() == file.data() + at);
        for (char c : line.text) Require(!IsLineEnd(c));
        const size_t end = at + line.text.size();
        switch (line.endLength) {
            case 0: Require(end == file.size()); break;
            case 1: Require(end < file.size() && IsLineEnd(file[end]) &&
                            !(file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n')); break;
            case 2: Require(file.substr(end, 2) == "\r\n"); break;
            default: Require(false);
        }
        at = end + line.endLength;
    }
    Require(at == file.size());
}

// The whole of each line (its text and its end) that survives a removal of
// `found`'s lines, in order.
std::vector<std::string_view> Survivors(std::string_view file, std::string_view found) {
    std::vector<std::string_view> out;
    for (const StoreLine& line : SplitStoreLines(file))
        if (!EqualAsciiNoCase(line.text, found))
            out.push_back(file.substr(line.offset, line.text.size() + line.endLength));
    return out;
}

void CheckRemoval(std::string_view file, std::string_view name) {
    std::optional<std::string> kept = RemoveProjectFromText(file, name);
    std::optional<std::string_view> found = FindProjectLine(file, name);
    Require(kept.has_value() == found.has_value());
    if (!kept) return;
    // Every other line, whole and in order, and nothing else.
    std::string expected;
    for (std::string_view whole : Survivors(file, *found)) expected += whole;
    Require(*kept == expected);
    Require(kept->size() < file.size());
    // Read again, no line equal to the removed one is left. (A removed line
    // between a lone CR and an LF joins them into one CR LF: the empty line
    // that LF ended is read no more. Its bytes are all still there.)
    for (const StoreLine& line : SplitStoreLines(*kept)) Require(!EqualAsciiNoCase(line.text, *found));
}

// Bytes a field of the line cannot hold become 'x': the name's separator
// and line ends; for paths and the editor also the double quote.
std::string Field(std::string text, std::string_view forbidden) {
    for (char& c : text)
        if (forbidden.find(c) != std::string_view::npos) c = 'x';
    return text;
}

// ('"' path '"' ' ')*
bool ParsePaths(std::string_view rest, std::vector<std::string>& paths) {
    paths.clear();
    while (!rest.empty()) {
        size_t close = rest.find('"', 1);
        if (rest[0] != '"' || close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ' ')
            return false;
        paths.emplace_back(rest.substr(1, close - 1));
        rest.remove_prefix(close + 2);
    }
    return true;
}

// A line read back field by field: name 0xBF editor ' ' ('"' path '"' ' ')* CR LF,
// the editor bare or, when a bare one could not hold it, in quotes.
bool ParseLine(std::string_view line, std::string& name, std::string& editor, std::vector<std::string>& paths) {
    size_t sep = line.find(kNameSeparator);
    if (sep == std::string_view::npos || !line.ends_with("\r\n")) return false;
    name = line.substr(0, sep);
    std::string_view rest = line.substr(sep + 1, line.size() - sep - 3);
    if (rest.starts_with('"')) {
        size_t close = rest.find('"', 1);
        if (close == std::string_view::npos || rest.substr(close + 1, 1) != " ") return false;
        editor = rest.substr(1, close - 1);
        if (editor.find_first_of("&|<>") == std::string::npos && !editor.starts_with(' ') && !editor.ends_with(' '))
            return false;  // quoted without need
        rest.remove_prefix(close + 2);
        return ParsePaths(rest, paths);
    }
    size_t quote = rest.find('"');
    std::string_view head = rest.substr(0, quote);
    if (!head.ends_with(' ')) return false;
    editor = head.substr(0, head.size() - 1);
    rest.remove_prefix(head.size());
    return ParsePaths(rest, paths);
}

void CheckNewLine(std::string_view file, FuzzedDataProvider& in) {
    const std::string_view forbidden("\xBF\r\n\0", 4), pathForbidden("\"\r\n\0", 4);
    std::string name = Field(in.ConsumeRandomLengthString(64), forbidden);
    if (name.empty()) name = "p";
    Require(IsStorableName(name));
    std::string editor = Field(in.ConsumeRandomLengthString(64), pathForbidden);
    std::vector<std::string> paths(in.ConsumeIntegralInRange<size_t>(0, 4));
    for (std::string& path : paths) path = Field(in.ConsumeRandomLengthString(64), pathForbidden);

    const std::string line = MakeProjectLine(name, editor, paths);
    std::string readName, readEditor;
    std::vector<std::string> readPaths;
    Require(ParseLine(line, readName, readEditor, readPaths));
    Require(readName == name && readEditor == editor && readPaths == paths);
    Require(ProjectNameOf(line) == name);
    if (name.find('"') == std::string::npos) {
        // The list's column 1: the file part of each path, as the user sees it.
        std::string files;
        for (const std::string& path : paths) {
            std::string_view part = FilePart(TrimSpaces(path));
            if (!part.empty()) files.append(part).append("  ");
        }
        Require(ProjectFilesText(line) == files);
    }

    // Appended to any file: the file stays, its lines read as before (a file
    // ending in NUL gets a line end, read as one empty line more), and the
    // new project is its last line.
    const std::string text = AppendProjectToText(file, line);
    Require(std::string_view(text).substr(0, file.size()) == file);
    std::vector<StoreLine> before = SplitStoreLines(file), after = SplitStoreLines(text);
    const size_t extra = !file.empty() && file.back() == '\0' ? 1 : 0;
    Require(after.size() == before.size() + extra + 1);
    for (size_t i = 0; i < before.size(); ++i) Require(after[i].text == before[i].text);
    Require(after.back().text == std::string_view(line).substr(0, line.size() - 2) && after.back().endLength == 2);
    if (!FindProjectLine(file, name)) Require(FindProjectLine(text, name) == after.back().text);
    CheckTiling(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string name = in.ConsumeRandomLengthString(16);
    // The file in a block of its own size: AddressSanitizer sees any read past it.
    const std::string bytes = in.ConsumeRandomLengthString(size);
    char* block = static_cast<char*>(std::malloc(bytes.size() + 1));
    std::memcpy(block, bytes.data(), bytes.size());
    const std::string_view file(block, bytes.size());

    CheckTiling(file);
    for (const StoreLine& line : SplitStoreLines(file)) {
        ProjectFilesText(line.text);
        ProjectRowText(line.text);
    }
    CheckRemoval(file, name);
    CheckNewLine(file, in);
    std::free(block);
    return 0;
}
