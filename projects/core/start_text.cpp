#include "projects/core/start_text.h"

#include "crashtrap/core/marker.h"
#include "projects/core/folders.h"
#include "projects/core/store_text.h"
#include "support/core/text.h"

bool IsQuotable(std::string_view text) {
    MARK; for (char c : text) {
        MARK; if (c == '"' || (unsigned char)c < 32 || c == 127) return false;
    }
    MARK; return true;
}

namespace {

// The gap after the editor or a path: one space at least, when more follows.
size_t SkipSpaces(std::string_view text, size_t pos) {
    MARK; while (pos < text.size() && text[pos] == ' ') ++pos;
    MARK; return pos;
}

}  // namespace

std::optional<StartCommand> ParseStartCommand(std::string_view line) {
    MARK; size_t sep = line.find(kNameSeparator);
    MARK; if (sep == std::string_view::npos) return std::nullopt;
    MARK; std::string_view rest = line.substr(sep + 1);
    MARK; StartCommand command;
    MARK; size_t pos = 0;
    MARK; if (rest.starts_with('"')) {
        // Quoted by hand, as a path with spaces must be for the interpreter.
        MARK; size_t close = rest.find('"', 1);
        MARK; if (close == std::string_view::npos) return std::nullopt;
        MARK; command.editor = rest.substr(1, close - 1);
        MARK; pos = close + 1;
    } else {
        // Bare: up to the gap before the first quoted path (empty when the
        // project was made without the editor).
        MARK; size_t quote = rest.find('"');
        MARK; if (quote == std::string_view::npos) return std::nullopt;
        MARK; command.editor = TrimSpaces(rest.substr(0, quote));
        MARK; if (command.editor.find_first_of("&|<>") != std::string::npos) return std::nullopt;
        MARK; if (quote == 0 || rest[quote - 1] != ' ') return std::nullopt;
        MARK; pos = quote - 1;
    }
    MARK; if (!IsQuotable(command.editor)) return std::nullopt;
    MARK; while (pos < rest.size()) {
        MARK; size_t gap = SkipSpaces(rest, pos);
        MARK; if (gap == rest.size()) break;
        MARK; if (gap == pos || rest[gap] != '"') return std::nullopt;
        MARK; size_t close = rest.find('"', gap + 1);
        MARK; if (close == std::string_view::npos) return std::nullopt;
        MARK; std::string_view path = rest.substr(gap + 1, close - gap - 1);
        MARK; if (path.empty() || !IsQuotable(path)) return std::nullopt;
        MARK; command.paths.emplace_back(path);
        MARK; pos = close + 1;
    }
    MARK; if (command.paths.empty()) return std::nullopt;
    MARK; return command;
}

std::string BatchFilePath(unsigned slot) {
    MARK; std::string path = kDataFolder;
    MARK; path += "\\tmp";
    MARK; if (slot != 0) path += std::to_string(slot);
    MARK; return path + ".bat";
}

namespace {

// `text` between double quotes and followed by a space, with every '%' doubled.
std::string BatchArgument(std::string_view text) {
    MARK; std::string out = "\"";
    MARK; out.reserve(text.size() + 3);
    MARK; for (char c : text) {
        MARK; if (c == '%') out += '%';
        MARK; out += c;
    }
    MARK; out += "\" ";
    MARK; return out;
}

bool BeyondAscii(std::string_view text) {
    MARK; for (char c : text) {
        MARK; if ((unsigned char)c >= 0x80) return true;
    }
    MARK; return false;
}

}  // namespace

std::optional<std::string> BatchFileText(const StartCommand& command, unsigned oemCodePage, size_t lineLimit) {
    MARK; if (command.editor.empty() || !IsQuotable(command.editor)) return std::nullopt;
    MARK; std::vector<std::string> arguments;
    MARK; arguments.reserve(command.paths.size());
    MARK; size_t total = 0;
    MARK; for (const std::string& path : command.paths) {
        MARK; if (!IsQuotable(path)) return std::nullopt;
        MARK; arguments.push_back(BatchArgument(path));
        MARK; total += arguments.back().size();
    }
    MARK; const std::string editor = BatchArgument(command.editor);
    MARK; std::string batch;
    MARK; if (editor.size() + total <= lineLimit) {
        MARK; batch.reserve(editor.size() + total + 32);
        MARK; batch = editor;
        MARK; for (const std::string& argument : arguments) batch += argument;
        MARK; batch += "\r\n";
    } else {
        MARK; const std::string head = "start \"\" " + editor;
        MARK; std::string line = head;
        MARK; for (const std::string& argument : arguments) {
            MARK; if (line.size() + argument.size() > lineLimit && line.size() > head.size()) {
                MARK; batch += line + "\r\n";
                MARK; line = head;
            }
            MARK; if (line.size() + argument.size() > lineLimit) return std::nullopt;
            MARK; line += argument;
        }
        MARK; batch += line + "\r\n";
    }
    MARK; if (BeyondAscii(batch)) batch.insert(0, "chcp " + std::to_string(oemCodePage) + " >nul 2>&1\r\n");
    MARK; batch += kBatchSelfDeletion;
    MARK; return batch;
}
