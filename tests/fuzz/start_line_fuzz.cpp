// Random project lines through the reader that decides whether a line may
// start, and through the batch file it gives: what it accepts re-reads to
// the same command, and the batch lines hold exactly the editor and the
// paths, each between quotes, with nothing outside them but single spaces
// (and "start" before each when there are several) and no '%' left undoubled.
#include <algorithm>
#include <string>
#include <string_view>

#include "projects/core/start_text.h"
#include "projects/core/store_text.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Reads line 1 of a batch file as the command interpreter sees its quotes:
// the texts between them, with "%%" read as '%'. False when anything but a
// single space stands between two quoted texts or a '%' stands alone.
bool ReadBatchLine(std::string_view line, std::vector<std::string>& parts) {
    size_t pos = 0;
    while (pos < line.size()) {
        if (line[pos] != '"') return false;
        size_t close = line.find('"', pos + 1);
        if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != ' ') return false;
        std::string part;
        for (size_t i = pos + 1; i < close; ++i) {
            if (line[i] == '%' && (i + 1 >= close || line[++i] != '%')) return false;
            part += line[i];
        }
        parts.push_back(part);
        pos = close + 2;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::optional<StartCommand> command = ParseStartCommand(line);
    if (!command) return 0;
    FUZZ_REQUIRE(IsQuotable(command->editor) && !command->paths.empty());
    for (const std::string& path : command->paths) FUZZ_REQUIRE(!path.empty() && IsQuotable(path));

    // The line creating a project would write for this command reads back to it.
    std::string made = MakeProjectLine(ProjectNameOf(line), command->editor, command->paths);
    made.resize(made.size() - 2);  // CR LF
    std::optional<StartCommand> again = ParseStartCommand(made);
    FUZZ_REQUIRE(again && again->editor == command->editor && again->paths == command->paths);

    if (command->editor.empty()) command->editor = "C:\\Ed\\ed.exe";
    // Half the inputs meet a line limit near their own size, so that long
    // projects' several commands come up too.
    const size_t limit = size % 2 ? kBatchLineLimit : 12 + size / 2;
    std::optional<std::string> batch = BatchFileText(*command, 850, limit);
    if (!batch) return 0;
    std::vector<std::string_view> lines;
    for (size_t at = 0, end;; at = end + 2) {
        end = batch->find("\r\n", at);
        if (end == std::string::npos) {
            FUZZ_REQUIRE(batch->substr(at) == kBatchSelfDeletion);
            break;
        }
        lines.push_back(std::string_view(*batch).substr(at, end - at));
    }
    // A file beyond ASCII sets the console's code page first, and only such a file.
    const bool beyondAscii = std::any_of(batch->begin(), batch->end(), [](char c) { return c & 0x80; });
    FUZZ_REQUIRE(lines.front() == "chcp 850 >nul 2>&1" ? (lines.erase(lines.begin()), beyondAscii) : !beyondAscii);
    // One line as ever when it fits; else "start" lines, each within the
    // limit, that hold every path once, in order.
    FUZZ_REQUIRE(!lines.empty());
    const std::string_view start = "start \"\" ";
    std::vector<std::string> paths;
    for (std::string_view line : lines) {
        FUZZ_REQUIRE(line.size() <= limit);
        if (lines.size() > 1) {
            FUZZ_REQUIRE(line.starts_with(start));
            line.remove_prefix(start.size());
        }
        std::vector<std::string> parts;
        FUZZ_REQUIRE(ReadBatchLine(line, parts));
        FUZZ_REQUIRE(parts.size() >= 2 && parts[0] == command->editor);
        paths.insert(paths.end(), parts.begin() + 1, parts.end());
    }
    FUZZ_REQUIRE(paths == command->paths);
    return 0;
}
