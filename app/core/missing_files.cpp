#include "app/core/missing_files.h"

#include "crashtrap/core/marker.h"

std::string MissingFilesMessage(std::string_view intro, const std::vector<std::string>& missing,
                                std::string_view more, std::string_view closing) {
    MARK; std::string text(intro);
    MARK; text += "\r\n";
    MARK; for (size_t i = 0; i < missing.size() && i < kMissingFilesNamed; ++i) {
        MARK; text += "\r\n";
        MARK; text += missing[i];
    }
    MARK; if (missing.size() > kMissingFilesNamed) {
        MARK; std::string line(more);
        MARK; const std::string count = std::to_string(missing.size() - kMissingFilesNamed);
        MARK; for (size_t at = line.find("%count%"); at != std::string::npos;
                   at = line.find("%count%", at + count.size()))
            line.replace(at, 7, count);
        MARK; text += "\r\n";
        MARK; text += line;
    }
    MARK; text += "\r\n\r\n";
    MARK; text += closing;
    MARK; return text;
}
