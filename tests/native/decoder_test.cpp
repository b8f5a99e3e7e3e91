#include "crashtrap/core/decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string Hex(const Bytes& b) {
    std::string out;
    char buf[4];
    for (uint8_t x : b) {
        std::snprintf(buf, sizeof buf, "%02X ", x);
        out += buf;
    }
    return out;
}

// Decodes exactly these bytes, from a heap block of their size so that the
// sanitizer catches any read past them.
size_t Length(const Bytes& b, CodeMode mode = CodeMode::k32) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[b.size() ? b.size() : 1]);
    std::copy(b.begin(), b.end(), exact.get());
    return InstructionLength(exact.get(), b.size(), mode);
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Zeros(size_t n) { return Bytes(n, 0); }

struct Case {
    Bytes bytes;  // the instruction; a trailing filler byte is added when decoding
    size_t length;
};

void ExpectLengths(const std::vector<Case>& cases, CodeMode mode = CodeMode::k32) {
    for (const Case& c : cases) {
        // The decoder must stop at the instruction's end, whatever follows.
        EXPECT_EQ(Length(Cat(c.bytes, {0x0A}), mode), c.length) << Hex(c.bytes);
        EXPECT_EQ(Length(Cat(c.bytes, {0x90, 0x90}), mode), c.length) << Hex(c.bytes);
    }
}

TEST(Decoder, OneByteForms) {
    ExpectLengths({
        {{0x90}, 1}, {{0xC3}, 1}, {{0xCC}, 1}, {{0xCD, 0x21}, 2}, {{0x6A, 0x05}, 2},
        {Cat({0x68}, Zeros(4)), 5}, {{0x40}, 1}, {{0x5F}, 1}, {{0x74, 0xFE}, 2}, {{0xEB, 0x00}, 2},
        {{0xE4, 0x60}, 2}, {{0xE7, 0x60}, 2}, {{0xEC}, 1}, {{0xA4}, 1}, {{0xCA, 0x08, 0x00}, 3},
        {{0x04, 0x01}, 2}, {Cat({0x3D}, Zeros(4)), 5}, {{0xA8, 0x01}, 2}, {Cat({0xA9}, Zeros(4)), 5},
        {{0xB0, 0x01}, 2}, {{0xE3, 0x10}, 2},
    });
}

TEST(Decoder, ModRMWithSibAndDisplacement) {
    ExpectLengths({
        {{0x8B, 0x44, 0x24, 0x10}, 4},                // SIB, 1-byte displacement
        {Cat({0x8B, 0x04, 0x25}, Zeros(4)), 7},       // SIB with base 5 and mod 0
        {Cat({0x8B, 0x05}, Zeros(4)), 6},             // absolute address
        {{0x8B, 0xC0}, 2},                            // register
        {{0x8B, 0x04, 0x24}, 3},                      // SIB, base esp, no displacement
        {Cat({0x8B, 0x84, 0x24}, Zeros(4)), 7},       // SIB, 4-byte displacement
        {{0x8B, 0x45, 0xFC}, 3},                      // [ebp-4]
        {Cat({0x8B, 0x85}, Zeros(4)), 6},             // [ebp+disp32]
        {Cat({0x8B, 0x44, 0x8D}, Zeros(1)), 4},       // [ebp+ecx*4+disp8]: base 5 with mod 1
        {{0x8D, 0x04, 0x8D, 0, 0, 0, 0}, 7},          // LEA with index and no base
    });
}

TEST(Decoder, SixteenBitAddressing) {
    ExpectLengths({
        {{0x67, 0x8B, 0x46, 0x10}, 4},                // [bp+disp8]
        {{0x67, 0x8B, 0x06, 0x00, 0x00}, 5},          // [disp16]
        {{0x67, 0x8B, 0x04}, 3},                      // [si]: rm 4 has no SIB here
        {{0x67, 0x8B, 0x05}, 3},                      // [di]: rm 5 has no displacement here
        {{0x67, 0x8B, 0x87, 0x00, 0x00}, 5},          // [bx+disp16]
        {{0x67, 0xA1, 0x00, 0x00}, 4},                // memory offset
        {{0x67, 0xE8, 0x00, 0x00}, 4},                // near call
        {{0x67, 0x0F, 0x84, 0x00, 0x00}, 5},          // near Jcc
    });
}

