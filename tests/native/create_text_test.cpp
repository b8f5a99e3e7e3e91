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

TEST(EditorCommand, PathQuotedOrBare) {
    struct Case { std::string command; std::string path; };
    const Case cases[] = {
        {"\"C:\\Ed\\ed.exe\" \"%1\"", "C:\\Ed\\ed.exe"},
        {"\"C:\\Program Files\\PureBasic\\PureBasic.exe\" \"%1\"", "C:\\Program Files\\PureBasic\\PureBasic.exe"},
        {"\"C:\\Ed\\ed.exe\"", "C:\\Ed\\ed.exe"},
        {"\"C:\\Ed\\ed.exe", ""},                 // no closing quote
        // Bare, as some installers and hand repairs write it.
        {"C:\\Ed\\ed.exe \"%1\"", "C:\\Ed\\ed.exe"},
        {"C:\\Program Files\\PB\\PureBasic.EXE %1", "C:\\Program Files\\PB\\PureBasic.EXE"},
        {"C:\\Ed\\ed.exe\"%1\"", "C:\\Ed\\ed.exe"},
        {"C:\\my.exes\\ed.exe", "C:\\my.exes\\ed.exe"},
        {"C:\\Ed\\ed %1", "C:\\Ed\\ed"},
        {"C:\\a \"b.exe\"", "C:\\a"},
        {"\"\" \"%1\"", ""},
        {"\"\"", ""},
        {"\"", ""},
        {"", ""},
        {"x\"", "x"},
        {"\"a\"b\"c\"", "a"},
        {"\"\xE4\xF6\xFC.exe\" %1", "\xE4\xF6\xFC.exe"},
        {"\"" + std::string(252, 'p') + "\"", std::string(252, 'p')},
    };
    for (const Case& c : cases) EXPECT_EQ(EditorPathFromCommand(c.command), c.path) << c.command;
}
