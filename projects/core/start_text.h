// Starting a project: the command stored in its line, read strictly, and the
// batch file that runs it through the command interpreter.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a project's line asks to run: the editor with the project's files.
struct StartCommand {
    std::string editor;              // empty: the project was made without the editor
    std::vector<std::string> paths;  // one at least
};

// True when `text` can stand between double quotes in the batch line and
// stay one argument: no double quote, no control byte (0-31, 127).
bool IsQuotable(std::string_view text);

// The command after the first 0xBF of `line`, in the shapes this program and
// its older copies wrote and users repaired by hand: the editor path, bare or
// in double quotes (%VARIABLES% in it are the caller's to expand), then each
// path in double quotes, separated from the editor and from each other by
// spaces (any number, also after the last). Editor and paths must be
// quotable, the paths not empty, and a bare editor path holds none of & | < >
// (outside quotes the command interpreter reads them as commands of their
// own). Anything else is nullopt: such a line is never run.
std::optional<StartCommand> ParseStartCommand(std::string_view line);

// The batch files, relative to the program's folder: "Data\tmp.bat" for slot
// 0, "Data\tmp<slot>.bat" for the others. A start takes the first slot that
// no earlier start's batch file holds.
inline constexpr unsigned kBatchSlots = 100;
std::string BatchFilePath(unsigned slot);

// The longest line the command interpreter reads whole; it splits a longer
// one, and the rest would run as a command of its own.
inline constexpr size_t kBatchLineLimit = 8191;

// The batch file's last line: it deletes the file by the full path the
// interpreter ran it by, whatever folder the interpreter works in (a program
// folder on a \\server\share, where it works in the Windows folder instead).
inline constexpr std::string_view kBatchSelfDeletion = "del \"%~f0\"";

// The batch file for `command`, whose editor and paths are already in the
// bytes of the OEM code page `oemCodePage` the command interpreter reads,
// with every '%' doubled (the interpreter expands '%' even inside quotes).
// When the editor and all the paths fit one line of `lineLimit` characters,
// that line is the editor and each path, each in double quotes and followed
// by one space. Otherwise each line is "start "" " and the editor with as many
// of the paths, in their order, as fit; "start" hands the editor to the shell
// without waiting for it, so every line runs at once. A file holding a byte
// beyond ASCII first sets the console's code page to `oemCodePage` (one set
// otherwise, by the user or at the interpreter's start, would read other
// letters). The last line deletes the file itself. nullopt when the editor
// is empty, a part is not quotable or a path does not fit a line even alone.
std::optional<std::string> BatchFileText(const StartCommand& command, unsigned oemCodePage,
                                         size_t lineLimit = kBatchLineLimit);