TEST(Decoder, ImmediateSizes) {
    ExpectLengths({
        {{0x66, 0xB8, 0x00, 0x00}, 4}, {Cat({0xB8}, Zeros(4)), 5},
        {{0x66, 0x81, 0xC0, 0x00, 0x00}, 5}, {Cat({0x81, 0xC0}, Zeros(4)), 6}, {{0x83, 0xC0, 0x05}, 3},
        {{0xC8, 0x10, 0x00, 0x01}, 4}, {{0xC2, 0x08, 0x00}, 3}, {Cat({0xA1}, Zeros(4)), 5},
        {Cat({0xE8}, Zeros(4)), 5}, {Cat({0x66, 0xE8}, Zeros(4)), 6}, {Cat({0xE9}, Zeros(4)), 5},
        {Cat({0x9A}, Zeros(6)), 7}, {Cat({0x66, 0x9A}, Zeros(4)), 6}, {Cat({0xEA}, Zeros(6)), 7},
        {{0xC6, 0x00, 0x01}, 3}, {Cat({0xC7, 0x00}, Zeros(4)), 6}, {{0x66, 0xC7, 0x00, 0x01, 0x00}, 5},
        {{0x69, 0xC0, 0, 0, 0, 0}, 6}, {{0x6B, 0xC0, 0x02}, 3}, {{0xC1, 0xE0, 0x02}, 3},
        {{0x66, 0x6A, 0x01}, 3},                      // a byte immediate ignores 66
        {Cat({0x66, 0x67, 0x81, 0x46, 0x10}, Zeros(2)), 7},
        {Cat({0x67, 0x66, 0x69, 0x46, 0x10}, Zeros(2)), 7},
    });
}

TEST(Decoder, GroupsAndAsciiAdjust) {
    ExpectLengths({
        {{0xD4, 0x0A}, 2}, {{0xD4, 0x05}, 1}, {{0xD5, 0x0A}, 2}, {{0xD5, 0x10}, 1},
        {{0xF6, 0xC8, 0x0A}, 2},                      // F6 reg 1: undefined, no immediate
        {{0xF6, 0xC0, 0x0A}, 3},                      // TEST r/m8, imm8
        {{0xF6, 0xD0}, 2},                            // NOT
        {Cat({0xF7, 0xC0}, Zeros(4)), 6}, {{0x66, 0xF7, 0xC0, 0, 0}, 5}, {{0xF7, 0xC8}, 2}, {{0xF7, 0xF1}, 2},
        {Cat({0xF7, 0x05}, Zeros(8)), 10},            // TEST [disp32], imm32
        {{0xF7, 0x44, 0x24, 0x04, 0, 0, 0, 0}, 8},
        {{0xFF, 0xD0}, 2}, {Cat({0xFF, 0x15}, Zeros(4)), 6}, {{0xFF, 0x74, 0x24, 0x04}, 4}, {{0xFF, 0xF8}, 2},
        {{0xFE, 0xC0}, 2}, {{0x8F, 0x00}, 2}, {{0xD1, 0xE0}, 2},
        {{0x0F, 0x01, 0x15, 0, 0, 0, 0}, 7}, {{0x0F, 0x01, 0xE8}, 3}, {{0x0F, 0x00, 0xC0}, 3},
    });
}

