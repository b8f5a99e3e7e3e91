// Random preference files through the reader, which must stay inside them,
// and random settings through the writer, which must read back as written.
// A broken property aborts.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "support/core/pref_text.h"
#include "support/core/text.h"

namespace {

void Require(bool holds) {
    if (!holds) std::abort();
}

// The reader over bytes in a block of their own size, so that AddressSanitizer
// sees any read past them.
void ReadAnywhere(const std::string& bytes, const std::string& group, const std::string& key) {
    char* block = static_cast<char*>(std::malloc(bytes.size() + 1));
    std::memcpy(block, bytes.data(), bytes.size());
    const std::string_view text = PrefReadableText(std::string_view(block, bytes.size()));
    Require(text.size() <= bytes.size() && text.find('\0') == std::string_view::npos);
    const size_t cursor = PrefFindGroup(text, group);
    Require(cursor == kNoGroup || cursor <= text.size());
    PrefFindNumber(text, cursor, key, 7);
    PrefFindNumber(text, 0, key, 7);  // the unnamed region before the first group
    std::free(block);
}

// Replaces the bytes a name cannot hold; empty names become "k".
std::string Name(std::string text, std::string_view forbidden) {
    for (char& c : text)
        if (forbidden.find(c) != std::string_view::npos) c = 'x';
    return text.empty() ? "k" : text;
}

// What the writer writes, the reader reads: the number under its key in its
// group, past a text setting before it and with another group after it.
void RoundTrip(FuzzedDataProvider& in) {
    // A group name ends at ']' or the line's LF; a zero byte ends the text.
    const std::string group = Name(in.ConsumeRandomLengthString(32), std::string_view("]\n\0", 3));
    // A key ends at '='; spaces around it are not part of it; a line that
    // starts with '[' is a header, one that starts with ';' a comment, and a
    // CR right after a line's LF belongs to no line (LF CR line ends).
    std::string key = Name(in.ConsumeRandomLengthString(32), std::string_view("=\n\0 ", 4));
    std::string other = Name(in.ConsumeRandomLengthString(32), std::string_view("=\n\0 ", 4));
    for (std::string* k : {&key, &other})
        if (std::string_view("[;\r").find((*k)[0]) != std::string_view::npos) (*k)[0] = 'k';
    while (EqualAsciiNoCase(other, key)) other.insert(0, "(");
    const std::string note = Name(in.ConsumeRandomLengthString(32), std::string_view("\n\0", 2));
    const int32_t value = in.ConsumeIntegral<int32_t>();

    const std::string text = PrefGroupLine(group) + PrefKeyLine(other, note) + PrefKeyLine(key, PrefNumberText(value)) +
                             PrefGroupLine("after") + PrefKeyLine(key, "1");
    const size_t cursor = PrefFindGroup(text, group);
    Require(cursor == PrefGroupLine(group).size());
    Require(PrefFindNumber(text, cursor, key, value ^ 1) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string group = in.ConsumeRandomLengthString(16);
    const std::string key = in.ConsumeRandomLengthString(16);
    const std::string bytes = in.ConsumeRandomLengthString(size);
    ReadAnywhere(bytes, group, key);
    RoundTrip(in);
    return 0;
}
