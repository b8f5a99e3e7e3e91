#include "tests/native/decoder_oracle.h"

#include <Zydis/Zydis.h>
#include <capstone/capstone.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace {

struct Zydis {
    ZydisDecoder intel, amd;
    explicit Zydis(CodeMode mode) {
        bool longMode = mode == CodeMode::k64;
        ZydisDecoderInit(&intel, longMode ? ZYDIS_MACHINE_MODE_LONG_64 : ZYDIS_MACHINE_MODE_LEGACY_32,
                         longMode ? ZYDIS_STACK_WIDTH_64 : ZYDIS_STACK_WIDTH_32);
        // AMD takes 66 before a near branch in 64-bit mode as a 16-bit
        // displacement, Intel ignores it: where the two disagree, no length is right.
        amd = intel;
        ZydisDecoderEnableMode(&amd, ZYDIS_DECODER_MODE_AMD_BRANCHES, ZYAN_TRUE);
    }
};

const Zydis& ZydisFor(CodeMode mode) {
    static const Zydis z32(CodeMode::k32), z64(CodeMode::k64);
    return mode == CodeMode::k64 ? z64 : z32;
}

struct OracleResult {
    ZyanStatus status;
    size_t length;  // 0 when it refuses
};

OracleResult Decode(const ZydisDecoder& d, const uint8_t* code, size_t size) {
    ZydisDecodedInstruction in;
    ZyanStatus s = ZydisDecoderDecodeInstruction(&d, nullptr, code, size, &in);
    return {s, ZYAN_SUCCESS(s) ? in.length : size_t(0)};
}

bool IsLegacyPrefix(uint8_t b) {
    switch (b) {
        case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:
        case 0x66: case 0x67: case 0xF0: case 0xF2: case 0xF3:
            return true;
        default:
            return false;
    }
}

// The prefix bytes in front of the opcode (REX counts as one in 64-bit mode).
size_t PrefixCount(const uint8_t* code, size_t size, CodeMode mode) {
    size_t p = 0;
    while (p < size && (IsLegacyPrefix(code[p]) || (mode == CodeMode::k64 && (code[p] & 0xF0) == 0x40))) ++p;
    return p;
}

bool Has66(const uint8_t* code, size_t prefixes) { return std::find(code, code + prefixes, 0x66) != code + prefixes; }

// Is the second byte of a 0F opcode one the 32-bit table counts as the two
// opcode bytes alone (outside its packed entries, or undefined there)?
bool UnknownTwoByte32(uint8_t b) {
    bool packed = b <= 0x06 || (b >= 0x20 && b <= 0x26) || (b >= 0x30 && b <= 0x32) || (b >= 0x7F && b <= 0xCF);
    if (!packed) return true;
    switch (b) {
        case 0x04: case 0x25: case 0x7F: case 0xAE: case 0xB8: case 0xB9:
        case 0xC2: case 0xC3: case 0xC4: case 0xC5: case 0xC6:
            return true;
        default:
            return false;
    }
}

const char* RefusalName(ZyanStatus s) {
    switch (s) {
        case ZYDIS_STATUS_DECODING_ERROR: return "oracle refuses: invalid opcode";
        case ZYDIS_STATUS_BAD_REGISTER: return "oracle refuses: invalid register";
        case ZYDIS_STATUS_ILLEGAL_LEGACY_PFX: return "oracle refuses: prefix before VEX";
        case ZYDIS_STATUS_INVALID_MAP: return "oracle refuses: invalid VEX/EVEX map";
        case ZYDIS_STATUS_MALFORMED_EVEX: return "oracle refuses: malformed EVEX";
        case ZYDIS_STATUS_INVALID_MASK: return "oracle refuses: invalid EVEX mask";
        default: return "oracle refuses: other";
    }
}

