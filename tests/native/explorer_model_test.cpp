// The explorer tree's item model: tags, paths from the walk up the tree,
// pattern lists, the file type cache and the path limit.
#include <gtest/gtest.h>

#include "explorer/core/tree_model.h"

namespace {

TEST(ExplorerPaths, WalkFromTheItemUpToBelowTheRoot) {
    const std::string docs = "C:\\Users\\Ann\\Documents\\";
    struct Case { std::vector<PathStep> steps; std::string path; };
    const Case kCases[] = {
        {{}, ""},                                                   // the root alone
        {{{2, " (C:)"}}, "C:\\"},                                   // the drive's text is never used
        {{{0, "Floppy"}}, "A:\\"},
        {{{25, "Z"}}, "Z:\\"},
        {{{0xFFFC, "Src"}, {0xFF02, "C"}}, "C:\\Src\\"},             // filled or not, same path
        {{{0xFC, "Sub"}, {0xFC, "Dir"}, {2, ""}}, "C:\\Dir\\Sub\\"},
        {{{0xFF, "main.pb"}, {0xFC, "Dir"}, {2, ""}}, "C:\\Dir\\main.pb"},
        {{{0xFF, "x.pbi"}, {3, ""}}, "D:\\x.pbi"},
        {{{0xFD, "Documents"}}, docs},
        {{{0xFF, "a.pb"}, {0xFC, "Work"}, {0xFFFD, "Documents"}}, docs + "Work\\a.pb"},
        {{{0xFC, "a b"}, {0xFC, "\xE4\xF6"}, {2, ""}}, "C:\\\xE4\xF6\\a b\\"},
    };
    for (const Case& c : kCases) EXPECT_EQ(FullPath(c.steps, docs), c.path);
}

TEST(ExplorerPaths, LongPathsAreBuiltWholeAndMeasuredAgainstTheLimit) {
    // Three folders of 100 characters: the result passes the platform's limit
    // and must come out whole, not cut.
    std::string name(100, 'n');
    std::vector<PathStep> steps = {{0xFF, "f.pb"}, {0xFC, name}, {0xFC, name}, {0xFC, name}, {2, ""}};
    std::string path = FullPath(steps, "");
    EXPECT_EQ(path.size(), 3 + 3 * 101 + 4u);
    EXPECT_EQ(path.substr(path.size() - 6), "n\\f.pb");
    EXPECT_FALSE(PathFits(path));
    EXPECT_TRUE(PathFits(std::string(259, 'x')));
    EXPECT_FALSE(PathFits(std::string(260, 'x')));
}

TEST(ExplorerPatterns, SplitKeepsOrderAndStopsAtTheFirstEmptyPattern) {
    struct Case { std::string list; std::vector<std::string> patterns; };
    const Case kCases[] = {
        {"*.pbi;*.pb", {"*.pbi", "*.pb"}},
        {"*.*", {"*.*"}},
        {"", {}},
        {";*.pb", {}},
        {"*.pb;", {"*.pb"}},
        {"*.pb;;*.pbi", {"*.pb"}},
        {"a;b;c", {"a", "b", "c"}},
        {"*.pb;*.pb", {"*.pb", "*.pb"}},  // twice listed, twice searched
        {"*.p b", {"*.p b"}},
    };
    for (const Case& c : kCases) EXPECT_EQ(SplitPatterns(c.list), c.patterns) << c.list;
}

TEST(ExplorerFileTypes, KeyIsTheShortUpperCasedExtension) {
    struct Case { std::string path; std::optional<std::string> key; };
    const Case kCases[] = {
        {"C:\\a\\main.pb", "PB"},
        {"C:\\a\\inc.PbI", "PBI"},
        {"C:\\a\\x.html", "HTML"},
        {"C:\\a\\x.jpeg2", std::nullopt},  // longer than 4: asked per file
        {"C:\\a\\setup.exe", std::nullopt},  // programs carry their own icons
        {"C:\\a\\SETUP.Exe", std::nullopt},
        {"C:\\a\\x.ex", "EX"},
        {"C:\\a\\x.", ""},
        {"C:\\a\\Makefile", std::nullopt},    // no dot: the whole path is the "extension"
        {"C:\\d.ir\\f", "IR\\F"},            // the last dot of the path, even in a folder
        {"C:\\a\\x.\xE4pb", "\xE4PB"},       // only A-Z are upper-cased
    };
    for (const Case& c : kCases) EXPECT_EQ(FileTypeKey(c.path), c.key) << c.path;
}

TEST(ExplorerFileTypes, CacheAsksOncePerKeyAndAlwaysForPrograms) {
    FileTypeCache cache;
    std::vector<std::string> asked;
    int next = 10;
    auto ask = [&](std::string_view p) {
        asked.emplace_back(p);
        return next++;
    };
    EXPECT_EQ(cache.Lookup("C:\\a.pb", ask), 10);
    EXPECT_EQ(cache.Lookup("D:\\x\\B.PB", ask), 10);  // same key, no new question
    EXPECT_EQ(cache.Lookup("C:\\a.pbi", ask), 11);
    EXPECT_EQ(cache.Lookup("C:\\one.exe", ask), 12);
    EXPECT_EQ(cache.Lookup("C:\\one.exe", ask), 13);  // asked every time
    EXPECT_EQ(cache.Lookup("C:\\x.longer", ask), 14);
    EXPECT_EQ(cache.Lookup("C:\\c.pbi", ask), 11);
    EXPECT_EQ(asked.size(), 5u);
    EXPECT_EQ(cache.Size(), 2u);
    for (int i = 0; i < 250; ++i) cache.Lookup("f." + std::to_string(i), ask);
    EXPECT_EQ(cache.Size(), 252u);
    EXPECT_EQ(cache.Lookup("g.17", ask), cache.Lookup("f.17", ask));
}

TEST(ExplorerPrompt, DriveLetterTakesThePlaceholder) {
    EXPECT_EQ(InsertDriveLetter("Please insert a disk into drive %c:", 0), "Please insert a disk into drive A:");
    EXPECT_EQ(InsertDriveLetter("%c: %c", 20), "U: %c");  // one placeholder
    EXPECT_EQ(InsertDriveLetter("No placeholder %s %d", 3), "No placeholder %s %d");
    EXPECT_EQ(InsertDriveLetter("", 3), "");
    EXPECT_EQ(DriveRoot(2), "C:\\");
    EXPECT_EQ(DriveRoot(25), "Z:\\");
}

}  // namespace

