// Random project lines through the reader that decides whether a line may
// start, and through the batch file it gives: what it accepts re-reads to
// the same command, and the batch line holds exactly the editor and the
// paths, each between quotes, with nothing outside them but single spaces
// and no '%' left undoubled.
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
    std::optional<std::string> batch = BatchFileText(*command, "Data\\tmp.bat");
    if (!batch) return 0;
    const size_t end = batch->find("\r\n");
    FUZZ_REQUIRE(end != std::string::npos && end <= kBatchLineLimit);
    FUZZ_REQUIRE(batch->substr(end) == "\r\ndel Data\\tmp.bat");
    std::vector<std::string> parts;
    FUZZ_REQUIRE(ReadBatchLine(std::string_view(*batch).substr(0, end), parts));
    FUZZ_REQUIRE(parts.size() == command->paths.size() + 1 && parts[0] == command->editor);
    for (size_t i = 0; i < command->paths.size(); ++i) FUZZ_REQUIRE(parts[i + 1] == command->paths[i]);
    return 0;
}
