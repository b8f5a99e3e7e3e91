#include "crashtrap/core/fault_text.h"

#include <gtest/gtest.h>

#include "crashtrap/core/module_names.h"

namespace {

TEST(FaultText, DescribesKnownCodesAndFallsBackForOthers) {
    const struct {
        uint32_t code;
        const char* text;
    } cases[] = {
        {0xC0000094, "Attempted division by zero"},
        {0xC0000005, "An attemped read or write to/from an address to which that process isn't allowed"},
        {0xC00000FD, "Stack overflow.Can occur during errant recursion, or when a function creates a particularly "
                     "large array on the stack."},
        {0xC000013A, "CONTROL_C_EXIT Lets the debugger know the user hit Ctrl-C. "},
        {0, "No Error"},
        {0xC0000017, "UNKNOWN Error"},  // out of memory is not in the table
        {0xC0000094 ^ 0x80000000u, "UNKNOWN Error"},
        {0xFFFFFFFF, "UNKNOWN Error"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExceptionDescription(c.code), c.text) << std::hex << c.code;
}

TEST(FaultText, NamesModulesFromTheMarker) {
    EXPECT_EQ(ModuleDisplayName(0), "Main Module");
    EXPECT_EQ(ModuleDisplayName(kModuleCount - 1), ModuleNameTable[kModuleCount - 1]);
    EXPECT_EQ(ModuleDisplayName(kModuleCount), "");  // a marker no MARK can write
    EXPECT_EQ(MarkerModule(0x0100002Au), 1u);
    EXPECT_EQ(MarkerLine(0xFFFFFFFFu), 16777215u);
}

}  // namespace