TEST(Decoder, TwoByteOpcodes) {
    ExpectLengths({
        {{0x0F, 0x40, 0xC0}, 2},                      // conditional moves are unknown: two bytes
        {{0x0F, 0x05}, 2}, {{0x0F, 0x06}, 2}, {{0x0F, 0xB6, 0xC0}, 3}, {Cat({0x0F, 0x84}, Zeros(4)), 6},
        {Cat({0x0F, 0x8F}, Zeros(4)), 6}, {Cat({0x66, 0x0F, 0x80}, Zeros(4)), 7},
        {{0x0F, 0xBA, 0xE0, 0x05}, 4}, {Cat({0x0F, 0x20, 0x05}, Zeros(4)), 7}, {{0x0F, 0x22, 0xC0}, 3},
        {{0x0F, 0x26, 0x44, 0x24, 0x01}, 5}, {{0x0F, 0x31}, 2}, {{0x0F, 0xA2}, 2}, {{0x0F, 0xC8}, 2},
        {{0x0F, 0xCF}, 2}, {{0x0F, 0x90, 0xC0}, 3}, {{0x0F, 0xA4, 0xC0, 0x01}, 4}, {{0x0F, 0xAC, 0xC0, 0x01}, 4},
        {{0x0F, 0xA5, 0xC0}, 3}, {{0x0F, 0xAF, 0x45, 0x08}, 4}, {{0x0F, 0xB1, 0x0A}, 3}, {{0x0F, 0xC7, 0x0E}, 3},
        {{0x0F, 0xC1, 0x03}, 3}, {{0x0F, 0xBF, 0x06}, 3}, {{0x0F, 0x02, 0xC0}, 3}, {{0x0F, 0xA6, 0xC0}, 3},
    });
}

TEST(Decoder, UndefinedOpcodesAreTheirOpcodeBytesAlone) {
    ExpectLengths({
        {{0x82}, 1}, {{0xD6}, 1}, {{0xF1}, 1},
        // undefined entries inside the packed two-byte ranges
        {{0x0F, 0x04}, 2}, {{0x0F, 0x25}, 2}, {{0x0F, 0x7F}, 2}, {{0x0F, 0xAE}, 2}, {{0x0F, 0xB8}, 2},
        {{0x0F, 0xB9}, 2}, {{0x0F, 0xC2}, 2}, {{0x0F, 0xC3}, 2}, {{0x0F, 0xC4}, 2}, {{0x0F, 0xC5}, 2},
        {{0x0F, 0xC6}, 2},
    });
    // Every second byte outside the packed ranges: two bytes, no ModRM.
    for (int b = 0; b < 256; ++b) {
        bool packed = b <= 0x06 || (b >= 0x20 && b <= 0x26) || (b >= 0x30 && b <= 0x32) || (b >= 0x7F && b <= 0xCF);
        if (packed) continue;
        EXPECT_EQ(Length({0x0F, uint8_t(b), 0x05, 0, 0, 0, 0}), 2u) << "0F " << b;
    }
}

