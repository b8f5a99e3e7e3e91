// The project list file's format: reading rules, lookups, and the changes.
#include "projects/core/store_text.h"

#include <gtest/gtest.h>

#include <random>

#include "projects/core/start_text.h"

namespace {

std::vector<std::string> Lines(std::string_view file) {
    std::vector<std::string> out;
    for (const StoreLine& l : SplitStoreLines(file)) out.emplace_back(l.text);
    return out;
}

using V = std::vector<std::string>;

TEST(StoreReading, LineEndsOfEveryKind) {
    EXPECT_EQ(Lines(""), V{});
    EXPECT_EQ(Lines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\rb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\n\rb"), (V{"a", "", "b"}));       // LF then a lone CR: an empty line between
    EXPECT_EQ(Lines("a\r"), (V{"a"}));                     // a lone CR as the last byte
    EXPECT_EQ(Lines("a\r\r\n"), (V{"a", ""}));
    EXPECT_EQ(Lines(std::string("a\0b", 3)), (V{"a", "b"}));  // NUL ends a line too
    EXPECT_EQ(Lines("\r\n\r\n"), (V{"", ""}));
    EXPECT_EQ(Lines("last"), (V{"last"}));
}

TEST(StoreReading, LinesKeepTheirOffsetsAndEnds) {
    std::string file = "ab\r\ncd\ne\r";
    auto lines = SplitStoreLines(file);
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& l : lines) EXPECT_EQ(file.substr(l.offset, l.text.size()), l.text);
    EXPECT_EQ(lines[0].endLength, 2u);
    EXPECT_EQ(lines[1].endLength, 1u);
    EXPECT_EQ(lines[2].endLength, 1u);
}

TEST(StoreLine, NameAndFilesText) {
    const std::string line = "Demo\xBF" "C:\\Ed\\PureBasic.exe \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" ";
    EXPECT_EQ(ProjectNameOf(line), "Demo");
    EXPECT_EQ(ProjectFilesText(line), "main.pb  inc.pbi  ");
    EXPECT_EQ(ProjectRowText(line), "Demo\nmain.pb  inc.pbi  ");

    EXPECT_EQ(ProjectNameOf("no separator \"C:\\a.pb\" "), "");
    EXPECT_EQ(ProjectFilesText("no separator \"C:\\a.pb\" "), "a.pb  ");
    EXPECT_EQ(ProjectNameOf("\xBFx"), "");
    EXPECT_EQ(ProjectNameOf("a\xBF" "b\xBF" "c"), "a");
    EXPECT_EQ(ProjectFilesText("x\xBF" "e \"only-one-quote"), "");
    EXPECT_EQ(ProjectFilesText("x\xBF" "e \"  spaced.pb  \" "), "spaced.pb  ");
    EXPECT_EQ(ProjectFilesText("x\xBF" "e \"C:\\dir\\\" "), "");  // a folder path has no file part
    // Quotes in the name shift the pairs: the texts between them come first.
    EXPECT_EQ(ProjectFilesText("say \"hi\xBF" "C:\\Ed\\ed.exe \"C:\\a.pb\" "), "ed.exe  a.pb  ");
    // A quoted editor is no file.
    EXPECT_EQ(ProjectFilesText("x\xBF\"C:\\R&D\\ed.exe\" \"C:\\a.pb\" \"b.pb\" "), "a.pb  b.pb  ");
}

TEST(StoreLookup, SameProjectWhateverTheCase) {
    const std::string file = "Alpha\xBF \"a.pb\" \r\n\xC4rger\xBF \"b.pb\" \r\nno separator\r\n";
    ASSERT_TRUE(FindProjectLine(file, "alpha"));
    EXPECT_EQ(*FindProjectLine(file, "ALPHA"), "Alpha\xBF \"a.pb\" ");
    EXPECT_TRUE(FindProjectLine(file, "\xE4rger"));  // Ä and ä are one letter
    EXPECT_TRUE(FindProjectLine(file, "\xE4RGER"));
    EXPECT_FALSE(FindProjectLine(file, "alph"));
    EXPECT_FALSE(FindProjectLine(file, "no separator"));
    EXPECT_FALSE(FindProjectLine("", "alpha"));
    // Only 192-223 fold: 0xDF meets 0xFF, but the Windows-1252 pair 0x8A/0x9A does not.
    EXPECT_TRUE(FindProjectLine("\xDF\xBF \r\n", "\xFF"));
    EXPECT_FALSE(FindProjectLine("\x9A\xBF \r\n", "\x8A"));
}

TEST(StoreAppend, NeverMergesTwoProjects) {
    const std::string line = MakeProjectLine("Demo", "C:\\Ed\\ed.exe", {"C:\\a.pb", "C:\\b c.pbi"});
    EXPECT_EQ(line, "Demo\xBF" "C:\\Ed\\ed.exe \"C:\\a.pb\" \"C:\\b c.pbi\" \r\n");
    EXPECT_EQ(MakeProjectLine("E", "", {"x"}), "E\xBF \"x\" \r\n");
    EXPECT_EQ(MakeProjectLine("E", "C:\\R&D\\ed.exe", {"x"}), "E\xBF\"C:\\R&D\\ed.exe\" \"x\" \r\n")
        << "a path a bare editor may not hold";
    EXPECT_EQ(AppendedText(std::nullopt, line), line);
    EXPECT_EQ(AppendedText('\n', line), line);
    EXPECT_EQ(AppendedText('\r', line), line);
    EXPECT_EQ(AppendedText(' ', line), "\r\n" + line);
    EXPECT_EQ(AppendedText('\0', line), "\r\n" + line);
    EXPECT_EQ(AppendProjectToText("", line), line);
    EXPECT_EQ(AppendProjectToText("A\xBF \r\n", line), "A\xBF \r\n" + line);
    EXPECT_EQ(AppendProjectToText("A\xBF \"a\" ", line), "A\xBF \"a\" \r\n" + line);
}

TEST(StoreName, OnlyNamesThatReadBackAsThemselves) {
    for (const char* name : {"Demo", " x ", "\xC4rger", "a/b", "say \"hi\"", "\xBE\xC0"})
        EXPECT_TRUE(IsStorableName(name)) << name;
    // "Foo\xBF" would read back as Foo; a leading 0xBF as no name at all.
    const std::string unstorable[] = {"Foo\xBF", "\xBF" "Foo", "a\xBF" "b", "a\rb", "a\nb", std::string("a\0b", 3)};
    for (const std::string& name : unstorable) EXPECT_FALSE(IsStorableName(name)) << name;
}

TEST(StoreRemove, WholeLinesOnlyAndEveryOtherByteKept) {
    struct Case { const char* what; std::string file, name; std::optional<std::string> expected; };
    const Case cases[] = {
        {"only project", "Demo\xBF \"a\" \r\n", "demo", std::string("")},
        {"no such project", "Demo\xBF \"a\" \r\n", "other", std::nullopt},
        {"empty file", "", "demo", std::nullopt},
        {"another project ending the same way stays",
         "MyDemo\xBF \"a\" \r\nDemo\xBF \"a\" \r\n", "Demo", std::string("MyDemo\xBF \"a\" \r\n")},
        {"a longer line that starts like the first match stays",
         "Demo\xBF \"a\" \r\nDemo\xBF \"a\" x\r\n", "demo", std::string("Demo\xBF \"a\" x\r\n")},
        {"last line without line end",
         "A\xBF \r\nDemo\xBF \"a\" ", "demo", std::string("A\xBF \r\n")},
        {"LF endings kept for the others",
         "A\xBF \nDemo\xBF \"a\" \nB\xBF \n", "demo", std::string("A\xBF \nB\xBF \n")},
        {"every equal line, ASCII case ignored",
         "Demo\xBF \"a\" \r\nB\xBF \r\nDEMO\xBF \"A\" \r\n", "demo", std::string("B\xBF \r\n")},
        {"equal name with other files stays",
         "Demo\xBF \"a\" \r\nDemo\xBF \"b\" \r\n", "demo", std::string("Demo\xBF \"b\" \r\n")},
        {"lone CR ends and NUL kept elsewhere",
         std::string("X\0Demo\xBF\rY\r", 10), "demo", std::string("X\0Y\r", 4)},
    };
    for (const Case& c : cases) EXPECT_EQ(RemoveProjectFromText(c.file, c.name), c.expected) << c.what;
}

TEST(StoreLine, FilePathsAfterTheSeparator) {
    EXPECT_EQ(ProjectFilePaths("D\xBF" "C:\\Ed\\ed.exe \"C:\\a.pb\" \"C:\\b c.pbi\" "), (V{"C:\\a.pb", "C:\\b c.pbi"}));
    EXPECT_EQ(ProjectFilePaths("say \"hi\xBF \"a\" "), V{"a"});  // quotes in the name are not paths
    EXPECT_EQ(ProjectFilePaths("D\xBF \"\" \"a\" \"open"), V{"a"});
    EXPECT_EQ(ProjectFilePaths("no separator \"a\" "), V{});
}

// A rename and a change of files touch one line's bytes only: the file
// around it (other line ends, a last line without one) stays byte for byte.
TEST(StoreChange, RenameKeepsEveryOtherByte) {
    const std::string file = "A\xBF \"a\" \nDemo\xBF" "C:\\ed.exe \"d\" \r\nno separator\rB\xBF \"b\" ";
    struct Case { const char* what; std::string name, newName; LineChange result; std::string text; };
    const Case cases[] = {
        {"other name", "demo", "Neu", LineChange::kDone,
         "A\xBF \"a\" \nNeu\xBF" "C:\\ed.exe \"d\" \r\nno separator\rB\xBF \"b\" "},
        {"letter case of the same project", "Demo", "DEMO", LineChange::kDone,
         "A\xBF \"a\" \nDEMO\xBF" "C:\\ed.exe \"d\" \r\nno separator\rB\xBF \"b\" "},
        {"last line", "b", "\xC4", LineChange::kDone,
         "A\xBF \"a\" \nDemo\xBF" "C:\\ed.exe \"d\" \r\nno separator\r\xC4\xBF \"b\" "},
        {"another project's name in other letters", "Demo", "a", LineChange::kNameTaken, ""},
        {"no such project", "x", "y", LineChange::kNotFound, ""},
        {"no nameless project", "", "y", LineChange::kNotFound, ""},
    };
    for (const Case& c : cases) {
        ChangedFile changed = RenameProjectInText(file, c.name, c.newName);
        EXPECT_EQ(changed.result, c.result) << c.what;
        EXPECT_EQ(changed.text, c.text) << c.what;
    }
    // Two lines of one name (a hand edit): the first is renamed, and the
    // second then holds the old name, so a case change of it clashes.
    const std::string twice = "D\xBF \"1\" \r\nd\xBF \"2\" \r\n";
    EXPECT_EQ(RenameProjectInText(twice, "d", "E").text, "E\xBF \"1\" \r\nd\xBF \"2\" \r\n");
    EXPECT_EQ(RenameProjectInText(twice, "d", "D").result, LineChange::kNameTaken);
}

TEST(StoreChange, ReplacedFilesKeepNameEditorAndLineEnd) {
    const V files{"C:\\x.pb", "C:\\y z.pbi"};
    struct Case { const char* what; std::string file, name, expected; };
    const Case cases[] = {
        {"editor kept", "A\xBF \r\nDemo\xBF" "C:\\Pure Basic\\ed.exe \"C:\\a.pb\" \nB\xBF \r\n", "demo",
         "A\xBF \r\nDemo\xBF" "C:\\Pure Basic\\ed.exe \"C:\\x.pb\" \"C:\\y z.pbi\" \nB\xBF \r\n"},
        {"no editor path", "Demo\xBF \"a\" \"b\" \r\n", "demo", "Demo\xBF \"C:\\x.pb\" \"C:\\y z.pbi\" \r\n"},
        {"no files before, no space, no line end", "demo\xBF" "ed", "demo",
         "demo\xBF" "ed \"C:\\x.pb\" \"C:\\y z.pbi\" "},
        {"a quote in the name", "De\"mo\xBF" "ed \"a\" \r\n", "de\"mo",
         "De\"mo\xBF" "ed \"C:\\x.pb\" \"C:\\y z.pbi\" \r\n"},
    };
    for (const Case& c : cases) {
        ChangedFile changed = ReplaceProjectFilesInText(c.file, c.name, files);
        EXPECT_EQ(changed.result, LineChange::kDone) << c.what;
        EXPECT_EQ(changed.text, c.expected) << c.what;
    }
    EXPECT_EQ(ReplaceProjectFilesInText("A\xBF \r\n", "demo", files).result, LineChange::kNotFound);
}

TEST(StoreRobustness, RandomBytesNeverBreakReadingOrRemoval) {
    std::mt19937 rng(12345);
    const char alphabet[] = {'\r', '\n', '\0', '\xBF', '"', ' ', '\\', 'a', 'D', 'd', '%'};
    for (int round = 0; round < 2000; ++round) {
        std::string file(rng() % 200, '\0');
        for (char& c : file) c = alphabet[rng() % sizeof alphabet];
        size_t total = 0;
        for (const StoreLine& l : SplitStoreLines(file)) total += l.text.size() + l.endLength;
        ASSERT_EQ(total, file.size()) << "lines and their ends cover the file exactly";
        for (const StoreLine& l : SplitStoreLines(file)) {
            ProjectFilesText(l.text);
            ParseStartCommand(l.text);
        }
        auto kept = RemoveProjectFromText(file, "d");
        if (kept) {
            EXPECT_LT(kept->size(), file.size() + 1);
            EXPECT_FALSE(FindProjectLine(*kept, "d") && *FindProjectLine(*kept, "d") == *FindProjectLine(file, "d"));
        }
    }
}

TEST(StoreSize, NoLimitOnLinesOrFiles) {
    std::string big;
    for (int i = 0; i < 60000; ++i) big += "Project " + std::to_string(i) + "\xBF" "C:\\ed.exe \"C:\\p.pb\" \r\n";
    ASSERT_GT(big.size(), 2'000'000u);
    EXPECT_TRUE(FindProjectLine(big, "project 59999"));
    auto kept = RemoveProjectFromText(big, "PROJECT 0");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->size(), big.size() - (MakeProjectLine("Project 0", "C:\\ed.exe", {"C:\\p.pb"}).size()));
    std::string longLine = "L\xBF" + std::string(200000, 'x') + " \"a.pb\" \r\n";
    EXPECT_EQ(ProjectFilesText(longLine), "a.pb  ");
}

}  // namespace
