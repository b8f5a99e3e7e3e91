// The language setting: Language.ini read (and created when missing) beside
// the program, and the language of the command-line road's messages.
#include <gtest/gtest.h>

#include "app/core/catalogue.h"
#include "driver/dialog_host.h"
#include "driver/program.h"
#include "support/core/text.h"

namespace {

const char kCreated[] = "[Language]\r\nLanguage = 0\r\n(0 = Deutsch; 1 = English)\r\n";

// What the host writes for its "lang" request: the language read and the
// text of one key in it.
std::string LangReport(int language) {
    return std::to_string(language) + "\n" + CatalogueTextFor(Msg::kQuitButton, language);
}

TEST(LanguageSetting, MissingFileIsCreatedGermanAndClosedAtOnce) {
    drv::DialogHost host("language-missing");
    ASSERT_TRUE(host.Start("lang ask"));
    // The dialog keeps the host running after the language was read.
    HWND dialog = drv::WaitWindow(host.process.Id(), "InputRequester");
    ASSERT_NE(dialog, nullptr);
    std::string bytes;
    ASSERT_TRUE(drv::ReadBytes(host.folder + "Language.ini", bytes));
    EXPECT_EQ(bytes, kCreated);
    EXPECT_EQ(bytes.size(), 54u);
    EXPECT_FALSE(drv::Exists(host.cwd + "Language.ini")) << "beside the program, not in the start folder";
    HANDLE exclusive = CreateFileA((host.folder + "Language.ini").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "the program still holds the new file";
    if (exclusive != INVALID_HANDLE_VALUE) CloseHandle(exclusive);

    PostMessageA(dialog, WM_CLOSE, 0, 0);  // a close request cancels the dialog
    EXPECT_EQ(host.process.Wait(), 0);
    EXPECT_EQ(host.Out("lang.txt"), LangReport(0));
    EXPECT_EQ(host.Out("ask2.txt"), "");
}

TEST(LanguageSetting, AReadableFileIsNeverWritten) {
    const struct {
        const char* what;
        std::string ini;
        int language;
    } cases[] = {
        {"other letter cases", "[lAnGuAgE]\r\nlANGUAGE = 1\r\n", 1},
        {"no key", "[Language]\r\n", 0},
        {"a word", "[Language]\r\nLanguage = English\r\n", 0},
        {"empty file", "", 0},
        {"German with a note of the user's", "[Language]\r\nLanguage = 0\r\n; mine\r\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        drv::DialogHost host("language-readable");
        host.Put("Language.ini", c.ini);
        ASSERT_TRUE(host.Start("lang"));
        EXPECT_EQ(host.process.Wait(), 0);
        EXPECT_EQ(host.Out("lang.txt"), LangReport(c.language));
        std::string after;
        EXPECT_TRUE(drv::ReadBytes(host.folder + "Language.ini", after));
        EXPECT_EQ(after, c.ini);
    }
}

TEST(LanguageSetting, AFileThatCannotBeCreatedLeavesGermanAndNoMessage) {
    // Wine runs as root here, so folder permissions do not stop a creation: a
    // folder named Language.ini does, for reading and for creating alike.
    drv::DialogHost host("language-blocked");
    ASSERT_TRUE(CreateDirectoryA((host.folder + "Language.ini").c_str(), nullptr));
    ASSERT_TRUE(host.Start("lang"));
    EXPECT_EQ(host.process.Wait(), 0) << "a message box would keep it waiting";
    EXPECT_EQ(host.Out("lang.txt"), LangReport(0));
    DWORD attributes = GetFileAttributesA((host.folder + "Language.ini").c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The command-line road of the real program reads the setting but never
// creates or changes the file.
TEST(LanguageOnTheRoad, RefusalsComeInTheLanguageOfTheFile) {
    std::string big;
    while (big.size() < (1u << 20)) big += "; a long file of notes, with [brackets] and = signs\r\n";
    std::string binary;
    for (int round = 0; round < 4; ++round)
        for (int b = 1; b < 256; ++b) binary += char(b);
    const struct {
        const char* what;
        bool present;
        std::string ini;
        int language;  // whose text the refusal shows
    } cases[] = {
        {"no file", false, "", 0},
        {"other letter cases", true, "[lAnGuAgE]\r\nlANGUAGE = 1\r\n", 1},
        {"1 MB before the setting", true, big + "[Language]\r\nLanguage = 1\r\n", 1},
        {"binary bytes before the setting", true, binary + "\r\n[Language]\r\nLanguage = 1\r\n", 1},
        {"a zero byte ends the text", true, binary + std::string("\0\r\n", 3) + "[Language]\r\nLanguage = 1\r\n", 0},
        {"no line end", true, "[Language]Language = 1", 0},
        {"value 2", true, "[Language]\r\nLanguage = 2\r\n", 1},
        {"value -1", true, "[Language]\r\nLanguage = -1\r\n", 0},
        {"saved as UTF-8 with a byte-order mark", true, "\xEF\xBB\xBF[Language]\r\nLanguage = 1\r\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        drv::Program app("language-road");
        app.SetProjects("Demo\xBF" "C:\\e.exe \"C:\\a.pb\" \r\n");
        if (c.present) app.Put("Language.ini", c.ini);

        const std::string refusal = InsertQuotedName(CatalogueTextFor(Msg::kNotFound, c.language), "x");
        ASSERT_NO_FATAL_FAILURE(app.ExpectRefusal("x", refusal, drv::FreshFolder("language-cwd")));

        std::string after;
        EXPECT_EQ(drv::ReadBytes(app.folder + "Language.ini", after), c.present) << "never created on this road";
        EXPECT_TRUE(after == c.ini) << "never changed on this road";
    }
}

}  // namespace
