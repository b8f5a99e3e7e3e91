// Random byte strings through the decoder and through Zydis, in both modes.
// A difference outside the documented classes (tests/native/decoder_oracle.cpp)
// aborts with the bytes; at the end the figures by class are printed.
#include <cstdlib>
#include <cstring>

#include "tests/native/decoder_oracle.h"

namespace {

struct Figures {
    OracleTally tally;
    ~Figures() { tally.Print(stderr); }
} figures;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Zeros after the input keep both decoders inside the buffer.
    uint8_t code[kOracleInput] = {};
    std::memcpy(code, data, size < kOracleInput ? size : kOracleInput);
    for (CodeMode mode : {CodeMode::k32, CodeMode::k64}) {
        OracleVerdict v = CompareWithOracle(code, kOracleInput, mode);
        figures.tally.Add(mode, v);
        if (v.fault) {
            std::fprintf(stderr, "%s mode, %s: %s, ours %zu, Zydis %zu\n", mode == CodeMode::k64 ? "64-bit" : "32-bit",
                         HexBytes(code, 16).c_str(), v.kind, v.ours, v.oracle);
            std::abort();
        }
    }
    return 0;
}
