// The command-line road on the real program: a project shortcut's start.
#include <gtest/gtest.h>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "support/core/text.h"

namespace {

using drv::ProjectLine;

// The program with an empty Data folder and the stand-in editor.
struct Road : drv::Program {
    explicit Road(const std::string& name, const std::string& editorFolder = "Pure Basic") : Program(name) {
        AddEditor(editorFolder);
        CreateDirectoryA((folder + "Data").c_str(), nullptr);
    }
    // Runs the program with `args` from another folder: it ends with 0
    // without ever showing a window, and the editor gets `files`.
    void ExpectHiddenStart(const std::string& args, const std::vector<std::string>& files) {
        drv::Process p = Run(args, drv::FreshFolder("elsewhere"));
        drv::Watched run = drv::WatchUntilEnd(p);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_FALSE(run.sawWindow);
        drv::ExpectEditorRuns(editor, 1, files);
    }
};

std::string NotFound(const std::string& name) { return InsertQuotedName(CatalogueTextFor(Msg::kNotFound, 0), name); }

TEST(CommandLineRoad, OpensTheProjectFilesInTheEditorWithoutAWindow) {
    Road s("road-start");
    const std::string a = s.folder + "src\\main.pb", b = s.folder + "src\\inc.pbi";
    std::string file =
        ProjectLine("Other", "X:\\nothing.exe", {"C:\\x.pb"}) + ProjectLine("My Project", s.editor, {a, b});
    drv::MakeSources({a, b});
    s.SetProjects(file);

    ASSERT_NO_FATAL_FAILURE(s.ExpectHiddenStart("\"My Project\"", {a, b}));
    EXPECT_EQ(s.EditorRuns()[0].directory + "\\", s.folder);
    std::string bat;
    ASSERT_TRUE(drv::ReadBytes(s.editor + ".bat", bat));
    EXPECT_EQ(bat, "\"" + s.editor + "\" \"" + a + "\" \"" + b + "\" \r\ndel \"%~f0\"");
    EXPECT_TRUE(drv::WaitFor([&] { return !drv::Exists(s.folder + "Data\\tmp.bat"); }, 10000))
        << "the batch file deletes itself";
    std::string after;
    ASSERT_TRUE(drv::ReadBytes(s.folder + "Data\\Projects.twp", after));
    EXPECT_EQ(after, file) << "starting never changes the project file";
}

TEST(CommandLineRoad, NamesMatchWhateverTheCaseAndPercentSurvives) {
    // An editor under a folder with '%' and a space, a stored name with Latin-1 letters.
    Road s("road-case", "50%done x");
    const std::string src = s.folder + "100%\\a.pb";
    drv::MakeSources({src});
    s.SetProjects(ProjectLine("\xE4" "bc Demo", s.editor, {src}));  // "äbc Demo"
    s.ExpectHiddenStart("\"  \xC4" "BC DEMO  \"", {src});              // "ÄBC DEMO", padded
}

TEST(CommandLineRoad, RefusalsShowOneInformationBoxAndEndWithZero) {
    const struct {
        const char* name;
        const char* projects;  // null: no project file
        size_t size;           // of `projects`, which may hold a NUL; 0: up to the first
        const char* args;
        std::string text;
    } cases[] = {
        {"no-file", nullptr, 0, "Demo", CatalogueTextFor(Msg::kNoProjects, 0)},
        {"unknown", "Demo\xBF" "C:\\e.exe \"C:\\a.pb\" \r\n", 0, "\"Not There\"", NotFound("not there")},
        {"unclosed", "Demo\xBF" "C:\\e.exe \r\n", 0, "\"open quote to the end", NotFound("open quote to the end")},
        {"odd-bytes", "\x01\x02\xBF\xBF\"\"\0\r\r\n\xFF", 11, "a\"b\\c/d\xBF", NotFound("a\"b\\c/d\xBF")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Road s(std::string("road-refuse-") + c.name);
        if (c.projects) s.SetProjects(std::string(c.projects, c.size ? c.size : strlen(c.projects)));
        ASSERT_NO_FATAL_FAILURE(s.ExpectRefusal(c.args, c.text));
        EXPECT_FALSE(drv::Exists(s.folder + "Data\\tmp.bat"));
    }

    // A very long parameter is reported whole, not truncated into another
    // project. The box outgrows the screen, where its icon cannot be seen.
    const std::string longName(10000, 'n');
    Road s("road-refuse-long");
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
    Road s("road-decide");
    s.SetProjects(ProjectLine("beta", s.editor, {"C:\\b.pb"}));
    for (const char* args : {"\"\" beta", "\"   \" beta", "   "}) {
        SCOPED_TRACE(args);
        ASSERT_TRUE(s.Start(args));
        PostMessageA(s.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(s.process.Wait(), 0);
        if (s.process.Running()) s.process.Kill();
    }
    s.ExpectRefusal("alpha beta", NotFound("alpha"));
    EXPECT_TRUE(s.EditorRuns().empty()) << "beta is never started";
}

TEST(CommandLineRoad, ABatchFileThatCannotBeWrittenIsSaidSo) {
    Road s("road-locked");
    s.SetProjects(ProjectLine("Demo", s.editor, {s.folder + "a.pb"}));
    drv::MakeSources({s.folder + "a.pb"});
    // A folder in the batch file's place: it cannot be created as a file.
    ASSERT_TRUE(CreateDirectoryA((s.folder + "Data\\tmp.bat").c_str(), nullptr));
    s.ExpectRefusal("Demo", InsertQuotedName(CatalogueTextFor(Msg::kNotPrepared, 0), "demo"));
    EXPECT_TRUE(s.EditorRuns().empty());
}

}  // namespace
