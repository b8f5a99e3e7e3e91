#include "crashtrap/core/fault_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

TEST(FaultText, ReportTextIsThreeLinesInAFixedBuffer) {
    char out[kFaultReportSize];
    EXPECT_EQ(FaultReportText("Attempted division by zero", "app/core/catalogue.cpp", 120, out), 59u);
    EXPECT_STREQ(out, "Attempted division by zero\rapp/core/catalogue.cpp\rLine: 120");
    FaultReportText("No Error", "Main Module", 0, out);
    EXPECT_STREQ(out, "No Error\rMain Module\rLine: 0");
    FaultReportText("", "", 4294967295u, out);
    EXPECT_STREQ(out, "\r\rLine: 4294967295");

    // Every description with every module name and the largest line fits.
    for (uint32_t code : {0xC0000005u, 0xC00000FDu, 0xC000008Fu, 0x80000004u, 0xC0000017u})
        for (uint32_t module = 0; module < kModuleCount; ++module) {
            std::string whole = std::string(ExceptionDescription(code)) + "\r" +
                                std::string(ModuleDisplayName(module)) + "\rLine: 16777215";
            EXPECT_EQ(FaultReportText(ExceptionDescription(code), ModuleDisplayName(module), 16777215, out),
                      whole.size());
            EXPECT_EQ(std::string(out), whole);
        }

    // A short buffer gets what fits and the zero byte, nothing past it.
    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(FaultReportText("Attempted", "m", 1, std::span<char>(small, 6)), 5u);
    EXPECT_STREQ(small, "Attem");
    EXPECT_EQ(small[6], 'x');
    EXPECT_EQ(FaultReportText("a", "b", 1, std::span<char>(small, 0)), 0u);
    EXPECT_EQ(small[0], 'A');
}

}  // namespace
