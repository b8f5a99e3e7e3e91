// The command-line road on the real program: a project shortcut's start.
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace {

const char kSep = '\xBF';

struct Bed {
    std::string folder;   // the program's folder
    std::string exe;      // the program
    std::string editor;   // the stand-in editor, in a folder with a space
};

Bed MakeSetup(const std::string& name, const std::string& editorFolder = "Pure Basic") {
    Bed s;
    s.folder = drv::FreshFolder(name);
    s.exe = drv::InstallProgram(s.folder);
    s.editor = s.folder + editorFolder + "\\PureBasic.exe";
    EXPECT_TRUE(drv::InstallEditor(s.editor));
    CreateDirectoryA((s.folder + "Data").c_str(), nullptr);
    return s;
}

std::string Line(const std::string& name, const std::string& editor, const std::vector<std::string>& files) {
    std::string line = name + kSep + editor + " ";
    for (const auto& f : files) line += "\"" + f + "\" ";
    return line + "\r\n";
}

// Runs the program with `args` from another folder and watches that it never
// shows a window; returns its exit code.
long RunHidden(const Bed& s, const std::string& args, bool* sawWindow) {
    std::string elsewhere = drv::FreshFolder("elsewhere");
    drv::Process p = drv::Start(s.exe, args, elsewhere);
    EXPECT_TRUE(p.Started());
    *sawWindow = false;
    while (p.Running()) {
        if (!drv::TopWindows(p.Id()).empty()) *sawWindow = true;
        Sleep(5);
    }
    return p.Wait(20000);
}

TEST(CommandLineRoad, OpensTheProjectFilesInTheEditorWithoutAWindow) {
    Bed s = MakeSetup("road-start");
    const std::string a = s.folder + "src\\main.pb", b = s.folder + "src\\inc.pbi";
    std::string file = Line("Other", "X:\\nothing.exe", {"C:\\x.pb"}) + Line("My Project", s.editor, {a, b});
    ASSERT_TRUE(drv::WriteBytes(s.folder + "Data\\Projects.twp", file));

    bool sawWindow = true;
    EXPECT_EQ(RunHidden(s, "\"My Project\"", &sawWindow), 0);
    EXPECT_FALSE(sawWindow);

    ASSERT_TRUE(drv::WaitFor([&] { return !drv::ReadEditorLog(s.editor).empty(); }, 15000));
    auto runs = drv::ReadEditorLog(s.editor);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].commandLine.find("\"" + a + "\""), std::string::npos) << runs[0].commandLine;
    EXPECT_NE(runs[0].commandLine.find("\"" + b + "\""), std::string::npos) << runs[0].commandLine;
    EXPECT_EQ(runs[0].directory + "\\", s.folder);

    std::string bat;
    ASSERT_TRUE(drv::ReadBytes(s.editor + ".bat", bat));
    EXPECT_EQ(bat, "\"" + s.editor + "\" \"" + a + "\" \"" + b + "\" \r\ndel Data\\tmp.bat");
    EXPECT_TRUE(drv::WaitFor([&] { return !drv::Exists(s.folder + "Data\\tmp.bat"); }, 10000))
        << "the batch file deletes itself";
    std::string after;
    ASSERT_TRUE(drv::ReadBytes(s.folder + "Data\\Projects.twp", after));
    EXPECT_EQ(after, file) << "starting never changes the project file";
}

TEST(CommandLineRoad, NamesMatchWhateverTheCaseAndPercentSurvives) {
    // An editor under a folder with '%' and a space, a stored name with Latin-1 letters.
    Bed s = MakeSetup("road-case", "50%done x");
    const std::string src = s.folder + "100%\\a.pb";
    std::string name = "\xE4" "bc Demo";  // "äbc Demo"
    ASSERT_TRUE(drv::WriteBytes(s.folder + "Data\\Projects.twp", Line(name, s.editor, {src})));

    bool sawWindow = true;
    EXPECT_EQ(RunHidden(s, "\"  \xC4" "BC DEMO  \"", &sawWindow), 0);  // "ÄBC DEMO", padded
    EXPECT_FALSE(sawWindow);
    ASSERT_TRUE(drv::WaitFor([&] { return !drv::ReadEditorLog(s.editor).empty(); }, 15000));
    auto runs = drv::ReadEditorLog(s.editor);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].commandLine.find("\"" + src + "\""), std::string::npos) << runs[0].commandLine;
}

struct Refusal {
    const char* name;
    const char* projects;  // null: no project file
    const char* args;
    const char* text;
};

