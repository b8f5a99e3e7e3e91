// Table-driven length decoding of IA-32 instructions as the 80486 and
// Pentium knew them: the one-byte map, the part of the 0F map those
// processors defined, the opcode groups and the x87 escapes.
//
// Every opcode has an operand class; a class is a short list of steps that
// consume instruction bytes or change the walk. Steps that would only pick
// registers or operand sizes do not change the length and are left out.
#include "crashtrap/core/decoder.h"

#if defined(_WIN32)
// The linker sorts input sections named ".text$..." by name, so code placed
// in ".text$decoder_1" lies between the markers in "_0" and "_2". All of the
// decoder's code is in the one function below (its helpers are forced
// inline), so the markers bracket it exactly.
#define DECODER_CODE __attribute__((section(".text$decoder_1")))
#define DECODER_MARKER(part) __attribute__((section(".text$decoder_" part), noinline))
#else
#define DECODER_CODE
#endif
#define DECODER_INLINE __attribute__((always_inline)) inline

namespace {

enum Step : uint8_t {
    kEnd,
    kModRM,          // the ModRM byte with its SIB byte and displacement; read once
    kImm8,           // byte immediate (also INT n and the port of IN/OUT)
    kImm16,          // word immediate
    kImmOperand,     // immediate of the operand size: 4 bytes, 2 after 66
    kMemOffset,      // memory offset of A0-A3: 4 bytes, 2 after 67
    kRel8,           // 8-bit relative displacement
    kRelNear,        // near relative displacement: 4 bytes, 2 after 67 (66 has no effect)
    kFarPointer,     // offset of the immediate size, then a 16-bit selector
    kAsciiAdjust,    // AAM/AAD: a following 0A belongs to it, any other byte does not
    kGroup,          // go on with the class of the group row at ModRM reg
    kX87,            // go on with the class of the x87 row chosen by the escape byte and ModRM
    kOperandPrefix,  // 66
    kAddressPrefix,  // 67
    kPrefix,         // segment overrides, LOCK, REP/REPNE
    kEscape0F,       // two-byte opcode
};

struct OperandClass {
    Step steps[2];
    uint8_t row;  // the group row of a kGroup step
};

// Operand classes. Short names keep the opcode map below readable as a grid.
enum Class : uint8_t {
    N,    // opcode byte(s) only
    U,    // undefined: opcode byte(s) only
    M,    // ModRM
    MB,   // ModRM, byte immediate
    MV,   // ModRM, operand-size immediate
    B,    // byte immediate
    W,    // word immediate
    V,    // operand-size immediate
    WB,   // word then byte immediate (ENTER)
    O,    // memory offset
    J8,   // short jump
    JN,   // near jump or call
    FP,   // far pointer
    AA,   // AAM, AAD
    GF6,  // group of F6 (byte TEST, NOT, NEG, MUL, IMUL, DIV, IDIV)
    GF7,  // group of F7 (the same on words and dwords)
    GFF,  // group of FF (INC, DEC, CALL, CALL far, JMP, JMP far, PUSH)
    G01,  // group of 0F 01 (descriptor tables, machine status word, INVLPG)
    X87,  // x87 escape D8-DF: ModRM, then the form's class from the x87 rows
    F,    // x87 form: nothing beyond the escape byte and its ModRM form
    FU,   // undefined x87 form: the same bytes as a defined one
    P66,  // operand-size prefix
    P67,  // address-size prefix
    PF,   // other prefixes
    ESC,  // 0F
    kClassCount
};

// Extension rows. Rows 0-15 are the x87 escapes D8-DF, two rows each: the
// memory forms (mod 0-2) and the register forms (mod 3), both by ModRM reg.
// Rows 16-19 split the register forms of D9 with reg 4-7 by rm, for their
// constants and transcendental functions. Rows 20-23 are the opcode groups,
// by ModRM reg.
constexpr uint8_t kRowD9Rm = 16;
enum GroupRow : uint8_t { kRowF6 = 20, kRowF7, kRowFF, kRow0F01, kRowCount };

// The packed opcode table: 256 one-byte opcodes, then the two-byte opcodes
// 0F 00-06, 0F 20-26, 0F 30-32 and 0F 7F-CF. Entries 273 and 274 lie between
// the packed ranges and are never looked up.
constexpr size_t kOpcodeEntries = 356;
constexpr uint16_t kUndefinedTwoByteEntry = 260;  // the entry of 0F 04

struct Tables {
    OperandClass classes[kClassCount];
    uint8_t opcodes[kOpcodeEntries];
    uint8_t rows[kRowCount][8];
};

#if defined(_WIN32)
__attribute__((section(".rdata$decoder_1")))
#endif
constexpr Tables kTables = {
    {
        /* N   */ {{kEnd, kEnd}, 0},
        /* U   */ {{kEnd, kEnd}, 0},
        /* M   */ {{kModRM, kEnd}, 0},
        /* MB  */ {{kModRM, kImm8}, 0},
        /* MV  */ {{kModRM, kImmOperand}, 0},
        /* B   */ {{kImm8, kEnd}, 0},
        /* W   */ {{kImm16, kEnd}, 0},
        /* V   */ {{kImmOperand, kEnd}, 0},
        /* WB  */ {{kImm16, kImm8}, 0},
        /* O   */ {{kMemOffset, kEnd}, 0},
        /* J8  */ {{kRel8, kEnd}, 0},
        /* JN  */ {{kRelNear, kEnd}, 0},
        /* FP  */ {{kFarPointer, kEnd}, 0},
        /* AA  */ {{kAsciiAdjust, kEnd}, 0},
        /* GF6 */ {{kModRM, kGroup}, kRowF6},
        /* GF7 */ {{kModRM, kGroup}, kRowF7},
        /* GFF */ {{kModRM, kGroup}, kRowFF},
        /* G01 */ {{kModRM, kGroup}, kRow0F01},
        /* X87 */ {{kModRM, kX87}, 0},
        /* F   */ {{kEnd, kEnd}, 0},
        /* FU  */ {{kEnd, kEnd}, 0},
        /* P66 */ {{kOperandPrefix, kEnd}, 0},
        /* P67 */ {{kAddressPrefix, kEnd}, 0},
        /* PF  */ {{kPrefix, kEnd}, 0},
        /* ESC */ {{kEscape0F, kEnd}, 0},
    },
    {
        //        0   1   2   3   4   5   6   7    8   9   A   B   C   D   E   F
        /* 00 */ M,  M,  M,  M,  B,  V,  N,  N,   M,  M,  M,  M,  B,  V,  N,  ESC,
        /* 10 */ M,  M,  M,  M,  B,  V,  N,  N,   M,  M,  M,  M,  B,  V,  N,  N,
        /* 20 */ M,  M,  M,  M,  B,  V,  PF, N,   M,  M,  M,  M,  B,  V,  PF, N,
        /* 30 */ M,  M,  M,  M,  B,  V,  PF, N,   M,  M,  M,  M,  B,  V,  PF, N,
        /* 40 */ N,  N,  N,  N,  N,  N,  N,  N,   N,  N,  N,  N,  N,  N,  N,  N,
        /* 50 */ N,  N,  N,  N,  N,  N,  N,  N,   N,  N,  N,  N,  N,  N,  N,  N,
        /* 60 */ N,  N,  M,  M,  PF, PF, P66,P67, V,  MV, B,  MB, N,  N,  N,  N,
        /* 70 */ J8, J8, J8, J8, J8, J8, J8, J8,  J8, J8, J8, J8, J8, J8, J8, J8,
        /* 80 */ MB, MV, U,  MB, M,  M,  M,  M,   M,  M,  M,  M,  M,  M,  M,  M,
        /* 90 */ N,  N,  N,  N,  N,  N,  N,  N,   N,  N,  FP, N,  N,  N,  N,  N,
        /* A0 */ O,  O,  O,  O,  N,  N,  N,  N,   B,  V,  N,  N,  N,  N,  N,  N,
        /* B0 */ B,  B,  B,  B,  B,  B,  B,  B,   V,  V,  V,  V,  V,  V,  V,  V,
        /* C0 */ MB, MB, W,  N,  M,  M,  MB, MV,  WB, N,  W,  N,  N,  B,  N,  N,
        /* D0 */ M,  M,  M,  M,  AA, AA, U,  N,   X87,X87,X87,X87,X87,X87,X87,X87,
        /* E0 */ J8, J8, J8, J8, B,  B,  B,  B,   JN, JN, FP, J8, N,  N,  N,  N,
        /* F0 */ PF, U,  PF, PF, N,  N,  GF6,GF7, N,  N,  N,  N,  N,  N,  M,  GFF,
        // 0F 00-06: group 6, group 7, LAR, LSL, -, LOADALL, CLTS
        /* 256 */ M,  G01, M,  M,  U,  N,  N,
        // 0F 20-26: moves to and from control, debug and test registers
        /* 263 */ M,  M,  M,  M,  M,  U,  M,
        // 0F 30-32: WRMSR, RDTSC, RDMSR
        /* 270 */ N,  N,  N,
        // never reached
        /* 273 */ U,  U,
        // 0F 7F
        /* 275 */ U,
        // 0F 80-8F: Jcc near
        /* 276 */ JN, JN, JN, JN, JN, JN, JN, JN,  JN, JN, JN, JN, JN, JN, JN, JN,
        // 0F 90-9F: SETcc
        /* 292 */ M,  M,  M,  M,  M,  M,  M,  M,   M,  M,  M,  M,  M,  M,  M,  M,
        // 0F A0-AF: PUSH/POP FS, CPUID, BT, SHLD, (486 A-step CMPXCHG), PUSH/POP GS, RSM, BTS, SHRD, -, IMUL
        /* 308 */ N,  N,  N,  M,  MB, M,  M,  M,   N,  N,  N,  M,  MB, M,  U,  M,
        // 0F B0-BF: CMPXCHG, LSS, BTR, LFS, LGS, MOVZX, -, -, group 8, BTC, BSF, BSR, MOVSX
        /* 324 */ M,  M,  M,  M,  M,  M,  M,  M,   U,  U,  MB, M,  M,  M,  M,  M,
        // 0F C0-CF: XADD, -, -, -, -, -, CMPXCHG8B, BSWAP
        /* 340 */ M,  M,  U,  U,  U,  U,  U,  M,   N,  N,  N,  N,  N,  N,  N,  N,
    },
    {
        // x87 memory forms, then register forms, by ModRM reg. The register
        // rows cannot tell rm apart except for D9 reg 4-7: D9 D0 is FNOP
        // (D1-D7 are not), DA E9 FUCOMPP, DB E0-E4 the control group, DE D9
        // FCOMPP, DF E0 FNSTSW AX. The P6 additions (FCMOVcc, FCOMI, FUCOMI)
        // and the aliases the maps leave blank (DC D0-DF, DD C8-CF, DE D0-D7,
        // DF C0-DF) are undefined.
        /* D8 mem */ {F,  F,  F,  F,  F,  F,  F,  F},   // m32real arithmetic and compares
        /* D8 reg */ {F,  F,  F,  F,  F,  F,  F,  F},
        /* D9 mem */ {F,  FU, F,  F,  F,  F,  F,  F},   // FLD/FST/FSTP m32real, FLDENV, FLDCW, FNSTENV, FNSTCW
        /* D9 reg */ {F,  F,  F,  FU, F,  F,  F,  F},   // FLD, FXCH, FNOP; reg 4-7 go to the rm rows
        /* DA mem */ {F,  F,  F,  F,  F,  F,  F,  F},   // m32int arithmetic and compares
        /* DA reg */ {FU, FU, FU, FU, FU, F,  FU, FU},  // FUCOMPP
        /* DB mem */ {F,  FU, F,  F,  FU, F,  FU, F},   // FILD/FIST/FISTP m32int, FLD/FSTP m80real
        /* DB reg */ {FU, FU, FU, FU, F,  FU, FU, FU},  // FENI, FDISI, FNCLEX, FNINIT, FSETPM
        /* DC mem */ {F,  F,  F,  F,  F,  F,  F,  F},   // m64real arithmetic and compares
        /* DC reg */ {F,  F,  FU, FU, F,  F,  F,  F},   // arithmetic into ST(i)
        /* DD mem */ {F,  FU, F,  F,  F,  FU, F,  F},   // FLD/FST/FSTP m64real, FRSTOR, FNSAVE, FNSTSW
        /* DD reg */ {F,  FU, F,  F,  F,  F,  FU, FU},  // FFREE, FST, FSTP, FUCOM, FUCOMP
        /* DE mem */ {F,  F,  F,  F,  F,  F,  F,  F},   // m16int arithmetic and compares
        /* DE reg */ {F,  F,  FU, F,  F,  F,  F,  F},   // arithmetic and pop, FCOMPP
        /* DF mem */ {F,  FU, F,  F,  F,  F,  F,  F},   // FILD/FIST/FISTP m16int, FBLD, FILD m64int, FBSTP, FISTP m64int
        /* DF reg */ {FU, FU, FU, FU, F,  FU, FU, FU},  // FNSTSW AX
        // D9 register forms with reg 4-7, by rm
        /* D9 E0 */ {F,  F,  FU, FU, F,  F,  FU, FU},   // FCHS, FABS, FTST, FXAM
        /* D9 E8 */ {F,  F,  F,  F,  F,  F,  F,  FU},   // FLD1, FLDL2T, FLDL2E, FLDPI, FLDLG2, FLDLN2, FLDZ
        /* D9 F0 */ {F,  F,  F,  F,  F,  F,  F,  F},    // F2XM1 ... FINCSTP
        /* D9 F8 */ {F,  F,  F,  F,  F,  F,  F,  F},    // FPREM ... FCOS
        // Opcode groups, by ModRM reg. Reg 1 of F6/F7 is undefined and takes
        // no immediate.
        /* F6    */ {B, U, N, N, N, N, N, N},
        /* F7    */ {V, U, N, N, N, N, N, N},
        /* FF    */ {N, N, N, N, N, N, N, U},
        /* 0F 01 */ {N, N, N, N, N, U, N, N},
    },
};

// The walk restarts only after consuming a byte, or once for a group or an
// x87 form; a row that led to another row, a prefix or an escape would break
// that bound.
constexpr bool ExtensionRowsAreFinal() {
    for (const auto& row : kTables.rows)
        for (uint8_t c : row)
            for (Step s : kTables.classes[c].steps)
                if (s == kModRM || s >= kGroup) return false;
    return true;
}
static_assert(ExtensionRowsAreFinal());

// Every x87 instruction is its escape byte and ModRM form: the x87 rows hold
// only the classes that add nothing.
constexpr bool X87RowsAddNothing() {
    for (size_t r = 0; r < kRowF6; ++r)
        for (uint8_t c : kTables.rows[r])
            if (c != F && c != FU) return false;
    return true;
}
static_assert(X87RowsAddNothing());

// The x87 step takes its row from the escape byte, so only D8-DF may lead there.
constexpr bool OnlyEscapesAreX87() {
    for (size_t e = 0; e < kOpcodeEntries; ++e)
        if ((kTables.opcodes[e] == X87) != (e >= 0xD8 && e <= 0xDF)) return false;
    return true;
}
static_assert(OnlyEscapesAreX87());
static_assert(kTables.opcodes[kUndefinedTwoByteEntry] == U);

DECODER_INLINE uint16_t TwoByteEntry(uint8_t second) {
    if (second <= 0x06) return uint16_t(256 + second);
    if (second >= 0x20 && second <= 0x26) return uint16_t(263 + (second - 0x20));
    if (second >= 0x30 && second <= 0x32) return uint16_t(270 + (second - 0x30));
    if (second >= 0x7F && second <= 0xCF) return uint16_t(275 + (second - 0x7F));
    return kUndefinedTwoByteEntry;
}

#if defined(_WIN32)
extern "C" DECODER_MARKER("0") void DecoderCodeBegin() {}
extern "C" DECODER_MARKER("2") void DecoderCodeEnd() {}
#endif

}  // namespace

