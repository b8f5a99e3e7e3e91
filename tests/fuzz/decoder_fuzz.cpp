// Random byte strings through the instruction-length decoder, in both modes.
// libFuzzer hands over a block of exactly `size` bytes, so AddressSanitizer
// reports any read past them; a decoder that loops trips libFuzzer's timeout.
#include <cstdlib>

#include "crashtrap/core/decoder.h"

namespace {

void Check(const uint8_t* data, size_t size, CodeMode mode) {
    const size_t length = InstructionLength(data, size, mode);
    if (length > size) std::abort();
    if (length == 0) return;
    // The length depends only on the instruction's own bytes: cutting any of
    // them off refuses, and bytes after it change nothing. (AAM and AAD look
    // at the byte after their one-byte undefined form, so a cut right behind
    // them may refuse too.)
    for (size_t cut = 0; cut < length; ++cut)
        if (InstructionLength(data, cut, mode) != 0) std::abort();
    for (size_t more = length + 1; more <= size; ++more)
        if (InstructionLength(data, more, mode) != length) std::abort();
    const size_t exact = InstructionLength(data, length, mode);
    if (exact != length && (exact != 0 || mode == CodeMode::k64)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size, CodeMode::k32);
    Check(data, size, CodeMode::k64);
    return 0;
}
