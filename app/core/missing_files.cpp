#include "app/core/missing_files.h"

#include "crashtrap/core/marker.h"
#include "support/core/text.h"

std::string MissingFilesMessage(std::string_view intro, const std::vector<std::string>& missing,
                                std::string_view more, std::string_view closing) {
    MARK; std::string text(intro);
    MARK; text += "\r\n";
    MARK; for (size_t i = 0; i < missing.size() && i < kMissingFilesNamed; ++i) {
        MARK; text += "\r\n";
        MARK; text += missing[i];
    }
    MARK; if (missing.size() > kMissingFilesNamed) {
        MARK; text += "\r\n";
        MARK; text += ReplaceAll(more, "%count%", std::to_string(missing.size() - kMissingFilesNamed));
    }
    MARK; text += "\r\n\r\n";
    MARK; text += closing;
    MARK; return text;
}