TEST(Decoder, X87Escapes) {
    ExpectLengths({
        {{0xD9, 0xE8}, 2}, {Cat({0xDD, 0x05}, Zeros(4)), 6}, {{0xD9, 0x45, 0xFC}, 3}, {{0xDF, 0x2C, 0x24}, 3},
        {{0x67, 0xDD, 0x06, 0x00, 0x00}, 5}, {{0x66, 0xD9, 0x30}, 3}, {{0xDD, 0x7D, 0xFC}, 3},
        // undefined forms keep the escape and ModRM form
        {{0xD9, 0x08}, 2}, {{0xDB, 0x64, 0x24, 0x04}, 4}, {Cat({0xDD, 0xAD}, Zeros(4)), 6}, {{0xDF, 0x0C, 0x24}, 3},
        {{0xD9, 0xE2}, 2}, {{0xD9, 0xEF}, 2}, {{0xDA, 0xC0}, 2}, {{0xDF, 0xF0}, 2},
    });

    // Memory forms: every reg of every escape takes exactly its addressing bytes.
    struct Form {
        Bytes prefix;
        uint8_t modrm;  // reg 0; the loop sets it
        Bytes after;
        size_t length;
    };
    const Form forms[] = {
        {{}, 0x00, {}, 2},                            // [eax]
        {{}, 0x05, Zeros(4), 6},                      // [disp32]
        {{}, 0x45, {0xF8}, 3},                        // [ebp-8]
        {{}, 0x85, Zeros(4), 6},                      // [ebp+disp32]
        {{}, 0x04, {0x24}, 3},                        // [esp]
        {{}, 0x44, {0x24, 0x08}, 4},                  // [esp+8]
        {{}, 0x84, Cat({0x24}, Zeros(4)), 7},         // [esp+disp32]
        {{}, 0x04, Cat({0x25}, Zeros(4)), 7},         // [disp32] through SIB base 5
        {{}, 0x04, Cat({0x8D}, Zeros(4)), 7},         // [ecx*4+disp32]
        {{}, 0x44, {0x8D, 0x10}, 4},                  // [ebp+ecx*4+16]
        {{0x67}, 0x06, {0x00, 0x00}, 5},              // [disp16]
        {{0x67}, 0x46, {0x10}, 4},                    // [bp+16]
        {{0x67}, 0x84, {0x00, 0x00}, 5},              // [si+disp16]
        {{0x67}, 0x04, {}, 3},                        // [si]: no SIB
        {{0x26}, 0x05, Zeros(4), 7},                  // segment override
    };
    for (int esc = 0xD8; esc <= 0xDF; ++esc)
        for (int reg = 0; reg < 8; ++reg)
            for (const Form& f : forms) {
                Bytes b = Cat(Cat(f.prefix, {uint8_t(esc), uint8_t(f.modrm | reg << 3)}), f.after);
                ASSERT_EQ(b.size(), f.length);
                EXPECT_EQ(Length(Cat(b, {0x05, 0, 0, 0, 0})), f.length) << Hex(b);
                EXPECT_EQ(Length(b), f.length) << Hex(b);
                EXPECT_EQ(Length(Bytes(b.begin(), b.end() - 1)), 0u) << Hex(b);
            }

    // Register forms, D9 E0-FF among them: the escape and ModRM byte alone,
    // whatever follows.
    for (int esc = 0xD8; esc <= 0xDF; ++esc)
        for (int modrm = 0xC0; modrm <= 0xFF; ++modrm) {
            Bytes b = {uint8_t(esc), uint8_t(modrm)};
            EXPECT_EQ(Length(Cat(b, {0x05, 0x24, 0, 0, 0, 0})), 2u) << Hex(b);
            EXPECT_EQ(Length(b), 2u) << Hex(b);
            EXPECT_EQ(Length({uint8_t(esc)}), 0u);
        }
}

TEST(Decoder, PrefixesInAnyNumberAndOrder) {
    ExpectLengths({
        {{0xF0, 0xF3, 0x2E, 0x66, 0xA5}, 5},
        {{0x26, 0x36, 0x3E, 0x64, 0x65, 0x2E, 0x90}, 7},
        {{0xF2, 0xAE}, 2}, {{0xF3, 0x0F, 0xB8}, 3}, {{0x64, 0xA1, 0, 0, 0, 0}, 6},
        {{0x66, 0x66, 0x66, 0xB8, 0, 0}, 6},          // 66 repeated keeps its effect
        {{0x67, 0x66, 0xE8, 0, 0}, 5}, {{0x66, 0x67, 0xA3, 0, 0}, 5},
        {Cat({0x64, 0x67, 0x66, 0xC7, 0x46, 0x10}, Zeros(2)), 8},
    });
    Bytes many(40, 0x26);
    many.push_back(0x90);
    EXPECT_EQ(Length(many), 41u);
}

