// Random command lines through the parameter reader, and the name it gives
// through the message placeholder: tokens are pieces of the line, a token
// with a space came from quotes and holds none, and the name is inserted
// once per placeholder, never searched again.
#include <string>
#include <string_view>

#include "support/core/cmdline.h"
#include "support/core/text.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    FUZZ_REQUIRE(CommandLineParameter(line, -1).empty());
    // Every token but the last ends at a space or a closing quote, so there
    // are no more tokens than spaces and quotes, plus one.
    int ends = 0;
    for (char c : line) ends += c == ' ' || c == '"';
    for (int k = 0; k <= ends; ++k) {
        const std::string token = CommandLineParameter(line, k);
        FUZZ_REQUIRE(line.find(token) != std::string::npos);
        if (token.find(' ') != std::string::npos) FUZZ_REQUIRE(token.find('"') == std::string::npos);
        if (k == ends) FUZZ_REQUIRE(token.empty());  // parameter k is token k + 1
    }

    const std::string name = LowerName(TrimSpaces(CommandLineParameter(line, 0)));
    const std::string message = "Find %name%! %NAME%";
    FUZZ_REQUIRE(InsertQuotedName(message, name) == "Find \"" + name + "\"! \"" + name + "\"");
    return 0;
}
