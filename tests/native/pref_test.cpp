#include "support/core/pref_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// Selects `group` (null: stay in the region before the first group) and reads `key`.
int32_t Read(const std::string& bytes, const char* group, const char* key, int32_t defaultValue = -77) {
    std::string_view text = PrefReadableText(bytes);
    size_t cursor = group ? PrefFindGroup(text, group) : 0;
    return PrefFindNumber(text, cursor, key, defaultValue);
}

struct ReadCase {
    const char* what;
    std::string text;
    const char* group;
    const char* key;
    int32_t expected;  // -77 is the default
};

const std::string kLanguageFile = "[Language]\r\nLanguage = 1\r\n(0 = Deutsch; 1 = English)\r\n";

TEST(PrefReader, GroupsAndKeys) {
    const ReadCase cases[] = {
        {"as written", kLanguageFile, "Language", "Language", 1},
        {"capitals", kLanguageFile, "LANGUAGE", "LANGUAGE", 1},
        {"lower case", kLanguageFile, "language", "language", 1},
        {"mixed case in the file", "[lAnGuAgE]\r\nLANGUAGE = 1\r\n", "Language", "Language", 1},
        {"key is a prefix of the stored key", kLanguageFile, "Language", "Lang", -77},
        {"stored key is longer", "[G]\r\nKeys = 3\r\n", "G", "Key", -77},
        {"requested key is longer", "[G]\r\nKey = 3\r\n", "G", "Key2", -77},
        {"group is a prefix", kLanguageFile, "Lang", "Language", -77},
        {"group is longer", kLanguageFile, "Languages", "Language", -77},
        {"Latin-1 letters keep their case", "[\xC4]\r\nK = 1\r\n", "\xE4", "K", -77},
        {"Latin-1 group, same bytes", "[\xC4]\r\nK = 1\r\n", "\xC4", "K", 1},
        {"spaces everywhere", "[G]\r\n     Key    =     42\r\n", "G", "Key", 42},
        {"spaces inside the key", "[G]\r\nMy Key   = 5\r\n", "G", "My Key", 5},
        {"tab before the equals sign", "[G]\r\nKey\t= 5\r\n", "G", "Key", -77},
        {"tab before the key", "[G]\r\n\tKey = 5\r\n", "G", "Key", -77},
        {"line without equals sign", "[G]\r\nKey 5\r\n", "G", "Key", -77},
        {"comment", "[G]\r\n;Key = 5\r\n", "G", "Key", -77},
        {"indented comment", "[G]\r\n   ; Key = 5\r\nKey = 6\r\n", "G", "Key", 6},
        {"semicolon later in the line", "[G]\r\nKey = 5 ; five\r\n", "G", "Key", 5},
        {"value that is a word", "[G]\r\nKey = one\r\n", "G", "Key", 0},
        {"value after a semicolon", "[G]\r\nKey = ;5\r\n", "G", "Key", 0},
        {"empty value does not borrow the next line", "[G]\r\nKey =\r\n7 = x\r\n", "G", "Key", 0},
        {"second equals sign", "[G]\r\nKey = 1 = 2\r\n", "G", "Key", 1},
        {"key ends at the first equals sign", "[G]\r\nA=B = 3\r\n", "G", "A", 0},
        {"duplicate key: first wins", "[G]\r\nKey = 1\r\nKey = 2\r\n", "G", "Key", 1},
        {"duplicate group: first wins", "[G]\r\nKey = 1\r\n[g]\r\nKey = 2\r\n", "g", "Key", 1},
        {"key only in a later group", "[A]\r\nX = 1\r\n[B]\r\nKey = 2\r\n", "A", "Key", -77},
        {"later group found itself", "[A]\r\nX = 1\r\n[B]\r\nKey = 2\r\n", "B", "Key", 2},
        {"unknown header ends the group", "[A]\r\n[junk\r\nKey = 1\r\n", "A", "Key", -77},
        {"indented bracket is no header", "[A]\r\n [B]\r\nKey = 1\r\n", "A", "Key", 1},
        {"text after the closing bracket", "[G] trailing ; words\r\nKey = 8\r\n", "G", "Key", 8},
        {"double closing bracket", "[G]]\r\nKey = 8\r\n", "G", "Key", 8},
        {"unnamed region", "Key = 9\r\n[A]\r\nKey = 1\r\n", nullptr, "Key", 9},
        {"unnamed region after a failed selection", "Key = 9\r\n[A]\r\n", "B", "Key", -77},
        {"empty group name", "[]\r\nKey = 3\r\n", "", "Key", 3},
        {"empty file, group", "", "G", "Key", -77},
        {"empty file, unnamed region", "", nullptr, "Key", -77},
        {"LF only", "[G]\nKey = 3\n", "G", "Key", 3},
        {"LF CR", "[G]\n\rKey = 3\n\r", "G", "Key", 3},
        {"LF CR before a header", "[A]\n\rX = 1\n\r[G]\n\rKey = 4\n\r", "G", "Key", 4},
        {"CR only is no line end", "[G]\rKey = 3\r", "G", "Key", -77},
        {"no closing bracket, LF", "[G\nKey = 4\n", "G", "Key", 4},
        {"no closing bracket, CR LF", "[G\r\nKey = 4\r\n", "G", "Key", -77},
        {"no closing bracket, end of text", "Key = 1\n[G", "G", "Key", -77},
        {"group at the very end", "Key = 1\n[G]", "G", "Key", -77},
        {"no line end at all", "[G]Key = 1", "G", "Key", -77},
        {"zero byte ends the text", std::string("[G]\r\nA = 1\r\n\0B = 2\r\n", 20), "G", "B", -77},
        {"zero byte before the header", std::string("\0[G]\r\nA = 1\r\n", 13), "G", "A", -77},
        {"binary bytes before the group", std::string("\x01\xFF\x7F\x80]]=\x1B\n", 9) + "[G]\nA = 5\n", "G", "A",
         5},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(Read(c.text, c.group, c.key), c.expected) << c.what;
}

TEST(PrefReader, NumbersConvertLikeAtoi) {
    const struct {
        const char* value;
        int32_t expected;
    } cases[] = {
        {"-12", -12},      {"+5", 5},        {"0042", 42},       {"\t7", 7},       {"12abc", 12},
        {"- 5", 0},        {"", 0},          {"0x10", 0},        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},            {"99999999999", INT_MAX},           {"-99999999999", INT_MIN},
        {"1\r", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(std::string("[G]\r\nKey = ") + c.value + "\r\n", "G", "Key"), c.expected) << c.value;
}

TEST(PrefReader, EmptyKeyOrNoGroupGivesTheDefault) {
    std::string text = "[G]\r\n = 5\r\n=6\r\n";
    EXPECT_EQ(PrefFindNumber(text, PrefFindGroup(text, "G"), "", 11), 11);
    EXPECT_EQ(PrefFindNumber(text, kNoGroup, "Key", 12), 12);
    EXPECT_EQ(PrefFindGroup(text, "H"), kNoGroup);
    EXPECT_EQ(PrefFindGroup("x\n[G]", "G"), 5u) << "a header on the last line: its group starts at the end";
}

TEST(PrefReader, ReadsAreRepeatableAndInAnyOrder) {
    std::string text = "[G]\r\nB = 2\r\nA = 1\r\n";
    size_t cursor = PrefFindGroup(text, "G");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(PrefFindNumber(text, cursor, "A", 0), 1);
        EXPECT_EQ(PrefFindNumber(text, cursor, "B", 0), 2);
    }
}

