// Starting a project: which stored lines run, and the batch file they give.
#include "projects/core/start_text.h"

#include <gtest/gtest.h>

namespace {

using Paths = std::vector<std::string>;

TEST(StartCommand, LinesAsCreatingWritesThemRunAsBefore) {
    struct Case { std::string line, editor; Paths paths; std::string batch; };
    const Case cases[] = {
        {"Demo\xBF" "C:\\Editor\\PureBasic.exe \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" ", "C:\\Editor\\PureBasic.exe",
         {"C:\\src\\main.pb", "C:\\src\\inc.pbi"},
         "\"C:\\Editor\\PureBasic.exe\" \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" \r\ndel Data\\tmp.bat"},
        {"D\xBF" "C:\\Program Files\\PB\\PureBasic.exe \"a.pb\" ", "C:\\Program Files\\PB\\PureBasic.exe", {"a.pb"},
         "\"C:\\Program Files\\PB\\PureBasic.exe\" \"a.pb\" \r\ndel Data\\tmp.bat"},
        {"D\xBF" "C:\\50%\\ed.exe \"C:\\100%\\a.pb\" ", "C:\\50%\\ed.exe", {"C:\\100%\\a.pb"},
         "\"C:\\50%%\\ed.exe\" \"C:\\100%%\\a.pb\" \r\ndel Data\\tmp.bat"},
        {"D\xBF" "ed\xBF" "x \"a\" ", "ed\xBF" "x", {"a"}, "\"ed\xBF" "x\" \"a\" \r\ndel Data\\tmp.bat"},
        // Hand-edited: the last space gone, '&' and spaces inside quotes.
        {"D\xBF" "e \" a & b \"", "e", {" a & b "}, "\"e\" \" a & b \" \r\ndel Data\\tmp.bat"},
        // Made without the editor: the start takes the registered one.
        {"D\xBF \"a.pb\" ", "", {"a.pb"}, ""},
    };
    for (const Case& c : cases) {
        std::optional<StartCommand> command = ParseStartCommand(c.line);
        ASSERT_TRUE(command) << c.line;
        EXPECT_EQ(command->editor, c.editor);
        EXPECT_EQ(command->paths, c.paths);
        EXPECT_EQ(BatchFileText(*command, "Data\\tmp.bat").value_or(""), c.batch) << c.line;
    }
}

TEST(StartCommand, AnyOtherLineRunsNothing) {
    for (std::string line : {
             "D\xBF" "C:\\ed.exe \"C:\\x\" & calc & \".pb\" ",  // a quote inside a path
             "D\xBF" "C:\\ed.exe \"a\"\"b\" ",
             "D\xBF" "C:\\ed.exe \"a\"  \"b\" ",
             "D\xBF" "C:\\ed.exe \"a\" x",
             "D\xBF" "C:\\ed.exe \"a",
             "D\xBF" "C:\\ed.exe \"\" ",                        // an empty path
             "D\xBF" "C:\\ed.exe \"a\tb\" ",                     // control bytes
             "D\xBF" "C:\\e\x1A" "d.exe \"a\" ",
             "D\xBF" "C:\\ed.exe \"a\x7F\" ",
             "D\xBF\"C:\\ed.exe\" \"a.pb\" ",                    // a quoted editor
             "D\xBF" "C:\\ed.exe\"a.pb\" ",                      // no gap
             "D\xBF" "C:\\ed.exe ",                              // no files
             "D\xBF",
             "no separator C:\\ed.exe \"a.pb\" ",
             "",
         })
        EXPECT_FALSE(ParseStartCommand(line)) << line;
}

TEST(BatchFile, SlotsAndTheLineLimit) {
    EXPECT_EQ(BatchFilePath(0), "Data\\tmp.bat");
    EXPECT_EQ(BatchFilePath(1), "Data\\tmp1.bat");
    EXPECT_EQ(BatchFilePath(kBatchSlots - 1), "Data\\tmp99.bat");
    StartCommand command{"e", {"a"}};
    EXPECT_EQ(BatchFileText(command, BatchFilePath(7)), "\"e\" \"a\" \r\ndel Data\\tmp7.bat");
    // Line 1 is "e" "<path>" and a space: 7 bytes around the path; a '%' counts twice.
    command.paths = {std::string(kBatchLineLimit - 9, 'p') + "%"};
    EXPECT_EQ(BatchFileText(command, "b").value_or("").size(), kBatchLineLimit + std::string("\r\ndel b").size());
    command.paths[0] += "x";
    EXPECT_FALSE(BatchFileText(command, "b"));
    // Parts that could not stay one argument are never written.
    EXPECT_FALSE(BatchFileText({"", {"a"}}, "b"));
    EXPECT_FALSE(BatchFileText({"e\"", {"a"}}, "b"));
    EXPECT_FALSE(BatchFileText({"e", {"a\"b"}}, "b"));
    EXPECT_FALSE(BatchFileText({"e", {"a\rb"}}, "b"));
}

}  // namespace
