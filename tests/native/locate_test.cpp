// Moved project files: where a missing file may be now, and the lines
// rewritten for them and for a new editor.
#include "projects/core/locate.h"

#include <gtest/gtest.h>

#include "projects/core/store_text.h"

namespace {

TEST(Locate, EachLeadingFolderInTurnTheLongestRestFirst) {
    const std::vector<Candidate> found = LocateCandidates("D:\\old\\game\\src\\main.pb", "E:\\work\\game");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"E:\\work\\game\\old\\game\\src\\main.pb", "D:\\"},
        {"E:\\work\\game\\game\\src\\main.pb", "D:\\old\\"},
        {"E:\\work\\game\\src\\main.pb", "D:\\old\\game\\"},
        {"E:\\work\\game\\main.pb", "D:\\old\\game\\src\\"},
    };
    ASSERT_EQ(found.size(), expected.size());
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].path, expected[i].first);
        EXPECT_EQ(found[i].from, expected[i].second);
    }
    // A share's root is one piece; a chosen drive root keeps its one backslash.
    EXPECT_EQ(LocateCandidates("\\\\srv\\share\\a.pb", "F:\\").front().path, "F:\\a.pb");
    EXPECT_EQ(LocateCandidates("\\\\srv\\share\\a.pb", "F:\\").front().from, "\\\\srv\\share\\");

    EXPECT_EQ(MovedPath("d:\\OLD\\game\\x\\b.pb", "D:\\old\\game\\", "E:\\work\\game"), "E:\\work\\game\\x\\b.pb");
    EXPECT_EQ(MovedPath("D:\\older\\b.pb", "D:\\old\\", "E:\\"), std::nullopt) << "a folder, not a prefix of a name";
}

TEST(Locate, MovedPathsAndANewEditorKeepEverythingElse) {
    const std::string file = "A\xBF" "C:\\Ed\\ed.exe \"D:\\old\\a.pb\" \"C:\\keep.pb\" \r\n"
                             "B\xBF\"C:\\Ed\\ed.exe\"  \"D:\\old\\a.pb\"\n"
                             "C\xBF" "C:\\Other\\ed.exe \"D:\\old\\a.pb\" \r";
    const std::vector<std::pair<std::string, std::string>> moves = {{"D:\\old\\a.pb", "E:\\a.pb"}};
    EXPECT_EQ(MovePathsInText(file, {"a", "b"}, moves).text,
              "A\xBF" "C:\\Ed\\ed.exe \"E:\\a.pb\" \"C:\\keep.pb\" \r\n"
              "B\xBF\"C:\\Ed\\ed.exe\"  \"E:\\a.pb\" \n"
              "C\xBF" "C:\\Other\\ed.exe \"D:\\old\\a.pb\" \r");
    EXPECT_EQ(MovePathsInText(file, {"none"}, moves).result, LineChange::kNotFound);

    EXPECT_EQ(EditorOfLine("B\xBF\"C:\\Ed\\ed.exe\"  \"a\""), "C:\\Ed\\ed.exe");
    EXPECT_EQ(EditorOfLine("E\xBF \"a\""), "");
    EXPECT_EQ(ReplaceEditorInText(file, "a", "C:\\New\\R&D.exe", false).text,
              "A\xBF\"C:\\New\\R&D.exe\" \"D:\\old\\a.pb\" \"C:\\keep.pb\" \r\n" + file.substr(file.find("B\xBF")));
    EXPECT_EQ(ReplaceEditorInText(file, "a", "N.exe", true).text,
              "A\xBF" "N.exe \"D:\\old\\a.pb\" \"C:\\keep.pb\" \r\nB\xBFN.exe  \"D:\\old\\a.pb\"\n" +
                  file.substr(file.find("C\xBF")));
    EXPECT_EQ(ReplaceEditorInText("E\xBF \"a\" \r\n", "e", "N.exe", false).text, "E\xBFN.exe \"a\" \r\n");
}

}  // namespace