TEST(PrefWriter, LanguageFileIsExactlyThreeLines) {
    std::string file = PrefGroupLine("Language") + PrefKeyLine("Language", PrefNumberText(0)) +
                       PrefKeyLine("(0", "Deutsch; 1 = English)");
    EXPECT_EQ(file, "[Language]\r\nLanguage = 0\r\n(0 = Deutsch; 1 = English)\r\n");
    EXPECT_EQ(file.size(), 54u);
    EXPECT_EQ(Read(file, "Language", "Language", 5), 0);
}

TEST(PrefWriter, NumbersAndTextsRoundTrip) {
    for (int32_t n : {0, 1, -1, 7, -12, 1000000, INT_MAX, INT_MIN}) {
        std::string text = PrefNumberText(n);
        EXPECT_EQ(text, std::to_string(n));
        EXPECT_EQ(Read(PrefGroupLine("G") + PrefKeyLine("N", text), "G", "N"), n) << text;
    }
    // Texts go out byte for byte, unquoted and unescaped.
    EXPECT_EQ(PrefKeyLine("k", "\xE4 ; = \"q\""), "k = \xE4 ; = \"q\"\r\n");
    EXPECT_EQ(PrefKeyLine("k", ""), "k = \r\n");
    EXPECT_EQ(PrefGroupLine(""), "[]\r\n");
}

TEST(PrefReader, LargeFileIsScannedToTheEnd) {
    std::string text;
    while (text.size() < (1u << 20)) text += "; filler line with = and [ inside\r\n";
    text += "[Language]\r\nLanguage = 1\r\n";
    EXPECT_EQ(Read(text, "Language", "Language", 0), 1);
}

// A key set by the program in a file the user may have edited: the key's
// line replaced, or added to its group, or the group added; nothing else moves.
TEST(PrefWriter, AKeyIsSetAndEveryOtherByteStays) {
    const std::string made = "[Language]\r\nLanguage = 0\r\n(0 = Deutsch; 1 = English)\r\n";
    const std::string withEditor = made + "[Editor]\r\nPath = C:\\Ed\\e.exe\r\n";
    EXPECT_EQ(PrefWithKey(made, "Editor", "Path", "C:\\Ed\\e.exe"), withEditor);
    EXPECT_EQ(PrefWithKey(withEditor, "editor", "Path", "D:\\x.exe"), made + "[Editor]\r\nPath = D:\\x.exe\r\n");
    EXPECT_EQ(PrefWithKey("[Editor]\nold = 1\n[Other]\nx = 2", "Editor", "Path", "p"),
              "[Editor]\nold = 1\nPath = p\r\n[Other]\nx = 2");
    EXPECT_EQ(PrefWithKey("[Language]\r\nLanguage = 1", "Editor", "Path", "p"),
              "[Language]\r\nLanguage = 1\r\n[Editor]\r\nPath = p\r\n");
    const std::string text = PrefWithKey(withEditor, "Editor", "Path", "C:\\spaced \xE4 ");
    EXPECT_EQ(PrefFindText(text, PrefFindGroup(text, "Editor"), "PATH"), "C:\\spaced \xE4 ")
        << "a trailing CR is no part";
    EXPECT_EQ(PrefFindText(text, PrefFindGroup(text, "Language"), "Path"), std::nullopt);
    EXPECT_EQ(Read(text, "Language", "Language", 5), 0);
}

}  // namespace
