// Random names and paths on their way from the folder tree to a start: a
// path the file collection takes, stored with an editor path read from any
// registered command, comes back from the project line unchanged, and the
// batch line can hold it. The input is split at its first NUL into a path
// and a registered command.
#include <string>
#include <string_view>

#include "app/core/file_list.h"
#include "projects/core/create_text.h"
#include "projects/core/start_text.h"
#include "projects/core/store_text.h"
#include "support/core/text.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string_view path = input.substr(0, nul);
    const std::string_view registered = nul == std::string_view::npos ? std::string_view{} : input.substr(nul + 1);

    // The editor path in a command never holds a quote: it is the quoted
    // text, or the start of a bare command.
    const std::string_view editor = EditorPathFromCommand(registered);
    FUZZ_REQUIRE(editor.find('"') == std::string_view::npos);
    FUZZ_REQUIRE(editor.empty() || registered.substr(registered.starts_with('"') ? 1 : 0, editor.size()) == editor);

    // What the tree lets into the list can stand in a batch line.
    if (!HoldsReservedByte(path)) FUZZ_REQUIRE(IsQuotable(path));

    const std::string row = FileListRow(path);
    if (row.empty() || HoldsReservedByte(path)) return 0;  // a folder, or a name refused with a message
    const std::string_view collected = FileListRowPath(row);
    if (path.find(std::string(100, ' ')) == std::string_view::npos && TrimSpaces(path) == path)
        FUZZ_REQUIRE(collected == path);

    const std::string line = MakeProjectLine("P", editor, {std::string(collected)});
    std::optional<StartCommand> command = ParseStartCommand(line.substr(0, line.size() - 2));
    if (!IsQuotable(editor) || collected.empty()) {
        FUZZ_REQUIRE(!command);
        return 0;
    }
    FUZZ_REQUIRE(command && command->editor == editor && command->paths.size() == 1 &&
                 command->paths[0] == collected);
    return 0;
}