TEST(Decoder, RefusesInstructionsThatRunPastTheBytes) {
    const Bytes whole[] = {
        {0x90}, {0xCD, 0x21}, Cat({0x68}, Zeros(4)), {0x8B, 0x44, 0x24, 0x10}, Cat({0x8B, 0x04, 0x25}, Zeros(4)),
        {0x67, 0x8B, 0x06, 0, 0}, Cat({0x9A}, Zeros(6)), {0xC8, 0, 0, 0}, {0xF0, 0xF3, 0x2E, 0x66, 0xA5},
        Cat({0x0F, 0x84}, Zeros(4)), {0x0F, 0xBA, 0xE0, 0x05}, {0xF6, 0xC0, 0x0A}, {0xD4, 0x0A},
        Cat({0xF7, 0x05}, Zeros(8)),
    };
    for (const Bytes& b : whole) {
        EXPECT_EQ(Length(b), b.size()) << Hex(b);
        for (size_t cut = 0; cut < b.size(); ++cut)
            EXPECT_EQ(Length(Bytes(b.begin(), b.begin() + cut)), 0u) << Hex(b) << "cut to " << cut;
    }
    // AAM's length depends on the byte after it: without that byte it is unknown.
    EXPECT_EQ(Length({0xD4}), 0u);
    EXPECT_EQ(InstructionLength(nullptr, 0), 0u);
}

TEST(Decoder, EveryOneByteOpcodeDecodesWithinFifteenBytes) {
    // With a ModRM byte that brings a SIB byte and a 4-byte displacement and
    // with 66 and 67 in front, no instruction may claim more than 15 bytes.
    for (int op = 0; op < 256; ++op) {
        for (const Bytes& prefix : {Bytes{}, Bytes{0x66}, Bytes{0x67}, Bytes{0x66, 0x67}}) {
            Bytes b = Cat(Cat(prefix, {uint8_t(op), 0x84, 0x24}), Zeros(20));
            size_t n = Length(b);
            EXPECT_GE(n, prefix.size() + 1) << Hex(b);
            EXPECT_LE(n, 15u) << Hex(b);
        }
    }
}

// 64-bit mode. A length of 0 is a refusal: the trap then ends in order
// instead of stepping to a wrong address.

void ExpectLengths64(const std::vector<Case>& cases) { ExpectLengths(cases, CodeMode::k64); }

TEST(Decoder64, RexPrefixes) {
    ExpectLengths64({
        {{0x48, 0x89, 0xC8}, 3}, {{0x41, 0x50}, 2}, {{0x48, 0x90}, 2}, {{0x48, 0x8B, 0x44, 0x24, 0x08}, 5},
        {{0x4F, 0x8B, 0x44, 0xA5, 0x08}, 5},          // REX.B and REX.X change no length
        {{0x41, 0x8B, 0x45, 0x00}, 4},                // r13 as base still needs its displacement
        {{0x48, 0x66, 0xB8, 0, 0}, 5},                // a prefix after REX cancels it: 66 gives imm16
        {{0x48, 0x40, 0xB8, 0, 0, 0, 0}, 7},          // only the last REX counts
        {{0x66, 0x48, 0x81, 0xC0, 0, 0, 0, 0}, 8},    // REX.W beats 66: imm32
        {{0x48, 0x63, 0xC1}, 3},                      // MOVSXD, not ARPL
    });
    EXPECT_EQ(Length({0x48, 0x90}), 1u);              // DEC EAX in 32-bit mode
}

