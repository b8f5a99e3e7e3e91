#include "support/core/text.h"

#include <gtest/gtest.h>

TEST(Text, LowerNameFoldsOnlyTheTwoRanges) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += char(c);
    std::string lower = LowerName(all);
    for (int c = 1; c < 256; ++c) {
        bool folds = (c >= 65 && c <= 90) || (c >= 192 && c <= 223);
        EXPECT_EQ((unsigned char)lower[size_t(c - 1)], folds ? c + 32 : c) << c;
    }
    EXPECT_TRUE(SameName("\xC4" "BC", "\xE4" "bc"));
    EXPECT_FALSE(SameName("abc", "abcd"));
}

TEST(Text, NamesSortByTheLowerCasingRule) {
    EXPECT_LT(CompareNames("alpha", "Beta"), 0);
    EXPECT_GT(CompareNames("Zulu", "beta"), 0);
    EXPECT_EQ(CompareNames("\xC4rger", "\xE4RGER"), 0);  // Ä and ä
    EXPECT_LT(CompareNames("Zulu", "\xE4"), 0);          // bytes past ASCII after it
    EXPECT_LT(CompareNames("[", "a"), 0);                // '[' (91) before 'a', not after 'Z'
    EXPECT_LT(CompareNames("Demo", "demo 2"), 0);
    EXPECT_GT(CompareNames("demo 2", "Demo"), 0);
}

TEST(Text, TrimAndFilePart) {
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("\ta "), "\ta");  // only spaces are trimmed
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(FilePart("C:\\a\\b.pb"), "b.pb");
    EXPECT_EQ(FilePart("C:\\a\\"), "");
    EXPECT_EQ(FilePart("b.pb"), "b.pb");
}

TEST(Text, ReplaceAllReplacesEachOnce) {
    EXPECT_EQ(ReplaceAll("%count% of %count%", "%count%", "%count%1"), "%count%1 of %count%1");
    EXPECT_EQ(ReplaceAll("none", "%path%", "x"), "none");
}

TEST(Text, NamePlaceholderIgnoresAsciiCase) {
    EXPECT_EQ(InsertQuotedName("Find %name%!", "x"), "Find \"x\"!");
    EXPECT_EQ(InsertQuotedName("%NAME% and %Name%", "n"), "\"n\" and \"n\"");
    EXPECT_EQ(InsertQuotedName("%nam% %name", "n"), "%nam% %name");
    EXPECT_EQ(InsertQuotedName("%name%", "%name%"), "\"%name%\"");  // the name is not searched again
}

TEST(FolderOf, UpToTheLastBackslash) {
    EXPECT_EQ(FolderOf("C:\\Program Files\\Tarnwick\\tarnwick.exe"), "C:\\Program Files\\Tarnwick\\");
    EXPECT_EQ(FolderOf("C:\\t.exe"), "C:\\");
    EXPECT_EQ(FolderOf("t.exe"), "");
    EXPECT_EQ(FolderOf("dir\\"), "dir\\");
}

TEST(Text, BytesNoFileNameHolds) {
    EXPECT_FALSE(HoldsReservedByte("C:\\My Files\\J\xFCrgen & 50% (1)\xBF.pb"));
    for (const char* bad : {"C:\\x\".pb", "C:\\x?.pb", "C:\\*.pb", "a<b", "a>b", "a|b", "a\tb", "a\x7F", "\x1F"})
        EXPECT_TRUE(HoldsReservedByte(bad)) << bad;
    EXPECT_TRUE(HoldsReservedByte(std::string("a\0b", 3)));
}

TEST(Text, PathRootIsTheDriveOrShare) {
    EXPECT_EQ(PathRoot("C:\\src\\a.pb"), "C:\\");
    EXPECT_EQ(PathRoot("d:a.pb"), "d:\\");
    EXPECT_EQ(PathRoot("\\\\server\\share\\src\\a.pb"), "\\\\server\\share\\");
    EXPECT_EQ(PathRoot("\\\\server\\share"), "\\\\server\\share\\");
    EXPECT_EQ(PathRoot("src\\a.pb"), "");
    EXPECT_EQ(PathRoot("\\src\\a.pb"), "");
}
