// The instruction-length decoder checked against an independent decoder
// (Zydis). Shared by the differential test and the differential fuzzer, so
// that both hold the decoder to the same list of deliberate differences.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>

#include "crashtrap/core/decoder.h"

struct OracleVerdict {
    const char* kind;  // "agree", "both refuse", or the name of a difference
    bool fault;        // a difference no documented class explains
    size_t ours;       // our length
    size_t oracle;     // the oracle's length, 0 when it refuses
};

// Compares the lengths of the instruction at code[0]. Both decoders see the
// same `size` bytes; callers pad short inputs (kOracleInput bytes suffice) so
// that neither runs out of bytes.
OracleVerdict CompareWithOracle(const uint8_t* code, size_t size, CodeMode mode);
constexpr size_t kOracleInput = 64;

// Capstone's word on a length ours gives in 64-bit mode (`ours` != 0): a
// second opinion where Zydis alone would decide.
OracleVerdict CompareWithCapstone(const uint8_t* code, size_t size, size_t ours);

// Comparisons counted by mode and kind, printed as one line per mode.
class OracleTally {
public:
    void Add(CodeMode mode, const OracleVerdict& v) { Count(mode == CodeMode::k64, v.kind); }
    void AddCapstone(const OracleVerdict& v) { Count(2, v.kind); }
    void Print(std::FILE* out) const;

private:
    void Count(int table, std::string_view kind);
    std::map<std::string, uint64_t, std::less<>> counts_[3];  // 32-bit, 64-bit, Capstone in 64-bit
};

std::string HexBytes(const uint8_t* code, size_t size);