namespace {

TEST(ExplorerPatterns, SureMatchesOnlyWhereThePlatformSurelyAgrees) {
    struct Case { const char* name; const char* pattern; bool sure; };
    const Case kCases[] = {
        {"main.pb", "*.pb", true},
        {"MAIN.PB", "*.pb", true},        // the platform ignores case
        {"a.b.pb", "*.pb", true},
        {"main.pbi", "*.pb", false},
        {"main.pb", "*.pbi", false},
        {"x.pb.txt", "*.pb", false},
        {"pb", "*.pb", false},
        {".pb", "*.pb", true},
        {"abc", "*", true},
        {"abc", "*.*", false},            // the platform finds it; ask it
        {"a.c", "?.?", true},
        {"ab.c", "?.?", false},
        {"a", "a?", false},               // '?' may match nothing there: the platform decides
        {"main.pb", "m*n.p*", true},
        {"mxxnyn.pb", "m*n.pb", true},    // backtracking over the star
        {"main.pb", "", false},
        {"", "*", true},
        {"\xE4.pb", "*.pb", false},       // past ASCII: the platform decides
        {"a.pb", "*.p\xE4", false},
    };
    for (const Case& c : kCases) EXPECT_EQ(SurelyMatches(c.name, c.pattern), c.sure) << c.name << " / " << c.pattern;
}

}  // namespace
