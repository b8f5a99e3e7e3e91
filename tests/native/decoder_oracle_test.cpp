// The decoder against Zydis (and Capstone) on every one-, two- and
// three-byte opcode with a range of ModRM, SIB and prefix forms, and on a
// seeded random sample; the figures by class are printed.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "tests/native/decoder_oracle.h"

namespace {

using Bytes = std::vector<uint8_t>;

class DecoderOracle : public ::testing::Test {
protected:
    void Check(const Bytes& instruction, CodeMode mode) {
        uint8_t code[kOracleInput];
        // The filler keeps both decoders inside the buffer whatever they read.
        for (size_t i = 0; i < kOracleInput; ++i) code[i] = uint8_t(0x11 * (i % 15));
        std::memcpy(code, instruction.data(), std::min(instruction.size(), kOracleInput));
        OracleVerdict v = CompareWithOracle(code, kOracleInput, mode);
        tally_.Add(mode, v);
        if (v.fault && ++faults_ <= 50)
            ADD_FAILURE() << (mode == CodeMode::k64 ? "64-bit " : "32-bit ") << HexBytes(code, 16) << ": " << v.kind
                          << ", ours " << v.ours << ", oracle " << v.oracle;
        // Where we give a length in 64-bit mode, Capstone too: two oracles
        // against one decoder leave fewer blind spots.
        if (mode == CodeMode::k64 && v.ours != 0) {
            OracleVerdict c = CompareWithCapstone(code, kOracleInput, v.ours);
            tally_.AddCapstone(c);
            if (c.fault && ++faults_ <= 50)
                ADD_FAILURE() << "64-bit " << HexBytes(code, 16) << ": " << c.kind << ", ours " << c.ours
                              << ", Capstone " << c.oracle;
        }
    }

    void TearDown() override {
        tally_.Print(stdout);
        EXPECT_EQ(faults_, 0u);
    }

    OracleTally tally_;
    size_t faults_ = 0;
};

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(DecoderOracle, EveryOpcodeWithModRMAndPrefixForms) {
    const Bytes maps[] = {{}, {0x0F}, {0x0F, 0x38}, {0x0F, 0x3A}};
    const std::vector<Bytes> prefixes32 = {{}, {0x66}, {0x67}, {0xF2}, {0xF3}, {0xF0}, {0x66, 0x67}, {0x26},
                                           {0x66, 0xF2}, {0xF3, 0x66}, {0xF2, 0xF3}};
    std::vector<Bytes> prefixes64 = prefixes32;
    for (Bytes rex : {Bytes{0x48}, Bytes{0x41}, Bytes{0x4F}, Bytes{0x66, 0x48}, Bytes{0x48, 0x66}, Bytes{0xF3, 0x48},
                      Bytes{0xF0, 0x48}, Bytes{0x67, 0x48}})
        prefixes64.push_back(rex);
    // Without prefixes every ModRM byte; with them, every reg with the forms
    // that change the length: [reg], SIB, disp32 or RIP, disp8 with SIB,
    // disp32 with SIB, disp32, and registers.
    std::vector<uint8_t> someModRM;
    for (int reg = 0; reg < 8; ++reg)
        for (uint8_t form : {0x00, 0x04, 0x05, 0x44, 0x84, 0x85, 0xC0, 0xC7}) someModRM.push_back(uint8_t(form | reg << 3));

    for (CodeMode mode : {CodeMode::k32, CodeMode::k64})
        for (const Bytes& prefix : mode == CodeMode::k64 ? prefixes64 : prefixes32)
            for (const Bytes& map : maps)
                for (int op = 0; op < 256; ++op) {
                    auto one = [&](uint8_t modrm) {
                        uint8_t sib = (modrm >> 3) & 1 ? 0x25 : 0x24;  // base 5: disp32 with mod 0
                        Check(Cat(Cat(prefix, map), {uint8_t(op), modrm, sib, 0x0A}), mode);
                    };
                    if (prefix.empty()) {
                        for (int modrm = 0; modrm < 256; ++modrm) one(uint8_t(modrm));
                    } else {
                        for (uint8_t modrm : someModRM) one(modrm);
                    }
                }
}

TEST_F(DecoderOracle, SeededRandomInstructions) {
    std::mt19937 rng(20240611);
    const uint8_t pool[] = {0x66, 0x67, 0xF0, 0xF2, 0xF3, 0x2E, 0x3E, 0x26, 0x64, 0x65, 0x40, 0x41, 0x44, 0x48, 0x4C, 0x4F};
    for (CodeMode mode : {CodeMode::k32, CodeMode::k64})
        for (int n = 0; n < 200000; ++n) {
            Bytes b;
            for (int p = int(rng() % 4); p > 0; --p) b.push_back(pool[rng() % sizeof pool]);
            switch (rng() % 8) {
                case 0: case 1: b.push_back(0x0F); break;
                case 2: b.insert(b.end(), {0x0F, 0x38}); break;
                case 3: b.insert(b.end(), {0x0F, 0x3A}); break;
                default: break;
            }
            for (int i = 0; i < 12; ++i) b.push_back(uint8_t(rng()));
            Check(b, mode);
        }
}

}  // namespace
