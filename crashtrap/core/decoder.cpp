// Table-driven length decoding of x86 instructions, in two modes.
//
// 32-bit mode knows IA-32 as the 80486 and Pentium knew it: the one-byte
// map, the part of the 0F map those processors defined, the opcode groups and
// the x87 escapes. Its lengths are fixed, quirks included: every byte string
// gets a length, undefined opcodes their opcode bytes (see the tables).
//
// 64-bit mode knows the x86-64 long-mode maps as compiled code uses them:
// the one-byte map with REX, the 0F map with SSE to SSE3, the 0F 38 and 0F 3A
// maps (SSSE3, SSE4.1/4.2, AES, SHA, MOVBE), the groups and the x87 escapes.
// Here the caller continues at the returned length, so a wrong length is
// worse than none: whatever the tables do not know, or what processors
// decode differently, gets 0.
//   - Refused: the opcodes long mode dropped (06 07 0E 16 17 1E 1F 27 2F 37
//     3F 60 61 62 82 9A CE D4 D5 D6 EA); the VEX, EVEX and XOP prefixes (C4,
//     C5, 62, 8F with reg 1-7), as AVX would need maps of its own and the
//     program is compiled without it; undefined group members, register or
//     memory forms and prefix forms; the x87 forms that are undefined, or
//     defined for some rm only (FNOP, FUCOMPP, ...); moves to control and
//     debug registers, UD0/UD1, and a few that cannot fault anyway (MMX/SSE
//     shifts by an immediate, prefetches, hint NOPs other than 0F 1F and
//     F3 0F 1E, EMMS); anything longer than 15 bytes (#GP).
//   - Near relative branches (E8, E9, 0F 80-8F) take 4 bytes; after 66
//     without REX.W they are refused, as Intel ignores the 66 there while AMD
//     shortens the displacement to 2 bytes.
//   - F2 and F3 in front of a two- or three-byte opcode count only where its
//     row of mandatory prefixes names them; with 66 and F2/F3, or F2 and F3
//     together, those rows refuse.
//   - LOCK is taken wherever it stands: where the processor rejects it
//     (#UD), the bytes still make one instruction of the same length.
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
    kImmOperand,     // immediate of the operand size: 4 bytes, 2 after 66 (REX.W keeps 4)
    kImmFull,        // B8+r in 64-bit mode: as kImmOperand, 8 bytes after REX.W
    kMemOffset,      // memory offset of A0-A3: 4 bytes, 2 after 67; 8, 4 after 67 in 64-bit mode
    kRel8,           // 8-bit relative displacement
    kRelNear,        // near relative displacement: 4 bytes, 2 after 67 (66 has no effect); see above for 64-bit
    kFarPointer,     // offset of the immediate size, then a 16-bit selector
    kAsciiAdjust,    // AAM/AAD: a following 0A belongs to it, any other byte does not
    kMemoryOnly,     // refused when ModRM names a register
    kRegisterOnly,   // refused when ModRM names memory
    kNoLongMode,     // refused in 64-bit mode; nothing in 32-bit mode
    kRefuse,         // no instruction the tables know: length 0
    // The steps below restart the walk with another class.
    kGroup,          // go on with the class of the group row at ModRM reg
    kX87,            // go on with the class of the x87 row chosen by the escape byte and ModRM
    kMandatory,      // go on with the class of the prefix row at the mandatory prefix
    kOperandPrefix,  // 66
    kAddressPrefix,  // 67
    kPrefix,         // segment overrides, LOCK, REP/REPNE
    kRex,            // REX (64-bit mode); counts only directly before the opcode
    kEscape0F,       // two-byte opcode, 32-bit mode: the packed entries
    kEscapeMap,      // 64-bit mode: the next byte is an opcode of the map in `row`
};

struct OperandClass {
    Step steps[2];
    uint8_t row;  // the row of a kGroup or kMandatory step, the map of a kEscapeMap step
};

