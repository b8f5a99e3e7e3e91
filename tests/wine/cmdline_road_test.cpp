// The command-line road on the real program: a project shortcut's start.
#include <gtest/gtest.h>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "support/core/text.h"

namespace {

using drv::ProjectLine;

constexpr UINT kInformation = MB_ICONINFORMATION | MB_OK;

// The program with an empty Data folder and the stand-in editor in a folder
// with a space.
drv::ProgramSetup RoadSetup(const std::string& editorFolder = "Pure Basic") {
    return drv::ProgramSetup().Data().Editor(editorFolder);
}

std::string NotFound(const std::string& name) { return InsertQuotedName(CatalogueTextFor("Find P", 0), name); }

// Runs the program with `args` from another folder and watches it to its end.
drv::Watched RunHidden(const drv::Program& s, const std::string& args) {
    drv::Process p = s.Run(args, drv::FreshFolder("elsewhere"));
    return drv::WatchUntilEnd(p);
}

// Runs the program with `args`; it shows `text` in its information box, and
// ends with 0 once the box is answered.
void ExpectRefusal(const drv::Program& s, const std::string& args, const std::string& text) {
    drv::Process p = s.Run(args);
    ASSERT_TRUE(drv::AnswerBox(p.Id(), "Info", text, kInformation));
    EXPECT_EQ(p.Wait(), 0);
}

TEST(CommandLineRoad, OpensTheProjectFilesInTheEditorWithoutAWindow) {
    drv::Program s("road-start", RoadSetup());
    const std::string a = s.folder + "src\\main.pb", b = s.folder + "src\\inc.pbi";
    std::string file = ProjectLine("Other", "X:\\nothing.exe", {"C:\\x.pb"}) + ProjectLine("My Project", s.editor, {a, b});
    s.SetProjects(file);

    drv::Watched run = RunHidden(s, "\"My Project\"");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.sawWindow);

    ASSERT_TRUE(drv::WaitFor([&] { return !s.EditorRuns().empty(); }, 15000));
    auto runs = s.EditorRuns();
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
    drv::Program s("road-case", RoadSetup("50%done x"));
    const std::string src = s.folder + "100%\\a.pb";
    std::string name = "\xE4" "bc Demo";  // "äbc Demo"
    s.SetProjects(ProjectLine(name, s.editor, {src}));

    drv::Watched run = RunHidden(s, "\"  \xC4" "BC DEMO  \"");  // "ÄBC DEMO", padded
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.sawWindow);
    ASSERT_TRUE(drv::WaitFor([&] { return !s.EditorRuns().empty(); }, 15000));
    auto runs = s.EditorRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].commandLine.find("\"" + src + "\""), std::string::npos) << runs[0].commandLine;
}

TEST(CommandLineRoad, RefusalsShowOneInformationBoxAndEndWithZero) {
    const struct {
        const char* name;
        const char* projects;  // null: no project file
        size_t size;           // of `projects`, which may hold a NUL; 0: up to the first
        const char* args;
        std::string text;
    } cases[] = {
        {"no-file", nullptr, 0, "Demo", CatalogueTextFor("No P", 0)},
        {"unknown", "Demo\xBF" "C:\\e.exe \"C:\\a.pb\" \r\n", 0, "\"Not There\"", NotFound("not there")},
        {"unclosed", "Demo\xBF" "C:\\e.exe \r\n", 0, "\"open quote to the end", NotFound("open quote to the end")},
        {"odd-bytes", "\x01\x02\xBF\xBF\"\"\0\r\r\n\xFF", 11, "a\"b\\c/d\xBF", NotFound("a\"b\\c/d\xBF")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drv::Program s(std::string("road-refuse-") + c.name, RoadSetup());
        if (c.projects) s.SetProjects(std::string(c.projects, c.size ? c.size : strlen(c.projects)));
        ASSERT_NO_FATAL_FAILURE(ExpectRefusal(s, c.args, c.text));
        EXPECT_FALSE(drv::Exists(s.folder + "Data\\tmp.bat"));
    }

    // A very long parameter is reported whole, not truncated into another
    // project. The box outgrows the screen, where its icon cannot be seen.
    const std::string longName(10000, 'n');
    drv::Program s("road-refuse-long", RoadSetup());
    s.SetProjects("Demo\xBF" "C:\\e.exe \r\n");
    drv::Process p = s.Run("\"" + longName + "\"");
    drv::MessageBoxInfo box = drv::WaitMessageBoxTitled(p.Id(), "Info");
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, NotFound(longName));
    drv::PressButton(box.hwnd, IDOK);
    EXPECT_EQ(p.Wait(), 0);
}

// Only the first parameter counts, and one that trims to nothing means the
// window road, whatever follows it.
TEST(CommandLineRoad, TheFirstParameterAloneDecidesTheRoad) {
    drv::Program s("road-decide", RoadSetup());
    s.SetProjects(ProjectLine("beta", s.editor, {"C:\\b.pb"}));
    for (const char* args : {"\"\" beta", "\"   \" beta", "   "}) {
        SCOPED_TRACE(args);
        ASSERT_TRUE(s.Start(args));
        PostMessageA(s.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(s.process.Wait(), 0);
        if (s.process.Running()) s.process.Kill();
    }
    ExpectRefusal(s, "alpha beta", NotFound("alpha"));
    EXPECT_TRUE(s.EditorRuns().empty()) << "beta is never started";
}

TEST(CommandLineRoad, ABatchFileThatCannotBeWrittenEndsInFindP) {
    drv::Program s("road-locked", RoadSetup());
    s.SetProjects(ProjectLine("Demo", s.editor, {"C:\\a.pb"}));
    // A folder in the batch file's place: it cannot be created as a file.
    ASSERT_TRUE(CreateDirectoryA((s.folder + "Data\\tmp.bat").c_str(), nullptr));
    ExpectRefusal(s, "Demo", NotFound("demo"));
    EXPECT_TRUE(s.EditorRuns().empty());
}

}  // namespace
