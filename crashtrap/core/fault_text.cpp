#include "crashtrap/core/fault_text.h"

#include "crashtrap/core/module_names.h"

namespace {

struct Description {
    uint32_t code;
    const char* text;
};

// Searched in this order; the first equal code wins.
constexpr Description kDescriptions[] = {
    {0xC0000094, "Attempted division by zero"},
    {0xC0000005, "An attemped read or write to/from an address to which that process isn't allowed"},
    {0xC0000096, "The instruction is not allowed in the current ring (inport, outport & control register "
                 "manipulation usually)"},
    {0xC000001D, "Try to execute an invalid instruction -such as MMX opcodes on a non MMX system"},
    {0xC0000025, "The exception filter returned EXCEPTION_CONTINUE_EXCEPTION when the exception raised isn't "
                 "restartable"},
    {0xC00000FD, "Stack overflow.Can occur during errant recursion, or when a function creates a particularly "
                 "large array on the stack."},
    {0xC0000026, "INVALID_DISPOSITION Whatever number the exception filter returned, it wasn't a value the OS "
                 "knows about."},
    {0xC0000008, "INVALID_HANDLE The API call was passed a handle to a kernel object which was invalid -usually "
                 "because that handle has already been closed."},
    {0xC0000142, "EXCEPTION_DLL_Initialisation_Failure raised when DllMain() returns false (?)"},
    {0xC000008D, "FLOAT_DENORMAL_OPERAND One of the operands in a floating-point operation is too small to be "
                 "represented in a floating-point value."},
    {0xC000008E, "FLOAT_DIVIDE_BY_ZERO The thread tried to divide a floating-point value by zero."},
    {0xC000008F, "FLOAT_INEXACT_RESULT The accuracy of the last floating point operation is worse than usual as "
                 "it is impossible to represent in the float accurately,"},
    {0xC0000090, "FLOAT_INVALID_OPERATION Any other floating-point exception."},
    {0xC0000091, "FLOAT_OVERFLOW The result was too big to represent"},
    {0xC0000092, "FLOAT_STACK_CHECK A floating point stack overflowed or underflow. This related to the baroque "
                 "design of the floating point unit."},
    {0xC0000093, "FLT_UNDERFLOW The result was too small to represent"},
    {0xC000013A, "CONTROL_C_EXIT Lets the debugger know the user hit Ctrl-C. "},
    {0x80000003, "BREAKPOINT A breakpoint was encountered."},
    {0x80000004, "SINGLE_STEP The CPU has signalled that one instruction has been executed.Only of interest to "
                 "Debuggers"},
    {0, "No Error"},
};

}  // namespace

std::string_view ExceptionDescription(uint32_t code) {
    for (const Description& d : kDescriptions)
        if (d.code == code) return d.text;
    return "UNKNOWN Error";
}

size_t FaultReportText(std::string_view description, std::string_view module, uint32_t line, std::span<char> out) {
    if (out.empty()) return 0;
    size_t n = 0;
    auto put = [&](std::string_view text) {
        for (char c : text)
            if (n + 1 < out.size()) out[n++] = c;
    };
    char digits[10];  // 4294967295
    size_t count = 0;
    do {
        digits[count++] = char('0' + line % 10);
        line /= 10;
    } while (line != 0);
    put(description);
    put("\r");
    put(module);
    put("\rLine: ");
    while (count > 0) put(std::string_view(&digits[--count], 1));
    out[n] = '\0';
    return n;
}

std::string_view ModuleDisplayName(uint32_t module) {
    if (module == 0) return "Main Module";
    return module < kModuleCount ? ModuleNameTable[module] : "";
}