// Operand classes. Short names keep the opcode maps below readable as grids.
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
    FN,   // x87 form newer than the 486 (FCMOVcc, FCOMI, FUCOMI, FISTTP): as F
    FS,   // x87 register forms defined for some rm only (FNOP, FUCOMPP, ...): as F, refused in 64-bit mode
    FU,   // undefined x87 form: the same bytes as a defined one, refused in 64-bit mode
    P66,  // operand-size prefix
    P67,  // address-size prefix
    PF,   // other prefixes
    ESC,  // 0F (32-bit mode)
    // 64-bit mode only
    X,    // no instruction: refused
    REX,  // REX prefix 40-4F
    VQ,   // MOV r, imm (B8+r): operand-size immediate, 8 bytes after REX.W
    MO,   // ModRM, memory forms only (LEA, LSS, LFS, LGS)
    NM,   // (in rows, ModRM read) memory forms only
    NR,   // (in rows, ModRM read) register forms only
    BR,   // (in rows, ModRM read) register forms only, byte immediate
    E0F,  // 0F
    E38,  // 0F 38
    E3A,  // 0F 3A
    G8C,  // MOV r/m, Sreg
    G8E,  // MOV Sreg, r/m
    G8F,  // POP r/m; reg 1-7 is XOP
    GC6,  // MOV r/m8, imm8 (reg 7 is XABORT)
    GC7,  // MOV r/m, imm (reg 7 is XBEGIN)
    GF6L, // group of F6
    GF7L, // group of F7
    GFE,  // INC, DEC r/m8
    GFFL, // group of FF
    G00L, // group of 0F 00
    G01L, // group of 0F 01, memory forms
    GBA,  // group of 0F BA (BT, BTS, BTR, BTC with imm8)
    GC7L, // group of 0F C7 (CMPXCHG8B, CMPXCHG16B)
    // ModRM, then by mandatory prefix (none, 66, F3, F2). The name lists the
    // prefixes that make an instruction: _ none, 6 for 66, 3 for F3, 2 for F2.
    S_632, S_6, S6, S_, S3, S62, S_63, S_32, S_3, S632, S63,
    M_6, M_, M6, M2,        // memory forms only
    R_6,                    // register forms only
    I_632, I_6, I6, I_,     // with a byte immediate
    IR_6,                   // register forms only, with a byte immediate
    kClassCount
};

// Extension rows. Rows 0-15 are the x87 escapes D8-DF, two rows each: the
// memory forms (mod 0-2) and the register forms (mod 3), both by ModRM reg.
// Rows 16-19 split the register forms of D9 with reg 4-7 by rm, for their
// constants and transcendental functions. The other rows are opcode groups,
// by ModRM reg: F6, F7, FF and 0F 01 for 32-bit mode, the rest for 64-bit mode.
constexpr uint8_t kRowD9Rm = 16;
enum GroupRow : uint8_t {
    kRowF6 = 20, kRowF7, kRowFF, kRow0F01,
    kRow8C, kRow8E, kRow8F, kRowC6, kRowC7, kRowF6L, kRowF7L, kRowFE, kRowFFL,
    kRow0F00L, kRow0F01L, kRow0FBA, kRow0FC7L,
    kRowCount
};

// Rows of mandatory prefixes, by the prefix: none, 66, F3, F2.
enum PrefixRow : uint8_t {
    kP_632, kP_6, kP6, kP_, kP3, kP62, kP_63, kP_32, kP_3, kP632, kP63,
    kM_6, kM_, kM6, kM2, kR_6, kI_632, kI_6, kI6, kI_, kIR_6,
    kPrefixRowCount
};

// 64-bit mode maps: one-byte opcodes, 0F, 0F 38, 0F 3A.
enum Map : uint8_t { kMapOneByte, kMap0F, kMap0F38, kMap0F3A, kMapCount };

// The packed opcode table: 256 one-byte opcodes, then the two-byte opcodes
// 0F 00-06, 0F 20-26, 0F 30-32 and 0F 7F-CF. Entries 273 and 274 lie between
// the packed ranges and are never looked up.
constexpr size_t kOpcodeEntries = 356;
constexpr uint16_t kUndefinedTwoByteEntry = 260;  // the entry of 0F 04

