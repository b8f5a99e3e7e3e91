#include "projects/core/create_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(ShortcutName, OnlySingleFileNamesInProjects) {
    struct Case { std::string name; bool valid; };
    const Case cases[] = {
        {"Demo", true},
        {"My Project", true},
        {"\xE4" "bc \xDF", true},          // Latin-1 letters
        {"Demo\xBF" "x", true},            // the separator byte is a plain letter to the file system
        {".hidden", true},
        {"v1.2", true},
        {"...", true},
        {"console", true},
        {"com10", true},
        {"lpt0", true},
        {"a-b_c (d) [e] {f} #g% &h' +i, ;j= @k!~", true},
        {std::string(10000, 'n'), true},   // the platform refuses what is too long
        {"", false},
        {".", false},
        {"..", false},
        {"..\\x", false},
        {"..\\..\\x", false},
        {"a/b", false},
        {"a\\b", false},
        {"C:x", false},
        {"a*", false},
        {"a?", false},
        {"say \"hi\"", false},
        {"<a>", false},
        {"a|b", false},
        {"tab\there", false},
        {"line\nbreak", false},
        {std::string("nul\0byte", 8), false},
        {"\x1F", false},
        {"\x7F", false},
        {"CON", false},
        {"con.txt", false},
        {"Nul", false},
        {"aux", false},
        {"PRN", false},
        {"COM1", false},
        {"lpt9.x.y", false},
        {"CONIN$", false},
        {"COM\xB9", false},                // superscript digits name the same devices
        {"lpt\xB3.txt", false},
        {"com\xB4", true},                 // an acute accent is no digit
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSingleFileName(c.name), c.valid) << '"' << c.name.substr(0, 40) << '"';
}

TEST(ShortcutName, PathIsInProjects) {
    EXPECT_EQ(ShortcutPathFor("Demo"), "Projects\\Demo.lnk");
    EXPECT_EQ(ShortcutPathFor("My Project"), "Projects\\My Project.lnk");
}

TEST(EditorCommand, PathBetweenSecondCharacterAndNextQuote) {
    struct Case { std::string command; std::string path; };
    const Case cases[] = {
        {"\"C:\\Ed\\ed.exe\" \"%1\"", "C:\\Ed\\ed.exe"},
        {"\"C:\\Program Files\\PureBasic\\PureBasic.exe\" \"%1\"", "C:\\Program Files\\PureBasic\\PureBasic.exe"},
        {"\"C:\\Ed\\ed.exe\"", "C:\\Ed\\ed.exe"},
        {"\"C:\\Ed\\ed.exe", ""},                 // no closing quote
        {"C:\\Ed\\ed.exe \"%1\"", ":\\Ed\\ed.exe "},  // an unquoted command loses its first letter
        {"C:\\Ed\\ed.exe %1", ""},
        {"\"\" \"%1\"", ""},
        {"\"\"", ""},
        {"\"", ""},
        {"", ""},
        {"x\"", ""},
        {"\"a\"b\"c\"", "a"},
        {"\"\xE4\xF6\xFC.exe\" %1", "\xE4\xF6\xFC.exe"},
        {"\"" + std::string(252, 'p') + "\"", std::string(252, 'p')},
    };
    for (const Case& c : cases) EXPECT_EQ(EditorPathFromCommand(c.command), c.path) << c.command;
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

TEST(FolderOf, UpToTheLastBackslash) {
    EXPECT_EQ(FolderOf("C:\\Program Files\\Tarnwick\\tarnwick.exe"), "C:\\Program Files\\Tarnwick\\");
    EXPECT_EQ(FolderOf("C:\\t.exe"), "C:\\");
    EXPECT_EQ(FolderOf("t.exe"), "");
    EXPECT_EQ(FolderOf("dir\\"), "dir\\");
}
