// Instruction lengths of x86 code, 32-bit and 64-bit, for stepping over a
// faulting instruction. Portable: it only looks at the bytes it is given.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

// The processor mode the bytes are decoded for: 32-bit protected mode, or
// 64-bit long mode.
enum class CodeMode { k32, k64 };

// The length in bytes of the instruction that starts at code[0], or 0 when
// the instruction (or a byte needed to tell its length) lies beyond
// code[size - 1]. In 64-bit mode also 0 for every instruction the tables do
// not know for certain (see decoder.cpp): the caller then must not step.
// Never reads outside [code, code + size); every call finishes after at most
// `size` steps. Re-entrant; allocates nothing.
size_t InstructionLength(const uint8_t* code, size_t size, CodeMode mode = CodeMode::k32);

inline size_t InstructionLength(std::span<const uint8_t> code, CodeMode mode = CodeMode::k32) {
    return InstructionLength(code.data(), code.size(), mode);
}

// True when `address` lies in the decoder's own code or tables. The crash
// trap refuses to step over an instruction there: a fault inside the
// decoder means the trap itself is broken. Exact on Windows builds, where
// the linker groups the decoder's sections; elsewhere only the tables count.
bool DecoderOwns(uintptr_t address);
