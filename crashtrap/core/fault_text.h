// The words of a fault report: what the exception code means and which
// source module the statement marker names.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The description of a platform exception code; "UNKNOWN Error" for a code
// not in the table and "No Error" for 0 (no fault yet).
std::string_view ExceptionDescription(uint32_t code);

// "Main Module" for module 0, otherwise the module's ModuleNameTable entry;
// empty for a number the table does not have.
std::string_view ModuleDisplayName(uint32_t module);

// The report's text, three lines: the description, a carriage return, the
// module name, a carriage return, "Line: " and the line in decimal. Written
// into `out` and ended with a zero byte, cut short where it does not fit;
// the length without the zero byte is returned. Allocates nothing: the
// report runs when memory may be exhausted.
size_t FaultReportText(std::string_view description, std::string_view module, uint32_t line, std::span<char> out);
// Room for every report the tables can make.
inline constexpr size_t kFaultReportSize = 512;

// The parts of a statement marker: module number in bits 24-31, line in bits 0-23.
constexpr uint32_t MarkerModule(uint32_t marker) { return marker >> 24; }
constexpr uint32_t MarkerLine(uint32_t marker) { return marker & 0x00FFFFFFu; }