// A copy of the bytes with `count` of them at `at` replaced by `with`
// (nothing: removed).
struct Variant {
    uint8_t bytes[kOracleInput * 2] = {};
    size_t size = 0;
    Variant(const uint8_t* code, size_t n, size_t at, size_t count, std::initializer_list<uint8_t> with) {
        n = std::min(n, sizeof bytes - with.size());
        std::memcpy(bytes, code, at);
        std::copy(with.begin(), with.end(), bytes + at);
        std::memcpy(bytes + at + with.size(), code + at + count, n - at - count);
        size = n - count + with.size();
    }
};

// The 32-bit table sizes a near branch's displacement by the address size
// (67), processors by the operand size (66).
const char* NearBranch32(const uint8_t* code, size_t prefixes, size_t ours, size_t oracle) {
    bool by66 = Has66(code, prefixes), by67 = std::find(code, code + prefixes, 0x67) != code + prefixes;
    if (by66 && !by67 && ours == oracle + 2) return "near branch sized by 67, not 66";
    if (by67 && !by66 && ours + 2 == oracle) return "near branch sized by 67, not 66";
    return nullptr;
}

// The 32-bit table's own lengths where they differ from the oracle's: each
// class names a layout the table deliberately keeps (see decoder.cpp), and
// is checked against it. Where the table reads a plain ModRM form, its
// length must be that of MOV r32, r/m32 (8B) with the same bytes, on which
// the oracle agrees.
const char* Quirk32(const uint8_t* code, size_t size, size_t ours, size_t oracle) {
    const CodeMode k32 = CodeMode::k32;
    size_t p = PrefixCount(code, size, k32);
    if (p + 3 >= size) return nullptr;
    uint8_t op = code[p], next = code[p + 1];
    uint8_t mod = next >> 6, reg = (next >> 3) & 7;
    auto plainModRM = [&](size_t opcodeBytes) {
        Variant v(code, size, p, opcodeBytes, {0x8B});
        size_t ofMov = InstructionLength(v.bytes, v.size, k32);
        OracleResult mov = Decode(ZydisFor(k32).intel, v.bytes, v.size);
        bool tooLong = mov.status == ZYDIS_STATUS_INSTRUCTION_TOO_LONG && ofMov > 15;
        return mov.length == ofMov || tooLong ? ofMov : 0;
    };
    if (op == 0x0F) {
        if (UnknownTwoByte32(next)) return ours == p + 2 ? "unknown 0F opcode: two bytes" : nullptr;
        // The oracle reads ModRM as a register whatever its mod.
        if (next >= 0x20 && next <= 0x26 && code[p + 2] >> 6 != 3)
            return plainModRM(2) + 1 == ours && oracle == p + 3 ? "0F 20-26 with memory ModRM" : nullptr;
        if (next >= 0x80 && next <= 0x8F) return NearBranch32(code, p, ours, oracle);
        return nullptr;
    }
    if (op == 0x82) return ours == p + 1 ? "82 as one byte" : nullptr;
    if ((op == 0xD4 || op == 0xD5) && next != 0x0A) return ours == p + 1 ? "AAM/AAD without 0A" : nullptr;
    if ((op == 0xF6 || op == 0xF7) && reg == 1) {
        size_t imm = op == 0xF6 ? 1 : Has66(code, p) ? 2 : 4;
        return ours + imm == oracle ? "F6/F7 reg 1 without immediate" : nullptr;
    }
    if (op == 0xE8 || op == 0xE9) return NearBranch32(code, p, ours, oracle);
    if (((op == 0xC4 || op == 0xC5 || op == 0x62) && mod == 3) || (op == 0x8F && reg != 0))
        return plainModRM(1) == ours ? "VEX/EVEX/XOP where the table has LES/LDS/BOUND/POP" : nullptr;
    return nullptr;
}

bool IsVexLike(const uint8_t* code, size_t size, size_t p) {
    if (p + 1 >= size) return false;
    uint8_t op = code[p], reg = (code[p + 1] >> 3) & 7;
    return op == 0xC4 || op == 0xC5 || op == 0x62 || (op == 0x8F && reg != 0);
}