TEST(Decoder64, ImmediatesOffsetsAndAddressing) {
    ExpectLengths64({
        {Cat({0x48, 0xB8}, Zeros(8)), 10}, {Cat({0x49, 0xBF}, Zeros(8)), 10}, {Cat({0x41, 0xB8}, Zeros(4)), 6},
        {{0x66, 0xB8, 0, 0}, 4}, {Cat({0x48, 0xC7, 0xC0}, Zeros(4)), 7}, {Cat({0x48, 0x05}, Zeros(4)), 6},
        {{0x66, 0x68, 0, 0}, 4}, {Cat({0x68}, Zeros(4)), 5}, {{0xC8, 0x10, 0x00, 0x01}, 4},
        {Cat({0xA1}, Zeros(8)), 9}, {Cat({0x48, 0xA3}, Zeros(8)), 10},  // 8-byte memory offsets
        {Cat({0x67, 0xA0}, Zeros(4)), 6}, {Cat({0x67, 0x48, 0xA1}, Zeros(4)), 7},
        {Cat({0x8B, 0x05}, Zeros(4)), 6}, {Cat({0x48, 0x8D, 0x0D}, Zeros(4)), 7},  // RIP-relative
        {Cat({0xC7, 0x05}, Zeros(8)), 10},            // RIP-relative with an immediate
        {{0x67, 0x8B, 0x06}, 3},                      // 67 gives 32-bit addresses: [esi], no disp16
        {Cat({0x67, 0x8B, 0x05}, Zeros(4)), 7}, {{0x67, 0x8B, 0x04, 0x24}, 4},
        {Cat({0x42, 0x8B, 0x04, 0x25}, Zeros(4)), 8},
    });
}

TEST(Decoder64, Branches) {
    ExpectLengths64({
        {Cat({0xE8}, Zeros(4)), 5}, {Cat({0x0F, 0x84}, Zeros(4)), 6}, {Cat({0x67, 0xE8}, Zeros(4)), 6},
        {Cat({0x48, 0xE9}, Zeros(4)), 6}, {Cat({0x66, 0x48, 0xE9}, Zeros(4)), 7}, {{0x66, 0xEB, 0x10}, 3},
        {Cat({0xFF, 0x15}, Zeros(4)), 6}, {Cat({0xFF, 0x1D}, Zeros(4)), 6}, {{0x41, 0xFF, 0xE3}, 3},
        // Intel ignores 66 here, AMD takes a 2-byte displacement.
        {Cat({0x66, 0xE8}, Zeros(4)), 0}, {Cat({0x66, 0x0F, 0x85}, Zeros(4)), 0}, {Cat({0x48, 0x66, 0xE9}, Zeros(4)), 0},
        {{0xFF, 0xD8}, 0},                            // far CALL through a register
    });
}

