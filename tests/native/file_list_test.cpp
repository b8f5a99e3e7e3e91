#include "app/core/file_list.h"

#include <gtest/gtest.h>

#include <string>

TEST(FileListRow, NameHundredSpacesAndPathThatReadBack) {
    const std::string gap(100, ' ');
    for (const std::string path : {"C:\\src\\main.pb", "C:\\my src\\a b.pb", "main.pb", "\\x.pbi"}) {
        std::string row = FileListRow(path);
        EXPECT_EQ(row, path.substr(path.rfind('\\') + 1) + gap + path);
        EXPECT_EQ(FileListRowPath(row), path);
    }
    EXPECT_EQ(FileListRow("C:\\src\\"), "") << "a folder is no file";
    EXPECT_EQ(FileListRow(""), "");
}

TEST(FileListRow, SourceFilesByTheirNameOnly) {
    // As the tree's pattern "*.pb" does, a bare ".pb" counts.
    for (const char* yes : {"C:\\a.pb", "C:\\A.PBI", "x.Pb", "C:\\dir.pbi\\b.pb", "C:\\.pb"})
        EXPECT_TRUE(IsSourceFileName(yes)) << yes;
    for (const char* no : {"C:\\a.pbx", "C:\\a.p", "C:\\a.pb\\", "C:\\a.pb.txt", "pb", "", "C:\\apb"})
        EXPECT_FALSE(IsSourceFileName(no)) << no;
}

TEST(FileListRow, PathAfterTheFirstHundredSpaces) {
    const std::string gap(100, ' ');
    struct Case { std::string row; std::string path; };
    const Case cases[] = {
        {"main.pb" + gap + "C:\\src\\main.pb", "C:\\src\\main.pb"},
        {"a b.pb" + gap + "C:\\my src\\a b.pb", "C:\\my src\\a b.pb"},
        {"x.pb" + gap + "   C:\\x.pb   ", "C:\\x.pb"},
        {"x.pb" + std::string(150, ' ') + "C:\\x.pb", "C:\\x.pb"},  // longer runs trim away
        {"x.pb" + gap + "C:\\x.pb" + gap + "tail", "C:\\x.pb" + gap + "tail"},
        {"x.pb" + gap, ""},
        {gap + "C:\\x.pb", "C:\\x.pb"},
        {"  C:\\no separator.pb ", "C:\\no separator.pb"},
        {"x.pb" + std::string(99, ' ') + "C:\\x.pb", "x.pb" + std::string(99, ' ') + "C:\\x.pb"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FileListRowPath(c.row), c.path) << c.row;
}