TEST(CommandLineRoad, RefusalsShowOneInformationBoxAndEndWithZero) {
    const std::string longName(10000, 'n');
    const Refusal cases[] = {
        {"no-file", nullptr, "Demo", "Es sind keine Projekte vorhanden!"},
        {"unknown", "Demo\xBF" "C:\\e.exe \"C:\\a.pb\" \r\n", "\"Not There\"",
         "Das angegebene Projekt \"not there\" konnte nicht gefunden werden!"},
        {"unclosed", "Demo\xBF" "C:\\e.exe \r\n", "\"open quote to the end",
         "Das angegebene Projekt \"open quote to the end\" konnte nicht gefunden werden!"},
        {"odd-bytes", "\x01\x02\xBF\xBF\"\"\0\r\r\n\xFF", "a\"b\\c/d\xBF",
         "Das angegebene Projekt \"a\"b\\c/d\xBF\" konnte nicht gefunden werden!"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        Bed s = MakeSetup(std::string("road-refuse-") + c.name);
        if (c.projects) {
            size_t size = std::string(c.name) == "odd-bytes" ? 11 : strlen(c.projects);  // holds a NUL
            ASSERT_TRUE(drv::WriteBytes(s.folder + "Data\\Projects.twp", std::string(c.projects, size)));
        }
        drv::Process p = drv::Start(s.exe, c.args, s.folder);
        drv::MessageBoxInfo box = drv::WaitMessageBox(p.Id());
        if (!box.hwnd) drv::Screenshot(std::string("refusal-") + c.name);
        ASSERT_NE(box.hwnd, nullptr);
        EXPECT_EQ(box.title, "Info");
        EXPECT_EQ(box.text, c.text);
        EXPECT_TRUE(box.hasOk);
        EXPECT_FALSE(box.hasYes);
        EXPECT_EQ(box.icon, 64);
        drv::PressButton(box.hwnd, IDOK);
        EXPECT_EQ(p.Wait(10000), 0);
        EXPECT_FALSE(drv::Exists(s.folder + "Data\\tmp.bat"));
    }

    // A very long parameter is reported, not truncated into another project.
    Bed s = MakeSetup("road-refuse-long");
    ASSERT_TRUE(drv::WriteBytes(s.folder + "Data\\Projects.twp", "Demo\xBF" "C:\\e.exe \r\n"));
    drv::Process p = drv::Start(s.exe, "\"" + longName + "\"", s.folder);
    drv::MessageBoxInfo box = drv::WaitMessageBox(p.Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_NE(box.text.find(longName.substr(0, 100)), std::string::npos);
    drv::PressButton(box.hwnd, IDOK);
    EXPECT_EQ(p.Wait(10000), 0);
}

// Only the first parameter counts, and one that trims to nothing means the
// window road, whatever follows it.
TEST(CommandLineRoad, TheFirstParameterAloneDecidesTheRoad) {
    Bed s = MakeSetup("road-decide");
    ASSERT_TRUE(drv::WriteBytes(s.folder + "Data\\Projects.twp", Line("beta", s.editor, {"C:\\b.pb"})));
    for (const char* args : {"\"\" beta", "\"   \" beta", "   "}) {
        SCOPED_TRACE(args);
        drv::Process p = drv::Start(s.exe, args, s.folder);
        HWND window = drv::WaitWindow(p.Id(), "WindowClass_0", 20000);
        if (!window) drv::Screenshot("road-decide");
        ASSERT_NE(window, nullptr);
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(p.Wait(10000), 0);
        if (p.Running()) p.Kill();
    }
    drv::Process p = drv::Start(s.exe, "alpha beta", s.folder);
    drv::MessageBoxInfo box = drv::WaitMessageBox(p.Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, "Das angegebene Projekt \"alpha\" konnte nicht gefunden werden!");
    drv::PressButton(box.hwnd, IDOK);
    EXPECT_EQ(p.Wait(10000), 0);
    EXPECT_TRUE(drv::ReadEditorLog(s.editor).empty()) << "beta is never started";
}

TEST(CommandLineRoad, ABatchFileThatCannotBeWrittenEndsInFindP) {
    Bed s = MakeSetup("road-locked");
    ASSERT_TRUE(drv::WriteBytes(s.folder + "Data\\Projects.twp", Line("Demo", s.editor, {"C:\\a.pb"})));
    // A folder in the batch file's place: it cannot be created as a file.
    ASSERT_TRUE(CreateDirectoryA((s.folder + "Data\\tmp.bat").c_str(), nullptr));
    drv::Process p = drv::Start(s.exe, "Demo", s.folder);
    drv::MessageBoxInfo box = drv::WaitMessageBox(p.Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, "Das angegebene Projekt \"demo\" konnte nicht gefunden werden!");
    drv::PressButton(box.hwnd, IDOK);
    EXPECT_EQ(p.Wait(10000), 0);
    EXPECT_TRUE(drv::ReadEditorLog(s.editor).empty());
}

}  // namespace