struct Tables {
    OperandClass classes[kClassCount];
    uint8_t opcodes[kOpcodeEntries];  // 32-bit mode
    uint8_t rows[kRowCount][8];
    uint8_t prefixRows[kPrefixRowCount][4];
    uint8_t maps[kMapCount][256];  // 64-bit mode
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
        /* FN  */ {{kEnd, kEnd}, 0},
        /* FS  */ {{kNoLongMode, kEnd}, 0},
        /* FU  */ {{kNoLongMode, kEnd}, 0},
        /* P66 */ {{kOperandPrefix, kEnd}, 0},
        /* P67 */ {{kAddressPrefix, kEnd}, 0},
        /* PF  */ {{kPrefix, kEnd}, 0},
        /* ESC */ {{kEscape0F, kEnd}, 0},
        /* X   */ {{kRefuse, kEnd}, 0},
        /* REX */ {{kRex, kEnd}, 0},
        /* VQ  */ {{kImmFull, kEnd}, 0},
        /* MO  */ {{kModRM, kMemoryOnly}, 0},
        /* NM  */ {{kMemoryOnly, kEnd}, 0},
        /* NR  */ {{kRegisterOnly, kEnd}, 0},
        /* BR  */ {{kRegisterOnly, kImm8}, 0},
        /* E0F */ {{kEscapeMap, kEnd}, kMap0F},
        /* E38 */ {{kEscapeMap, kEnd}, kMap0F38},
        /* E3A */ {{kEscapeMap, kEnd}, kMap0F3A},
        /* G8C */ {{kModRM, kGroup}, kRow8C},
        /* G8E */ {{kModRM, kGroup}, kRow8E},
        /* G8F */ {{kModRM, kGroup}, kRow8F},
        /* GC6 */ {{kModRM, kGroup}, kRowC6},
        /* GC7 */ {{kModRM, kGroup}, kRowC7},
        /* GF6L */ {{kModRM, kGroup}, kRowF6L},
        /* GF7L */ {{kModRM, kGroup}, kRowF7L},
        /* GFE  */ {{kModRM, kGroup}, kRowFE},
        /* GFFL */ {{kModRM, kGroup}, kRowFFL},
        /* G00L */ {{kModRM, kGroup}, kRow0F00L},
        /* G01L */ {{kModRM, kGroup}, kRow0F01L},
        /* GBA  */ {{kModRM, kGroup}, kRow0FBA},
        /* GC7L */ {{kModRM, kGroup}, kRow0FC7L},
        /* S_632 */ {{kModRM, kMandatory}, kP_632},
        /* S_6   */ {{kModRM, kMandatory}, kP_6},
        /* S6    */ {{kModRM, kMandatory}, kP6},
        /* S_    */ {{kModRM, kMandatory}, kP_},
        /* S3    */ {{kModRM, kMandatory}, kP3},
        /* S62   */ {{kModRM, kMandatory}, kP62},
        /* S_63  */ {{kModRM, kMandatory}, kP_63},
        /* S_32  */ {{kModRM, kMandatory}, kP_32},
        /* S_3   */ {{kModRM, kMandatory}, kP_3},
        /* S632  */ {{kModRM, kMandatory}, kP632},
        /* S63   */ {{kModRM, kMandatory}, kP63},
        /* M_6   */ {{kModRM, kMandatory}, kM_6},
        /* M_    */ {{kModRM, kMandatory}, kM_},
        /* M6    */ {{kModRM, kMandatory}, kM6},
        /* M2    */ {{kModRM, kMandatory}, kM2},
        /* R_6   */ {{kModRM, kMandatory}, kR_6},
        /* I_632 */ {{kModRM, kMandatory}, kI_632},
        /* I_6   */ {{kModRM, kMandatory}, kI_6},
        /* I6    */ {{kModRM, kMandatory}, kI6},
        /* I_    */ {{kModRM, kMandatory}, kI_},
        /* IR_6  */ {{kModRM, kMandatory}, kIR_6},
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
        // FCOMPP, DF E0 FNSTSW AX. The aliases the maps leave blank (D9 D8-DF,
        // DC D0-DF, DD C8-CF, DE D0-D7, DF C0-DF) are undefined.
        /* D8 mem */ {F,  F,  F,  F,  F,  F,  F,  F},   // m32real arithmetic and compares
        /* D8 reg */ {F,  F,  F,  F,  F,  F,  F,  F},
        /* D9 mem */ {F,  FU, F,  F,  F,  F,  F,  F},   // FLD/FST/FSTP m32real, FLDENV, FLDCW, FNSTENV, FNSTCW
        /* D9 reg */ {F,  F,  FS, FU, F,  F,  F,  F},   // FLD, FXCH, FNOP; reg 4-7 go to the rm rows
        /* DA mem */ {F,  F,  F,  F,  F,  F,  F,  F},   // m32int arithmetic and compares
        /* DA reg */ {FN, FN, FN, FN, FU, FS, FU, FU},  // FCMOVB/E/BE/U, FUCOMPP
        /* DB mem */ {F,  FN, F,  F,  FU, F,  FU, F},   // FILD, FISTTP, FIST/FISTP m32int, FLD/FSTP m80real
        /* DB reg */ {FN, FN, FN, FN, FS, FN, FN, FU},  // FCMOVNB/NE/NBE/NU, FENI ... FSETPM, FUCOMI, FCOMI
        /* DC mem */ {F,  F,  F,  F,  F,  F,  F,  F},   // m64real arithmetic and compares
        /* DC reg */ {F,  F,  FU, FU, F,  F,  F,  F},   // arithmetic into ST(i)
        /* DD mem */ {F,  FN, F,  F,  F,  FU, F,  F},   // FLD, FISTTP, FST/FSTP m64real, FRSTOR, FNSAVE, FNSTSW
        /* DD reg */ {F,  FU, F,  F,  F,  F,  FU, FU},  // FFREE, FST, FSTP, FUCOM, FUCOMP
        /* DE mem */ {F,  F,  F,  F,  F,  F,  F,  F},   // m16int arithmetic and compares
        /* DE reg */ {F,  F,  FU, FS, F,  F,  F,  F},   // arithmetic and pop, FCOMPP
        /* DF mem */ {F,  FN, F,  F,  F,  F,  F,  F},   // FILD, FISTTP, FIST/FISTP m16int, FBLD, FILD m64int, FBSTP, FISTP m64int
        /* DF reg */ {FU, FU, FU, FU, FS, FN, FN, FU},  // FNSTSW AX, FUCOMIP, FCOMIP
        // D9 register forms with reg 4-7, by rm
        /* D9 E0 */ {F,  F,  FU, FU, F,  F,  FU, FU},   // FCHS, FABS, FTST, FXAM
        /* D9 E8 */ {F,  F,  F,  F,  F,  F,  F,  FU},   // FLD1, FLDL2T, FLDL2E, FLDPI, FLDLG2, FLDLN2, FLDZ
        /* D9 F0 */ {F,  F,  F,  F,  F,  F,  F,  F},    // F2XM1 ... FINCSTP
        /* D9 F8 */ {F,  F,  F,  F,  F,  F,  F,  F},    // FPREM ... FCOS
        // Opcode groups of 32-bit mode. Reg 1 of F6/F7 is undefined and
        // takes no immediate.
        /* F6    */ {B, U, N, N, N, N, N, N},
        /* F7    */ {V, U, N, N, N, N, N, N},
        /* FF    */ {N, N, N, N, N, N, N, U},
        /* 0F 01 */ {N, N, N, N, N, U, N, N},
        // Opcode groups of 64-bit mode.
        /* 8C    */ {N,  N,  N,  N,  N,  N,  X,  X},   // ES CS SS DS FS GS
        /* 8E    */ {N,  X,  N,  N,  N,  N,  X,  X},   // no MOV to CS
        /* 8F    */ {N,  X,  X,  X,  X,  X,  X,  X},
        /* C6    */ {B,  X,  X,  X,  X,  X,  X,  X},
        /* C7    */ {V,  X,  X,  X,  X,  X,  X,  X},
        /* F6    */ {B,  X,  N,  N,  N,  N,  N,  N},   // reg 1 is an undocumented TEST
        /* F7    */ {V,  X,  N,  N,  N,  N,  N,  N},
        /* FE    */ {N,  N,  X,  X,  X,  X,  X,  X},
        /* FF    */ {N,  N,  N,  NM, N,  NM, N,  X},   // far CALL and JMP take memory
        /* 0F 00 */ {N,  N,  N,  N,  N,  N,  X,  X},   // SLDT STR LLDT LTR VERR VERW
        /* 0F 01 */ {NM, NM, NM, NM, NM, X,  NM, NM},  // SGDT SIDT LGDT LIDT SMSW - LMSW INVLPG
        /* 0F BA */ {X,  X,  X,  X,  B,  B,  B,  B},   // BT BTS BTR BTC
        /* 0F C7 */ {X,  NM, X,  X,  X,  X,  X,  X},   // CMPXCHG8B/16B
    },
    {
        //            none 66  F3  F2
        /* _632 */ {N,  N,  N,  N},
        /* _6   */ {N,  N,  X,  X},
        /* 6    */ {X,  N,  X,  X},
        /* _    */ {N,  X,  X,  X},
        /* 3    */ {X,  X,  N,  X},
        /* 62   */ {X,  N,  X,  N},
        /* _63  */ {N,  N,  N,  X},
        /* _32  */ {N,  X,  N,  N},
        /* _3   */ {N,  X,  N,  X},
        /* 632  */ {X,  N,  N,  N},
        /* 63   */ {X,  N,  N,  X},
        /* M_6  */ {NM, NM, X,  X},
        /* M_   */ {NM, X,  X,  X},
        /* M6   */ {X,  NM, X,  X},
        /* M2   */ {X,  X,  X,  NM},
        /* R_6  */ {NR, NR, X,  X},
        /* I_632 */ {B, B,  B,  B},
        /* I_6  */ {B,  B,  X,  X},
        /* I6   */ {X,  B,  X,  X},
        /* I_   */ {B,  X,  X,  X},
        /* IR_6 */ {BR, BR, X,  X},
    },
    {
        // 64-bit mode, one-byte opcodes.
        {
            //        0    1    2    3    4    5    6    7     8    9    A    B    C    D    E    F
            /* 00 */ M,   M,   M,   M,   B,   V,   X,   X,    M,   M,   M,   M,   B,   V,   X,   E0F,
            /* 10 */ M,   M,   M,   M,   B,   V,   X,   X,    M,   M,   M,   M,   B,   V,   X,   X,
            /* 20 */ M,   M,   M,   M,   B,   V,   PF,  X,    M,   M,   M,   M,   B,   V,   PF,  X,
            /* 30 */ M,   M,   M,   M,   B,   V,   PF,  X,    M,   M,   M,   M,   B,   V,   PF,  X,
            /* 40 */ REX, REX, REX, REX, REX, REX, REX, REX,  REX, REX, REX, REX, REX, REX, REX, REX,
            /* 50 */ N,   N,   N,   N,   N,   N,   N,   N,    N,   N,   N,   N,   N,   N,   N,   N,
            /* 60 */ X,   X,   X,   M,   PF,  PF,  P66, P67,  V,   MV,  B,   MB,  N,   N,   N,   N,
            /* 70 */ J8,  J8,  J8,  J8,  J8,  J8,  J8,  J8,   J8,  J8,  J8,  J8,  J8,  J8,  J8,  J8,
            /* 80 */ MB,  MV,  X,   MB,  M,   M,   M,   M,    M,   M,   M,   M,   G8C, MO,  G8E, G8F,
            /* 90 */ N,   N,   N,   N,   N,   N,   N,   N,    N,   N,   X,   N,   N,   N,   N,   N,
            /* A0 */ O,   O,   O,   O,   N,   N,   N,   N,    B,   V,   N,   N,   N,   N,   N,   N,
            /* B0 */ B,   B,   B,   B,   B,   B,   B,   B,    VQ,  VQ,  VQ,  VQ,  VQ,  VQ,  VQ,  VQ,
            /* C0 */ MB,  MB,  W,   N,   X,   X,   GC6, GC7,  WB,  N,   W,   N,   N,   B,   X,   N,
            /* D0 */ M,   M,   M,   M,   X,   X,   X,   N,    X87, X87, X87, X87, X87, X87, X87, X87,
            /* E0 */ J8,  J8,  J8,  J8,  B,   B,   B,   B,    JN,  JN,  X,   J8,  N,   N,   N,   N,
            /* F0 */ PF,  N,   PF,  PF,  N,   N,   GF6L,GF7L, N,   N,   N,   N,   N,   N,   GFE, GFFL,
        },
        // 0F: system instructions, SSE to SSE3, CMOVcc, Jcc, SETcc and the
        // rest of the general-purpose two-byte opcodes.
        {
            //        0     1     2     3     4     5     6     7      8     9     A     B     C     D     E     F
            /* 00 */ G00L, G01L, M,    M,    X,    N,    N,    N,     N,    N,    X,    N,    X,    X,    X,    X,
            /* 10 */ S_632,S_632,S_32, M_6,  S_6,  S_6,  S_3,  M_6,   X,    X,    X,    X,    X,    X,    S3,   S_6,
            /* 20 */ X,    X,    X,    X,    X,    X,    X,    X,     S_6,  S_6,  S_632,M_6,  S_632,S_632,S_6,  S_6,
            /* 30 */ N,    N,    N,    N,    X,    X,    X,    X,     E38,  X,    E3A,  X,    X,    X,    X,    X,
            /* 40 */ M,    M,    M,    M,    M,    M,    M,    M,     M,    M,    M,    M,    M,    M,    M,    M,
            /* 50 */ R_6,  S_632,S_3,  S_3,  S_6,  S_6,  S_6,  S_6,   S_632,S_632,S_632,S_63, S_632,S_632,S_632,S_632,
            /* 60 */ S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,   S_6,  S_6,  S_6,  S_6,  S6,   S6,   S_6,  S_63,
            /* 70 */ I_632,X,    X,    X,    S_6,  S_6,  S_6,  X,     X,    X,    X,    X,    S62,  S62,  S_63, S_63,
            /* 80 */ JN,   JN,   JN,   JN,   JN,   JN,   JN,   JN,    JN,   JN,   JN,   JN,   JN,   JN,   JN,   JN,
            /* 90 */ M,    M,    M,    M,    M,    M,    M,    M,     M,    M,    M,    M,    M,    M,    M,    M,
            /* A0 */ N,    N,    N,    M,    MB,   M,    X,    X,     N,    N,    X,    M,    MB,   M,    M_,   M,
            /* B0 */ M,    M,    MO,   M,    MO,   MO,   M,    M,     S3,   X,    GBA,  M,    S_63, S_63, M,    M,
            /* C0 */ M,    M,    I_632,M_,   I_6,  IR_6, I_6,  GC7L,  N,    N,    N,    N,    N,    N,    N,    N,
            /* D0 */ S62,  S_6,  S_6,  S_6,  S_6,  S_6,  S6,   R_6,   S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,
            /* E0 */ S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S632, M_6,   S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,
            /* F0 */ M2,   S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  R_6,   S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  X,
        },
        // 0F 38: SSSE3, SSE4.1, SSE4.2, SHA, GFNI, AES, MOVBE, ADCX/ADOX.
        {
            //        0     1     2     3     4     5     6     7      8     9     A     B     C     D     E     F
            /* 00 */ S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,  S_6,   S_6,  S_6,  S_6,  S_6,  X,    X,    X,    X,
            /* 10 */ S6,   X,    X,    X,    S6,   S6,   X,    S6,    X,    X,    X,    X,    S_6,  S_6,  S_6,  X,
            /* 20 */ S6,   S6,   S6,   S6,   S6,   S6,   X,    X,     S6,   S6,   M6,   S6,   X,    X,    X,    X,
            /* 30 */ S6,   S6,   S6,   S6,   S6,   S6,   X,    S6,    S6,   S6,   S6,   S6,   S6,   S6,   S6,   S6,
            /* 40 */ S6,   S6,   X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 50 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 60 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 70 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 80 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 90 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* A0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* B0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* C0 */ X,    X,    X,    X,    X,    X,    X,    X,     S_,   S_,   S_,   S_,   S_,   S_,   X,    S6,
            /* D0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    S6,   S6,   S6,   S6,   S6,
            /* E0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* F0 */ M_6,  M_6,  X,    X,    X,    X,    S63,  X,     X,    X,    X,    X,    X,    X,    X,    X,
        },
        // 0F 3A: SSSE3 PALIGNR, SSE4.1, SSE4.2, PCLMULQDQ, SHA, GFNI, AES.
        {
            //        0     1     2     3     4     5     6     7      8     9     A     B     C     D     E     F
            /* 00 */ X,    X,    X,    X,    X,    X,    X,    X,     I6,   I6,   I6,   I6,   I6,   I6,   I6,   I_6,
            /* 10 */ X,    X,    X,    X,    I6,   I6,   I6,   I6,    X,    X,    X,    X,    X,    X,    X,    X,
            /* 20 */ I6,   I6,   I6,   X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 30 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 40 */ I6,   I6,   I6,   X,    I6,   X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 50 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 60 */ I6,   I6,   I6,   I6,   X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 70 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 80 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* 90 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* A0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* B0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* C0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    I_,   X,    I6,   I6,
            /* D0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    I6,
            /* E0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
            /* F0 */ X,    X,    X,    X,    X,    X,    X,    X,     X,    X,    X,    X,    X,    X,    X,    X,
        },
    },
};

