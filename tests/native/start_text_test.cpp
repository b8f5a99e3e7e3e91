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
         "\"C:\\Editor\\PureBasic.exe\" \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" \r\ndel \"%~f0\""},
        {"D\xBF" "C:\\Program Files\\PB\\PureBasic.exe \"a.pb\" ", "C:\\Program Files\\PB\\PureBasic.exe", {"a.pb"},
         "\"C:\\Program Files\\PB\\PureBasic.exe\" \"a.pb\" \r\ndel \"%~f0\""},
        {"D\xBF" "C:\\50%\\ed.exe \"C:\\100%\\a.pb\" ", "C:\\50%\\ed.exe", {"C:\\100%\\a.pb"},
         "\"C:\\50%%\\ed.exe\" \"C:\\100%%\\a.pb\" \r\ndel \"%~f0\""},
        // Beyond ASCII: the console's code page is set first.
        {"D\xBF" "ed\xBF" "x \"a\" ", "ed\xBF" "x", {"a"},
         "chcp 850 >nul 2>&1\r\n\"ed\xBF" "x\" \"a\" \r\ndel \"%~f0\""},
        // Hand-edited: the last space gone, '&' and spaces inside quotes.
        {"D\xBF" "e \" a & b \"", "e", {" a & b "}, "\"e\" \" a & b \" \r\ndel \"%~f0\""},
        // Repaired by hand: the editor quoted, runs of spaces, a variable
        // (expanded by the start).
        {"D\xBF\"C:\\Program Files\\e.exe\"  \"a\"   \"b\"  ", "C:\\Program Files\\e.exe", {"a", "b"},
         "\"C:\\Program Files\\e.exe\" \"a\" \"b\" \r\ndel \"%~f0\""},
        {"D\xBF  %ED%\\e.exe  \"a\"", "%ED%\\e.exe", {"a"}, "\"%%ED%%\\e.exe\" \"a\" \r\ndel \"%~f0\""},
        // Made without the editor: the start takes the registered one.
        {"D\xBF \"a.pb\" ", "", {"a.pb"}, ""},
    };
    for (const Case& c : cases) {
        std::optional<StartCommand> command = ParseStartCommand(c.line);
        ASSERT_TRUE(command) << c.line;
        EXPECT_EQ(command->editor, c.editor);
        EXPECT_EQ(command->paths, c.paths);
        EXPECT_EQ(BatchFileText(*command, 850).value_or(""), c.batch) << c.line;
    }
}

TEST(StartCommand, AnyOtherLineRunsNothing) {
    for (std::string line : {
             "D\xBF" "C:\\ed.exe \"C:\\x\" & calc & \".pb\" ",  // a quote inside a path
             "D\xBF" "C:\\ed.exe \"a\"\"b\" ",
             "D\xBF" "C:\\ed.exe \"a\" & \"b\" ",             // a command of its own
             "D\xBF" "C:\\a&b\\ed.exe \"a\" ",
             "D\xBF" "C:\\ed.exe>x \"a\" ",
             "D\xBF\"C:\\ed.exe \"a\" ",                       // an unclosed editor
             "D\xBF" "C:\\ed.exe \"a\" x",
             "D\xBF" "C:\\ed.exe \"a",
             "D\xBF" "C:\\ed.exe \"\" ",                        // an empty path
             "D\xBF" "C:\\ed.exe \"a\tb\" ",                     // control bytes
             "D\xBF" "C:\\e\x1A" "d.exe \"a\" ",
             "D\xBF" "C:\\ed.exe \"a\x7F\" ",
             "D\xBF\"C:\\ed.exe\"\"a.pb\" ",                     // no gap
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
    EXPECT_EQ(BatchFileText(command, 437), "\"e\" \"a\" \r\ndel \"%~f0\"");
    // Line 1 is "e" "<path>" and a space: 7 bytes around the path; a '%' counts twice.
    command.paths = {std::string(kBatchLineLimit - 9, 'p') + "%"};
    EXPECT_EQ(BatchFileText(command, 437).value_or("").size(), kBatchLineLimit + 2 + kBatchSelfDeletion.size());
    command.paths[0] += "x";
    EXPECT_FALSE(BatchFileText(command, 437));
    // Parts that could not stay one argument are never written.
    EXPECT_FALSE(BatchFileText({"", {"a"}}, 437));
    EXPECT_FALSE(BatchFileText({"e\"", {"a"}}, 437));
    EXPECT_FALSE(BatchFileText({"e", {"a\"b"}}, 437));
    EXPECT_FALSE(BatchFileText({"e", {"a\rb"}}, 437));
}

// Above the line limit: several "start" lines, each within the limit and as
// full as the next path allows, that together hold every path once, in order.
TEST(BatchFile, ALongProjectGoesInSeveralCommandsThatDoNotWait) {
    StartCommand command{"C:\\Ed\\ed.exe", {}};
    std::string expectedArguments;
    for (int i = 0; i < 400; ++i) {
        const std::string stem = "C:\\src\\" + std::string(30 - std::to_string(i).size(), 'f') + std::to_string(i);
        command.paths.push_back(stem + (i % 7 ? ".pb" : "%.pb"));  // 40 characters, or 41
        expectedArguments += "\"" + stem + (i % 7 ? ".pb" : "%%.pb") + "\" ";
    }
    const std::string head = "start \"\" \"C:\\Ed\\ed.exe\" ";
    const std::string batch = BatchFileText(command, 850).value_or("");
    std::vector<std::string> lines;
    for (size_t at = 0, end; at <= batch.size(); at = end + 2) {
        end = std::min(batch.find("\r\n", at), batch.size());
        lines.push_back(batch.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 4u) << "17,600 characters in three commands, then the deletion";
    EXPECT_EQ(lines.back(), kBatchSelfDeletion);
    std::string arguments;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), kBatchLineLimit);
        ASSERT_EQ(lines[i].rfind(head, 0), 0u) << lines[i].substr(0, 40);
        arguments += lines[i].substr(head.size());
        if (i + 2 < lines.size()) {
            EXPECT_GT(lines[i].size() + 44, kBatchLineLimit) << "line " << i << " is full";
        }
    }
    EXPECT_TRUE(arguments == expectedArguments) << "every path once, in order, with its '%' doubled";

    // At the limit itself one line as ever; one character less and it splits.
    command = {"e", {"a", "b%", "c", "d"}};  // "e" "a" "b%%" "c" "d" : 22 characters
    EXPECT_EQ(BatchFileText(command, 437, 22), "\"e\" \"a\" \"b%%\" \"c\" \"d\" \r\ndel \"%~f0\"");
    EXPECT_EQ(BatchFileText(command, 437, 21),
              "start \"\" \"e\" \"a\" \r\nstart \"\" \"e\" \"b%%\" \r\nstart \"\" \"e\" \"c\" \"d\" \r\ndel \"%~f0\"");
    EXPECT_FALSE(BatchFileText(command, 437, 18)) << "a path that fits no line alone";
}

}  // namespace
