#include "app/core/missing_files.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Paths(int count) {
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) paths.push_back("C:\\f" + std::to_string(i) + ".pb");
    return paths;
}

// Ten paths are named; beyond them one line tells how many more there are.
TEST(MissingFilesMessage, NamesTheFirstTenThenCountsTheRest) {
    EXPECT_EQ(MissingFilesMessage("Gone:", Paths(2), "and %count% more", "Open?"),
              "Gone:\r\n\r\nC:\\f1.pb\r\nC:\\f2.pb\r\n\r\nOpen?");
    const std::string ten = MissingFilesMessage("Gone:", Paths(10), "and %count% more", "Open?");
    EXPECT_TRUE(ten.ends_with("C:\\f9.pb\r\nC:\\f10.pb\r\n\r\nOpen?")) << ten;
    const std::string eleven = MissingFilesMessage("Gone:", Paths(11), "%count%, %count%", "Open?");
    EXPECT_TRUE(eleven.ends_with("C:\\f10.pb\r\n1, 1\r\n\r\nOpen?")) << eleven;
    const std::string many = MissingFilesMessage("Gone:", Paths(400), "and %count% more", "");
    EXPECT_TRUE(many.ends_with("C:\\f10.pb\r\nand 390 more\r\n\r\n")) << many;
    EXPECT_EQ(many.find("C:\\f11.pb"), std::string::npos);
}

}  // namespace