constexpr bool IsFinal(uint8_t klass) {
    for (Step s : kTables.classes[klass].steps)
        if (s == kModRM || s >= kGroup) return false;
    return true;
}

// The walk restarts only after consuming a byte, or once for a group, an x87
// form or a mandatory prefix; a row that led to another row, a prefix or an
// escape would break that bound.
constexpr bool ExtensionRowsAreFinal() {
    for (const auto& row : kTables.rows)
        for (uint8_t c : row)
            if (!IsFinal(c)) return false;
    for (const auto& row : kTables.prefixRows)
        for (uint8_t c : row)
            if (!IsFinal(c)) return false;
    return true;
}
static_assert(ExtensionRowsAreFinal());

// Every x87 instruction is its escape byte and ModRM form: the x87 rows hold
// only the classes that add nothing.
constexpr bool X87RowsAddNothing() {
    for (size_t r = 0; r < kRowF6; ++r)
        for (uint8_t c : kTables.rows[r])
            if (c != F && c != FN && c != FS && c != FU) return false;
    return true;
}
static_assert(X87RowsAddNothing());

// The x87 step takes its row from the escape byte, so only D8-DF may lead there.
constexpr bool OnlyEscapesAreX87() {
    for (size_t e = 0; e < kOpcodeEntries; ++e)
        if ((kTables.opcodes[e] == X87) != (e >= 0xD8 && e <= 0xDF)) return false;
    for (size_t m = 0; m < kMapCount; ++m)
        for (size_t e = 0; e < 256; ++e)
            if ((kTables.maps[m][e] == X87) != (m == kMapOneByte && e >= 0xD8 && e <= 0xDF)) return false;
    return true;
}
static_assert(OnlyEscapesAreX87());
static_assert(kTables.opcodes[kUndefinedTwoByteEntry] == U);

