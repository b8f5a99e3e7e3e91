// Random byte strings through the instruction-length decoder. libFuzzer
// hands over a block of exactly `size` bytes, so AddressSanitizer reports any
// read past them; a decoder that loops trips libFuzzer's timeout.
#include <cstdlib>

#include "crashtrap/core/decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t length = InstructionLength(data, size);
    if (length > size) std::abort();
    if (length == 0) return 0;
    // The length depends only on the instruction's own bytes: cutting any of
    // them off refuses, and bytes after it change nothing. (AAM and AAD look
    // at the byte after their one-byte undefined form, so a cut right behind
    // them may refuse too.)
    for (size_t cut = 0; cut < length; ++cut)
        if (InstructionLength(data, cut) != 0) std::abort();
    for (size_t more = length + 1; more <= size; ++more)
        if (InstructionLength(data, more) != length) std::abort();
    const size_t exact = InstructionLength(data, length);
    if (exact != length && exact != 0) std::abort();
    return 0;
}