TEST(Decoder64, OpcodesLongModeDoesNotHave) {
    for (uint8_t op : {0x06, 0x07, 0x0E, 0x16, 0x17, 0x1E, 0x1F, 0x27, 0x2F, 0x37, 0x3F, 0x60, 0x61, 0x62,
                       0x82, 0x9A, 0xCE, 0xD4, 0xD5, 0xD6, 0xEA}) {
        Bytes b = {op, 0x0A, 0, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(Length(b, CodeMode::k64), 0u) << Hex(b);
        EXPECT_NE(Length(b), 0u) << Hex(b);
    }
    ExpectLengths64({
        // VEX and XOP prefixes are refused; 8F with reg 0 is POP.
        {{0xC5, 0xF8, 0x77}, 0}, {{0xC4, 0xE2, 0x79, 0x00, 0xC0}, 0}, {{0x8F, 0xE8, 0x78, 0xC0, 0xC1, 0}, 0},
        {{0x8F, 0xC0}, 2}, {{0x41, 0x8F, 0x00}, 3},
        // undefined group members and forms
        {{0xF6, 0xC8, 0x0A}, 0}, {{0xFE, 0xD0}, 0}, {{0x8E, 0xC8}, 0}, {{0x8D, 0xC0}, 0}, {{0xC6, 0xC8, 0x01}, 0},
        {{0xF6, 0xC0, 0x0A}, 3}, {Cat({0xF7, 0x05}, Zeros(8)), 10},
    });
}

TEST(Decoder64, TwoAndThreeByteOpcodes) {
    ExpectLengths64({
        {{0x0F, 0x10, 0x07}, 3}, {{0xF3, 0x0F, 0x10, 0x45, 0xF8}, 5}, {Cat({0x66, 0x0F, 0x6F, 0x05}, Zeros(4)), 8},
        {{0xF2, 0x48, 0x0F, 0x2A, 0xC0}, 5}, {{0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 6},
        {{0x66, 0x0F, 0x38, 0x00, 0x04, 0x24}, 6}, {{0x0F, 0x44, 0xC1}, 3}, {{0x66, 0x0F, 0xC6, 0xC1, 0x1B}, 5},
        {{0xF3, 0x0F, 0x1E, 0xFA}, 4},                // ENDBR64
        {{0x0F, 0x1F, 0x44, 0x00, 0x00}, 5}, {Cat({0x66, 0x2E, 0x0F, 0x1F, 0x84, 0x00}, Zeros(4)), 10},
        {{0x0F, 0x0B}, 2}, {{0x0F, 0x05}, 2}, {{0xF3, 0x48, 0x0F, 0xB8, 0xC1}, 5}, {{0x0F, 0xAE, 0x10}, 3},
        {{0xF0, 0x48, 0x0F, 0xB1, 0x0A}, 5}, {{0x48, 0x0F, 0xC7, 0x0E}, 4}, {{0x0F, 0xBA, 0xE0, 0x05}, 4},
        // prefix forms that make no instruction, or processors read differently
        {{0xF2, 0x0F, 0x28, 0xC1}, 0}, {{0x66, 0xF3, 0x0F, 0x10, 0xC1}, 0}, {{0xF3, 0x0F, 0xAF, 0xC1}, 0},
        {{0x66, 0x0F, 0xD7, 0x00}, 0}, {{0x0F, 0x50, 0x00}, 0},
        // opcodes the table does not know: no "two bytes alone" rule here
        {{0x0F, 0x0F, 0xC1, 0xB4}, 0}, {{0x0F, 0xB9, 0xC0}, 0}, {{0x0F, 0x20, 0xC0}, 0}, {{0x0F, 0x38, 0x50, 0xC0}, 0},
    });
}

TEST(Decoder64, X87AndTheFifteenByteLimit) {
    ExpectLengths64({
        {Cat({0xDD, 0x05}, Zeros(4)), 6}, {{0xDB, 0x0C, 0x24}, 3}, {{0xDB, 0xE9}, 2}, {{0xDA, 0xC1}, 2},
        {{0xD9, 0xE8}, 2}, {{0x48, 0xDF, 0x3C, 0x24}, 4},
        {{0xD9, 0xD1}, 0}, {{0xDD, 0xC8}, 0}, {{0xD9, 0x08}, 0},  // undefined forms
        {Cat(Bytes(4, 0x66), Cat({0x48, 0xB8}, Zeros(8))), 14},
    });
    Bytes fifteen(14, 0x2E);
    fifteen.push_back(0x90);
    EXPECT_EQ(Length(fifteen, CodeMode::k64), 15u);
    fifteen.insert(fifteen.begin(), 0x2E);
    EXPECT_EQ(Length(fifteen, CodeMode::k64), 0u);    // #GP on the processor
    EXPECT_EQ(Length(fifteen), 16u);

    // Cut off anywhere, an instruction is refused.
    const Bytes whole[] = {Cat({0x48, 0xB8}, Zeros(8)), Cat({0x67, 0x48, 0xA1}, Zeros(4)),
                           Cat({0x66, 0x0F, 0x6F, 0x05}, Zeros(4)), {0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}};
    for (const Bytes& b : whole) {
        EXPECT_EQ(Length(b, CodeMode::k64), b.size()) << Hex(b);
        for (size_t cut = 0; cut < b.size(); ++cut)
            EXPECT_EQ(Length(Bytes(b.begin(), b.begin() + cut), CodeMode::k64), 0u) << Hex(b) << "cut to " << cut;
    }
}

}  // namespace
