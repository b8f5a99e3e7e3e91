#include "support/core/cmdline.h"

#include <gtest/gtest.h>

TEST(CommandLine, TokensAndQuotes) {
    struct Case { const char* line; int index; const char* expected; };
    const Case cases[] = {
        {"C:\\t.exe", 0, ""},
        {"\"C:\\Program Files\\t.exe\" \"My Project\"", 0, "My Project"},
        {"t.exe alpha beta", 0, "alpha"},
        {"t.exe alpha beta", 1, "beta"},
        {"t.exe alpha beta", 2, ""},
        {"t.exe    spaced", 0, "spaced"},
        {"t.exe \"\" next", 0, ""},
        {"t.exe \"\" next", 1, "next"},
        {"t.exe \"open to the end", 0, "open to the end"},
        {"t.exe a\"b\"c", 0, "a\"b\"c"},
        {"t.exe \"ab\"cd", 0, "ab"},
        {"t.exe \"ab\"cd", 1, "cd"},
        {"t.exe tab\there", 0, "tab\there"},
        {"\"t.exe\"next", 0, "next"},
        {"", 0, ""},
        {"t.exe    ", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandLineParameter(c.line, c.index), c.expected) << c.line << " #" << c.index;
}

TEST(CommandLine, LongParameter) {
    std::string name(10000, 'x');
    EXPECT_EQ(CommandLineParameter("t.exe \"" + name + "\"", 0), name);
}