// 32-bit mode has a length for every byte string: none of its classes, nor
// those of its rows, refuses or belongs to 64-bit mode.
constexpr bool ClassOf32BitMode(uint8_t klass) {
    for (Step s : kTables.classes[klass].steps)
        if (s == kImmFull || s == kMemoryOnly || s == kRegisterOnly || s == kRefuse || s == kMandatory ||
            s == kRex || s == kEscapeMap)
            return false;
    return true;
}
constexpr bool ThirtyTwoBitModeRefusesNothing() {
    for (uint8_t c : kTables.opcodes)
        if (!ClassOf32BitMode(c)) return false;
    for (size_t r = 0; r <= kRow0F01; ++r)
        for (uint8_t c : kTables.rows[r])
            if (!ClassOf32BitMode(c)) return false;
    return true;
}
static_assert(ThirtyTwoBitModeRefusesNothing());

// The escapes of 64-bit mode lead to the maps of two- and three-byte opcodes.
static_assert(kTables.maps[kMapOneByte][0x0F] == E0F && kTables.maps[kMap0F][0x38] == E38 &&
              kTables.maps[kMap0F][0x3A] == E3A);

DECODER_INLINE uint16_t TwoByteEntry(uint8_t second) {
    if (second <= 0x06) return uint16_t(256 + second);
    if (second >= 0x20 && second <= 0x26) return uint16_t(263 + (second - 0x20));
    if (second >= 0x30 && second <= 0x32) return uint16_t(270 + (second - 0x30));
    if (second >= 0x7F && second <= 0xCF) return uint16_t(275 + (second - 0x7F));
    return kUndefinedTwoByteEntry;
}