// A prefix byte the instruction means the same without, one byte shorter:
// one that comes again later, or a segment override other than the last
// prefix (which may cancel a REX before it). Returns the prefix count when
// there is none.
size_t RedundantPrefix(const uint8_t* code, size_t prefixes) {
    for (size_t i = 0; i < prefixes; ++i) {
        if (std::find(code + i + 1, code + prefixes, code[i]) != code + prefixes) return i;
        bool segment = code[i] == 0x26 || code[i] == 0x2E || code[i] == 0x36 || code[i] == 0x3E || code[i] == 0x64 ||
                       code[i] == 0x65;
        if (segment && i + 1 < prefixes) return i;
    }
    return prefixes;
}

OracleVerdict Compare(const uint8_t* code, size_t size, CodeMode mode);

// The same comparison without a redundant prefix, which must shorten our
// length by one byte, or keep it at 0. Faults there are faults here.
OracleVerdict CompareShorter(const uint8_t* code, size_t size, CodeMode mode, size_t ours, size_t at) {
    Variant v(code, size, at, 1, {});
    OracleVerdict shorter = Compare(v.bytes, v.size, mode);
    size_t oursShorter = InstructionLength(v.bytes, v.size, mode);
    if (ours != 0 && oursShorter + 1 != ours) return {"lengths differ without a redundant prefix", true, ours, 0};
    return shorter;
}

// The oracle refuses LOCK before an instruction that cannot take it; so does
// the processor (#UD), but the bytes still make one instruction. With the
// LOCK bytes replaced by a neutral prefix (ES), which keeps every length, the
// two must agree.
OracleVerdict CompareWithoutLock(const uint8_t* code, size_t size, CodeMode mode, size_t ours, size_t oracle) {
    uint8_t copy[kOracleInput * 2];
    size_t n = std::min(size, sizeof copy);
    std::memcpy(copy, code, n);
    size_t p = PrefixCount(copy, n, mode);
    std::replace(copy, copy + p, uint8_t(0xF0), uint8_t(0x26));
    OracleVerdict v = Compare(copy, n, mode);
    if (v.fault || InstructionLength(copy, n, mode) != ours) return {"LOCK: lengths differ without it", true, ours, oracle};
    return {"LOCK where the processor rejects it", false, ours, oracle};
}

OracleVerdict Compare(const uint8_t* code, size_t size, CodeMode mode) {
    const Zydis& z = ZydisFor(mode);
    const size_t ours = InstructionLength(code, size, mode);
    const OracleResult intel = Decode(z.intel, code, size);
    const size_t oracle = intel.length;
    const bool longMode = mode == CodeMode::k64;
    const size_t prefixes = PrefixCount(code, size, mode);

    if (intel.status == ZYDIS_STATUS_ILLEGAL_LOCK && ours != 0)
        return CompareWithoutLock(code, size, mode, ours, oracle);

    // Over 15 bytes the oracle refuses (the processor raises #GP), and so
    // does 64-bit mode; 32-bit mode counts on. Shorter by a redundant prefix,
    // the instruction is compared again.
    if (intel.status == ZYDIS_STATUS_INSTRUCTION_TOO_LONG && ours != 0) {
        size_t at = RedundantPrefix(code, prefixes);
        if (at < prefixes) {
            OracleVerdict v = CompareShorter(code, size, mode, ours, at);
            return v.fault ? v : OracleVerdict{"longer than 15 bytes", false, ours, oracle};
        }
        return {"longer than 15 bytes", longMode || ours <= 15, ours, oracle};
    }

    if (longMode) {
        const size_t amd = Decode(z.amd, code, size).length;
        if (ours == 0 && oracle == 0) return {"both refuse", false, ours, oracle};
        if (ours == 0) {
            // A refusal hides no wrong length: without redundant prefixes
            // (ours might refuse as too long) the comparison must hold.
            size_t at = RedundantPrefix(code, prefixes);
            if (at < prefixes) {
                OracleVerdict v = CompareShorter(code, size, mode, ours, at);
                if (v.fault) return v;
            }
            if (IsVexLike(code, size, prefixes)) return {"ours refuses: VEX/EVEX/XOP", false, ours, oracle};
            if (amd != oracle) return {"ours refuses: Intel and AMD differ", false, ours, oracle};
            return {"ours refuses: not in the table", false, ours, oracle};
        }
        if (oracle == 0) return {"ours decodes what the oracle refuses", true, ours, oracle};
        if (ours != oracle || ours != amd) return {"different lengths", true, ours, oracle};
        return {"agree", false, ours, oracle};
    }

    if (ours == oracle) return {ours ? "agree" : "both refuse", false, ours, oracle};
    if (ours == 0) return {"ours refuses", true, ours, oracle};
    if (oracle == 0) return {RefusalName(intel.status), false, ours, oracle};
    if (const char* quirk = Quirk32(code, size, ours, oracle)) return {quirk, false, ours, oracle};
    return {"different lengths", true, ours, oracle};
}

}  // namespace

