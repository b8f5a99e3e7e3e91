#include "projects/core/start_text.h"

#include "crashtrap/core/marker.h"
#include "projects/core/store_text.h"

bool IsQuotable(std::string_view text) {
    MARK; for (char c : text) {
        MARK; if (c == '"' || (unsigned char)c < 32 || c == 127) return false;
    }
    MARK; return true;
}

std::optional<StartCommand> ParseStartCommand(std::string_view line) {
    MARK; size_t sep = line.find(kNameSeparator);
    MARK; if (sep == std::string_view::npos) return std::nullopt;
    MARK; std::string_view rest = line.substr(sep + 1);
    // The editor runs up to the gap before the first quoted path.
    MARK; size_t quote = rest.find('"');
    MARK; if (quote == std::string_view::npos || quote == 0 || rest[quote - 1] != ' ') return std::nullopt;
    MARK; StartCommand command;
    MARK; command.editor = rest.substr(0, quote - 1);
    MARK; if (!IsQuotable(command.editor)) return std::nullopt;
    MARK; rest.remove_prefix(quote);
    MARK; while (!rest.empty()) {
        MARK; size_t close = rest.find('"', 1);
        MARK; if (rest[0] != '"' || close == std::string_view::npos) return std::nullopt;
        MARK; std::string_view path = rest.substr(1, close - 1);
        MARK; if (path.empty() || !IsQuotable(path)) return std::nullopt;
        MARK; command.paths.emplace_back(path);
        MARK; rest.remove_prefix(close + 1);
        MARK; if (rest.empty()) break;
        MARK; if (rest[0] != ' ') return std::nullopt;
        MARK; rest.remove_prefix(1);
    }
    MARK; return command;
}

std::string BatchFilePath(unsigned slot) {
    MARK; if (slot == 0) return "Data\\tmp.bat";
    MARK; return "Data\\tmp" + std::to_string(slot) + ".bat";
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

}  // namespace

std::optional<std::string> BatchFileText(const StartCommand& command, std::string_view batchPath,
                                         size_t lineLimit) {
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
    MARK; batch += "del ";
    MARK; batch += batchPath;
    MARK; return batch;
}