// The prefixes that select an instruction in a prefix row.
enum : uint8_t { kSeen66 = 1, kSeenF3 = 2, kSeenF2 = 4 };

// The column of a prefix row (none, 66, F3, F2), or 4 when the prefixes
// mix: processors differ in which one counts, so such forms are refused.
DECODER_INLINE size_t MandatoryColumn(uint8_t seen) {
    switch (seen) {
        case 0: return 0;
        case kSeen66: return 1;
        case kSeenF3: return 2;
        case kSeenF2: return 3;
        default: return 4;
    }
}

// A class that takes F2 or F3 as part of its opcode: a row of mandatory
// prefixes, or an escape that leads to one.
DECODER_INLINE bool TakesMandatoryPrefix(uint8_t klass) {
    const OperandClass& c = kTables.classes[klass];
    return c.steps[0] == kEscapeMap || c.steps[1] == kMandatory;
}

#if defined(_WIN32)
extern "C" DECODER_MARKER("0") void DecoderCodeBegin() {}
extern "C" DECODER_MARKER("2") void DecoderCodeEnd() {}
#endif

// The processor raises #GP for a longer instruction; 64-bit mode refuses it.
constexpr size_t kLongestInstruction = 15;

}  // namespace

DECODER_CODE size_t InstructionLength(const uint8_t* code, size_t size, CodeMode mode) {
    if (size == 0) return 0;
    const bool longMode = mode == CodeMode::k64;
    const uint8_t* oneByte = longMode ? kTables.maps[kMapOneByte] : kTables.opcodes;
    size_t read = 1;                 // the current opcode byte is consumed
    bool address16 = false;
    size_t immediateSize = 4;
    size_t addressField = longMode ? 8 : 4;
    uint8_t seen = 0;                // 66, F3, F2 among the prefixes
    uint8_t rex = 0;                 // the REX prefix right before the opcode
    bool haveModRM = false;
    uint8_t modrm = 0;
    uint8_t opcode = code[0];
    uint8_t klass = oneByte[opcode];

    for (;;) {
        const OperandClass& c = kTables.classes[klass];
        bool restart = false;
        for (size_t i = 0; i < sizeof c.steps / sizeof c.steps[0] && !restart; ++i) {
            size_t take = 0;
            switch (c.steps[i]) {
                case kEnd:
                    return longMode && read > kLongestInstruction ? 0 : read;
                case kModRM: {
                    if (haveModRM) break;
                    if (read >= size) return 0;
                    modrm = code[read++];
                    haveModRM = true;
                    uint8_t mod = modrm >> 6, rm = modrm & 7;
                    if (mod == 3) break;
                    // 64-bit mode addresses like 32-bit mode; mod 0 with
                    // rm 5 is RIP-relative there, with the same disp32.
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
                    take = rex & 8 ? 4 : immediateSize;
                    break;
                case kImmFull:
                    take = rex & 8 ? 8 : immediateSize;
                    break;
                case kMemOffset:
                    take = addressField;
                    break;
                case kRelNear:
                    if (!longMode) {
                        take = addressField;
                    } else {
                        if ((seen & kSeen66) && !(rex & 8)) return 0;
                        take = 4;
                    }
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
                case kMemoryOnly:
                    if (modrm >> 6 == 3) return 0;
                    break;
                case kRegisterOnly:
                    if (modrm >> 6 != 3) return 0;
                    break;
                case kNoLongMode:
                    if (longMode) return 0;
                    break;
                case kRefuse:
                    return 0;
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
                case kMandatory: {
                    size_t column = MandatoryColumn(seen);
                    if (column == 4) return 0;
                    klass = kTables.prefixRows[c.row][column];
                    restart = true;
                    break;
                }
                case kOperandPrefix:
                case kAddressPrefix:
                case kPrefix:
                case kRex: {
                    Step s = c.steps[i];
                    if (s == kOperandPrefix) {
                        immediateSize = 2;
                        seen |= kSeen66;
                    }
                    if (s == kAddressPrefix) {
                        // 64-bit mode has no 16-bit addressing: 67 selects 32-bit addresses.
                        address16 = !longMode;
                        addressField = longMode ? 4 : 2;
                    }
                    if (s == kPrefix && opcode == 0xF3) seen |= kSeenF3;
                    if (s == kPrefix && opcode == 0xF2) seen |= kSeenF2;
                    // REX counts only right before the opcode; a prefix after it cancels it.
                    rex = s == kRex ? opcode : 0;
                    if (read >= size) return 0;
                    opcode = code[read++];
                    klass = oneByte[opcode];
                    restart = true;
                    break;
                }
                case kEscape0F:
                    if (read >= size) return 0;
                    opcode = code[read++];
                    klass = kTables.opcodes[TwoByteEntry(opcode)];
                    restart = true;
                    break;
                case kEscapeMap:
                    if (read >= size) return 0;
                    opcode = code[read++];
                    klass = kTables.maps[c.row][opcode];
                    // F2 and F3 before a two- or three-byte opcode that does
                    // not name them make another, unknown instruction.
                    if ((seen & (kSeenF3 | kSeenF2)) && !TakesMandatoryPrefix(klass)) return 0;
                    restart = true;
                    break;
            }
            if (size - read < take) return 0;
            read += take;
        }
        if (!restart) return longMode && read > kLongestInstruction ? 0 : read;
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