DECODER_CODE size_t InstructionLength(const uint8_t* code, size_t size, CodeMode mode) {
    if (size == 0 || mode != CodeMode::k32) return 0;  // 64-bit mode: not yet
    size_t read = 1;                 // the current opcode byte is consumed
    bool address16 = false;
    size_t immediateSize = 4;
    size_t addressField = 4;
    bool haveModRM = false;
    uint8_t modrm = 0;
    uint8_t opcode = code[0];
    uint8_t klass = kTables.opcodes[opcode];

    for (;;) {
        const OperandClass& c = kTables.classes[klass];
        bool restart = false;
        for (size_t i = 0; i < sizeof c.steps / sizeof c.steps[0] && !restart; ++i) {
            size_t take = 0;
            switch (c.steps[i]) {
                case kEnd:
                    return read;
                case kModRM: {
                    if (haveModRM) break;
                    if (read >= size) return 0;
                    modrm = code[read++];
                    haveModRM = true;
                    uint8_t mod = modrm >> 6, rm = modrm & 7;
                    if (mod == 3) break;
                    if (address16) {
                        take = mod == 1 ? 1 : (mod == 2 || rm == 6) ? 2 : 0;
                    } else {
                        if (rm == 4) {  // SIB: its base takes the place of rm
                            if (read >= size) return 0;
                            rm = code[read++] & 7;
                        }
                        take = mod == 1 ? 1 : (mod == 2 || rm == 5) ? 4 : 0;
                    }
                    break;
                }
                case kImm8:
                    take = immediateSize = 1;
                    break;
                case kImm16:
                    take = immediateSize = 2;
                    break;
                case kImmOperand:
                    take = immediateSize;
                    break;
                case kMemOffset:
                case kRelNear:
                    take = addressField;
                    break;
                case kRel8:
                    take = 1;
                    break;
                case kFarPointer:
                    take = immediateSize + 2;
                    break;
                case kAsciiAdjust:
                    if (read >= size) return 0;
                    if (code[read] == 0x0A) take = immediateSize = 1;
                    break;
                case kGroup:
                    klass = kTables.rows[c.row][(modrm >> 3) & 7];
                    restart = true;
                    break;
                case kX87: {
                    // Memory row by reg, register row by reg; D9 register
                    // forms with reg 4-7 by rm in their own rows.
                    uint8_t mod = modrm >> 6, reg = (modrm >> 3) & 7, rm = modrm & 7;
                    size_t row = size_t(opcode - 0xD8) * 2 + (mod == 3), entry = reg;
                    if (opcode == 0xD9 && mod == 3 && reg >= 4) {
                        row = kRowD9Rm + (reg - 4);
                        entry = rm;
                    }
                    klass = kTables.rows[row][entry];
                    restart = true;
                    break;
                }
                case kOperandPrefix:
                case kAddressPrefix:
                case kPrefix:
                case kEscape0F:
                    if (c.steps[i] == kOperandPrefix) immediateSize = 2;
                    if (c.steps[i] == kAddressPrefix) {
                        address16 = true;
                        addressField = 2;
                    }
                    if (read >= size) return 0;
                    opcode = code[read++];
                    klass = c.steps[i] == kEscape0F ? kTables.opcodes[TwoByteEntry(opcode)]
                                                    : kTables.opcodes[opcode];
                    restart = true;
                    break;
            }
            if (size - read < take) return 0;
            read += take;
        }
        if (!restart) return read;
    }
}

bool DecoderOwns(uintptr_t address) {
    uintptr_t tables = reinterpret_cast<uintptr_t>(&kTables);
    if (address >= tables && address < tables + sizeof kTables) return true;
#if defined(_WIN32)
    uintptr_t begin = reinterpret_cast<uintptr_t>(&DecoderCodeBegin);
    uintptr_t end = reinterpret_cast<uintptr_t>(&DecoderCodeEnd);
    if (address >= begin && address < end) return true;
#endif
    return false;
}
