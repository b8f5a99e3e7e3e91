// The language setting: Language.ini read (and created when missing) beside
// the program, and the language of the command-line road's messages.
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace {

const char kCreated[] = "[Language]\r\nLanguage = 0\r\n(0 = Deutsch; 1 = English)\r\n";

class LanguageSetting : public ::testing::Test {
protected:
    void TearDown() override {
        if (HasFailure()) drv::Screenshot(::testing::UnitTest::GetInstance()->current_test_info()->name());
        host_.Kill();
    }

    // The stand-in application in a fresh folder, started from another one.
    void StartHost(const std::string& name, const std::string& requests) {
        folder_ = drv::FreshFolder("language-" + name);
        cwd_ = drv::FreshFolder("language-cwd");
        std::string exe = folder_ + "dialog_host.exe";
        ASSERT_TRUE(CopyFileA(drv::ToolPath("dialog_host.exe").c_str(), exe.c_str(), FALSE));
        if (ini_) { ASSERT_TRUE(drv::WriteBytes(folder_ + "Language.ini", *ini_)); }
        if (iniFolder_) { ASSERT_TRUE(CreateDirectoryA((folder_ + "Language.ini").c_str(), nullptr)); }
        host_ = drv::Start(exe, "\"" + folder_ + "\" " + requests, cwd_);
        ASSERT_TRUE(host_.Started());
    }

    std::string Out(const std::string& name) {
        std::string bytes;
        EXPECT_TRUE(drv::ReadBytes(folder_ + name, bytes)) << name << " was not written";
        return bytes;
    }

    const std::string* ini_ = nullptr;  // Language.ini before the start; null: none
    bool iniFolder_ = false;            // a folder in its place
    drv::Process host_;
    std::string folder_, cwd_;
};

TEST_F(LanguageSetting, MissingFileIsCreatedGermanAndClosedAtOnce) {
    StartHost("missing", "lang ask");
    // The dialog keeps the host running after the language was read.
    HWND dialog = drv::WaitWindow(host_.Id(), "InputRequester");
    ASSERT_NE(dialog, nullptr);
    std::string bytes;
    ASSERT_TRUE(drv::ReadBytes(folder_ + "Language.ini", bytes));
    EXPECT_EQ(bytes, kCreated);
    EXPECT_EQ(bytes.size(), 54u);
    EXPECT_FALSE(drv::Exists(cwd_ + "Language.ini")) << "beside the program, not in the start folder";
    HANDLE exclusive = CreateFileA((folder_ + "Language.ini").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "the program still holds the new file";
    if (exclusive != INVALID_HANDLE_VALUE) CloseHandle(exclusive);

    PostMessageA(dialog, WM_CLOSE, 0, 0);  // a close request cancels the dialog
    EXPECT_EQ(host_.Wait(10000), 0);
    EXPECT_EQ(Out("lang.txt"), "0\nBeenden");
    EXPECT_EQ(Out("ask2.txt"), "");
}

TEST_F(LanguageSetting, AReadableFileIsNeverWritten) {
    const struct {
        const char* what;
        std::string ini;
        const char* expected;
    } cases[] = {
        {"other letter cases", "[lAnGuAgE]\r\nlANGUAGE = 1\r\n", "1\nQuit"},
        {"no key", "[Language]\r\n", "0\nBeenden"},
        {"a word", "[Language]\r\nLanguage = English\r\n", "0\nBeenden"},
        {"empty file", "", "0\nBeenden"},
        {"German with a note of the user's", "[Language]\r\nLanguage = 0\r\n; mine\r\n", "0\nBeenden"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ini_ = &c.ini;
        StartHost("readable", "lang");
        EXPECT_EQ(host_.Wait(10000), 0);
        EXPECT_EQ(Out("lang.txt"), c.expected);
        std::string after;
        EXPECT_TRUE(drv::ReadBytes(folder_ + "Language.ini", after));
        EXPECT_EQ(after, c.ini);
    }
}

TEST_F(LanguageSetting, AFileThatCannotBeCreatedLeavesGermanAndNoMessage) {
    // Wine runs as root here, so folder permissions do not stop a creation: a
    // folder named Language.ini does, for reading and for creating alike.
    iniFolder_ = true;
    StartHost("blocked", "lang");
    EXPECT_EQ(host_.Wait(10000), 0) << "a message box would keep it waiting";
    EXPECT_EQ(Out("lang.txt"), "0\nBeenden");
    DWORD attributes = GetFileAttributesA((folder_ + "Language.ini").c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The command-line road of the real program reads the setting but never
// creates or changes the file.
TEST(LanguageOnTheRoad, RefusalsComeInTheLanguageOfTheFile) {
    const std::string german = "Das angegebene Projekt \"x\" konnte nicht gefunden werden!";
    const std::string english = "Cannot find the project \"x\"!";
    std::string big;
    while (big.size() < (1u << 20)) big += "; a long file of notes, with [brackets] and = signs\r\n";
    std::string binary;
    for (int round = 0; round < 4; ++round)
        for (int b = 1; b < 256; ++b) binary += char(b);
    const struct {
        const char* what;
        bool present;
        std::string ini;
        std::string expected;
    } cases[] = {
        {"no file", false, "", german},
        {"other letter cases", true, "[lAnGuAgE]\r\nlANGUAGE = 1\r\n", english},
        {"1 MB before the setting", true, big + "[Language]\r\nLanguage = 1\r\n", english},
        {"binary bytes before the setting", true, binary + "\r\n[Language]\r\nLanguage = 1\r\n", english},
        {"a zero byte ends the text", true, binary + std::string("\0\r\n", 3) + "[Language]\r\nLanguage = 1\r\n",
         german},
        {"no line end", true, "[Language]Language = 1", german},
        {"value 2", true, "[Language]\r\nLanguage = 2\r\n", english},
        {"value -1", true, "[Language]\r\nLanguage = -1\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string folder = drv::FreshFolder("language-road");
        std::string exe = drv::InstallProgram(folder);
        CreateDirectoryA((folder + "Data").c_str(), nullptr);
        ASSERT_TRUE(drv::WriteBytes(folder + "Data\\Projects.twp", "Demo\xBF" "C:\\e.exe \"C:\\a.pb\" \r\n"));
        if (c.present) { ASSERT_TRUE(drv::WriteBytes(folder + "Language.ini", c.ini)); }

        drv::Process p = drv::Start(exe, "x", drv::FreshFolder("language-cwd"));
        drv::MessageBoxInfo box = drv::WaitMessageBox(p.Id());
        if (!box.hwnd) drv::Screenshot(std::string("road-") + c.what);
        ASSERT_NE(box.hwnd, nullptr);
        EXPECT_EQ(box.title, "Info");
        EXPECT_EQ(box.text, c.expected);
        drv::PressButton(box.hwnd, IDOK);
        EXPECT_EQ(p.Wait(10000), 0);

        std::string after;
        EXPECT_EQ(drv::ReadBytes(folder + "Language.ini", after), c.present) << "never created on this road";
        EXPECT_TRUE(after == c.ini) << "never changed on this road";
    }
}

}  // namespace