OracleVerdict CompareWithOracle(const uint8_t* code, size_t size, CodeMode mode) { return Compare(code, size, mode); }

OracleVerdict CompareWithCapstone(const uint8_t* code, size_t size, size_t ours) {
    struct Capstone {
        csh h = 0;
        cs_insn* insn = nullptr;
        Capstone() {
            cs_open(CS_ARCH_X86, CS_MODE_64, &h);
            insn = cs_malloc(h);
        }
        ~Capstone() {
            cs_free(insn, 1);
            cs_close(&h);
        }
    };
    static Capstone c;
    const uint8_t* p = code;
    size_t left = size;
    uint64_t address = 0;
    size_t length = cs_disasm_iter(c.h, &p, &left, &address, c.insn) ? c.insn->size : 0;
    if (length == ours) return {"Capstone agrees", false, ours, length};
    if (length == 0) return {"Capstone refuses", false, ours, length};
    // Capstone 4.0.2 sizes PUSH imm (68) by 66 after F2/F3, RET imm16 (C2)
    // after 66/67 with REX as imm32, and CALL rel32 (E8) after 67 with REX as
    // rel16; processors, Zydis and the manuals do not.
    size_t n = PrefixCount(code, size, CodeMode::k64);
    bool sized = std::any_of(code, code + n, [](uint8_t b) { return b == 0x66 || b == 0x67; });
    bool other = std::any_of(code, code + n, [](uint8_t b) { return b == 0xF2 || b == 0xF3 || (b & 0xF0) == 0x40; });
    uint8_t op = code[n];
    if (sized && other && (op == 0x68 || op == 0xC2 || op == 0xE8) && (length == ours + 2 || length + 2 == ours))
        return {"Capstone 4.0.2 misreads 66/67 with REX or F2/F3", false, ours, length};
    return {"Capstone differs", true, ours, length};
}

void OracleTally::Count(int table, std::string_view kind) {
    auto it = counts_[table].find(kind);
    if (it == counts_[table].end()) it = counts_[table].emplace(std::string(kind), 0).first;
    ++it->second;
}

void OracleTally::Print(std::FILE* out) const {
    const char* names[] = {"32-bit", "64-bit", "64-bit, where ours decodes, Capstone"};
    for (int m = 0; m < 3; ++m) {
        if (counts_[m].empty()) continue;
        uint64_t total = 0;
        for (const auto& [kind, n] : counts_[m]) total += n;
        std::fprintf(out, "%s: %llu inputs", names[m], static_cast<unsigned long long>(total));
        for (const auto& [kind, n] : counts_[m])
            std::fprintf(out, ", %llu %s", static_cast<unsigned long long>(n), kind.c_str());
        std::fprintf(out, "\n");
    }
}

std::string HexBytes(const uint8_t* code, size_t size) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", code[i]);
        out += buf;
    }
    return out;
}
