// The words of a fault report: what the exception code means and which
// source module the statement marker names.
#pragma once
#include <cstdint>
#include <string_view>

// The description of a platform exception code; "UNKNOWN Error" for a code
// not in the table and "No Error" for 0 (no fault yet).
std::string_view ExceptionDescription(uint32_t code);

// "Main Module" for module 0, otherwise the module's ModuleNameTable entry;
// empty for a number the table does not have.
std::string_view ModuleDisplayName(uint32_t module);

// The parts of a statement marker: module number in bits 24-31, line in bits 0-23.
constexpr uint32_t MarkerModule(uint32_t marker) { return marker >> 24; }
constexpr uint32_t MarkerLine(uint32_t marker) { return marker & 0x00FFFFFFu; }
