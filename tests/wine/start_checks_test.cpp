// Starts that open every file or say which they could not, on the real
// program with the real cmd.exe and the stand-in editor: a project too long
// for one command line, files that are gone, and shortcuts after the
// program's folder was moved.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "driver/remote_controls.h"
#include "driver/shortcut.h"
#include "projects/projects.h"
#include "support/shell_link.h"
#include "support/core/text.h"

namespace {

using drv::ProjectLine;
using Names = std::vector<std::string>;

// The arguments of a command line after the program's own path, as the
// editor's runtime splits them (Wine's "start" passes paths without spaces
// unquoted).
Names Arguments(const std::string& commandLine) {
    std::wstring wide(commandLine.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, commandLine.c_str(), -1, wide.data(), int(wide.size()));
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
    Names args;
    for (int i = 1; i < count; ++i) {
        char buf[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, argv[i], -1, buf, sizeof buf, nullptr, nullptr);
        args.push_back(buf);
    }
    LocalFree(argv);
    return args;
}

// The program with the stand-in editor and a Data folder.
struct Bed : drv::Program {
    explicit Bed(const std::string& name) : Program(name) {
        AddEditor();
        CreateDirectoryA((folder + "Data").c_str(), nullptr);
    }
    // Every path the editor was given, over all its starts so far.
    Names Opened() const {
        Names all;
        for (const drv::EditorRun& run : EditorRuns()) {
            Names args = Arguments(run.commandLine);
            all.insert(all.end(), args.begin(), args.end());
        }
        return all;
    }
};

// cmd.exe reads 8,191 characters of a line: 400 paths of 40 characters
// (17,200 with their quotes) go in several commands, and the editor gets
// each path once.
TEST(StartChecks, ALongProjectOpensEveryFileOnce) {
    Bed s("long");
    drv::RemoveTree("C:\\tw-long");
    Names files;
    for (int i = 0; i < 400; ++i) files.push_back("C:\\tw-long\\f" + std::to_string(1000 + i).substr(1) + "-" +
                                                  std::string(21, 'x') + ".pb");
    ASSERT_EQ(files[0].size(), 40u);
    drv::MakeSources(files);
    s.SetProjects(ProjectLine("Long", s.editor, files));

    drv::Process p = s.Run("Long");
    EXPECT_EQ(p.Wait(), 0);
    ASSERT_TRUE(drv::WaitFor([&] { return s.Opened().size() >= files.size(); }, 20000)) << s.Opened().size();
    EXPECT_TRUE(drv::Stays([&] { return s.Opened().size() == files.size(); }, 1000)) << "nothing more";
    EXPECT_GE(s.EditorRuns().size(), 2u) << "several commands";
    Names opened = s.Opened();
    std::sort(opened.begin(), opened.end());
    EXPECT_TRUE(opened == files) << "every path exactly once";
    EXPECT_TRUE(drv::WaitFor([&] { return !drv::Exists(s.folder + "Data\\tmp.bat"); }));
    drv::RemoveTree("C:\\tw-long");
}

// Two of five files are gone: the start names them and asks; Cancel starts
// nothing, Open opens the other three. On the command-line road (a
// shortcut's) and from the window.
TEST(StartChecks, MissingFilesAreNamedAndTheUserDecides) {
    Bed s("missing");
    s.Put("Language.ini", drv::LanguageIni(1));
    Names files, there, gone;
    for (const char* f : {"a.pb", "b.pb", "c.pbi", "d.pb", "e.pb"}) files.push_back(s.folder + "src\\" + f);
    drv::MakeSources(files);
    for (size_t i = 0; i < files.size(); ++i) {
        if (i == 1 || i == 3) {
            // One gone, one a folder now: neither is a file to open.
            ASSERT_TRUE(DeleteFileA(files[i].c_str()));
            if (i == 3) {
                ASSERT_TRUE(CreateDirectoryA(files[i].c_str(), nullptr));
            }
            gone.push_back(files[i]);
        } else {
            there.push_back(files[i]);
        }
    }
    s.SetProjects(ProjectLine("Five", s.editor, files));
    constexpr UINT kQuestion = drv::kMissingFilesFlags;

    drv::Process no = s.Run("Five");
    ASSERT_TRUE(drv::AnswerBox(no.Id(), "Info", drv::MissingFilesBox(1, "five", gone, false), kQuestion, IDCANCEL));
    EXPECT_EQ(no.Wait(), 0);
    drv::Process yes = s.Run("Five");
    ASSERT_TRUE(drv::AnswerBox(yes.Id(), "Info", drv::MissingFilesBox(1, "five", gone, false), kQuestion, IDYES));
    EXPECT_EQ(yes.Wait(), 0);
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(s.editor, 1, there));

    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.SelectRow(0));
    ASSERT_TRUE(s.ClickForBox(kGadgetStart));
    drv::Screenshot("locate");
    ASSERT_TRUE(s.AnswerInfo(drv::MissingFilesBox(1, "Five", gone, false), kQuestion, IDCANCEL));
    EXPECT_TRUE(drv::Stays([&] { return s.EditorRuns().size() == 1; }, 500)) << "Cancel starts nothing";
    ASSERT_TRUE(s.ClickForBox(kGadgetStart));
    ASSERT_TRUE(s.AnswerInfo(drv::MissingFilesBox(1, "Five", gone, false), kQuestion, IDYES));
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(s.editor, 2, there));
    s.Quit();
}

// A project whose folder was moved: Locate finds its files below the folder
// the user chooses, stores them in its line (the others' lines as they were,
// the list before kept as the backup) and starts them; another project that
// lost files in the same move is left after No and repaired after Yes. A
// Locate that finds nothing writes nothing.
TEST(StartChecks, LocateFindsTheFilesOfAMovedFolder) {
    Bed s("locate");
    const std::string old = s.folder + "old\\game\\", moved = s.folder + "new\\game";
    const std::string kept = ProjectLine("Else", s.editor, {s.folder + "gone.pb"});
    drv::MakeSources({old + "src\\a.pb", old + "b.pbi", old + "src\\c.pb", old + "d.pb"});
    // The list with the files of Game, Other and Tools in these folders.
    auto list = [&](const std::string& game, const std::string& other, const std::string& tools) {
        return ProjectLine("Game", s.editor, {game + "src\\a.pb", game + "b.pbi"}) + kept +
               ProjectLine("Other", s.editor, {other + "src\\c.pb"}) + ProjectLine("Tools", s.editor, {tools + "d.pb"});
    };
    s.SetProjects(list(old, old, old));
    drv::MakeFolders(s.folder + "new");
    ASSERT_TRUE(MoveFileA(old.c_str(), moved.c_str()));
    // Starts `name`: Locate for its missing files, `folder` in the picker,
    // then `answer` to the question `text` that follows.
    auto locate = [&](const char* name, std::vector<std::string> missing, const std::string& folder, Msg text,
                      size_t count, UINT flags, int answer) {
        drv::Process p = s.Run(name);
        const std::string project = LowerName(name);
        EXPECT_TRUE(drv::AnswerBox(p.Id(), "Info", drv::MissingFilesBox(0, project, missing, true), drv::kNoFilesFlags,
                                   IDOK));
        EXPECT_TRUE(drv::AnswerFileDialog(p.Id(), InsertQuotedName(CatalogueTextFor(Msg::kLocateTitle, 0), project),
                                          folder));
        const std::string shown = ReplaceAll(CatalogueTextFor(text, 0), "%count%", std::to_string(count));
        EXPECT_TRUE(drv::AnswerBox(p.Id(), "Info", ReplaceAll(shown, "%path%", "\"" + folder + "\""), flags, answer));
        return p;
    };
    constexpr UINT kQuestion = MB_ICONQUESTION | MB_YESNO;
    drv::Process game = locate("Game", {old + "src\\a.pb", old + "b.pbi"}, s.folder + "new", Msg::kRepairOthers, 2,
                               kQuestion, IDNO);
    EXPECT_EQ(game.Wait(), 0);
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(s.editor, 1, {moved + "\\src\\a.pb", moved + "\\b.pbi"}));
    EXPECT_EQ(s.ProjectFile(), list(moved + "\\", old, old)) << "No leaves the other projects";
    EXPECT_EQ(drv::Bytes(s.folder + "Data\\Projects.twp.bak"), list(old, old, old));

    EXPECT_EQ(locate("Other", {old + "src\\c.pb"}, moved, Msg::kRepairOthers, 1, kQuestion, IDYES).Wait(), 0);
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(s.editor, 2, {moved + "\\src\\c.pb"}));
    EXPECT_EQ(s.ProjectFile(), list(moved + "\\", moved + "\\", moved + "\\"));

    drv::Process nothing =
        locate("Else", {s.folder + "gone.pb"}, moved, Msg::kNothingLocated, 0, MB_ICONINFORMATION | MB_OK, IDOK);
    ASSERT_TRUE(drv::AnswerBox(nothing.Id(), "Info", drv::MissingFilesBox(0, "else", {s.folder + "gone.pb"}, true),
                               drv::kNoFilesFlags, IDCANCEL));
    EXPECT_EQ(nothing.Wait(), 0);
    EXPECT_EQ(s.ProjectFile(), list(moved + "\\", moved + "\\", moved + "\\"));
    EXPECT_EQ(s.EditorRuns().size(), 2u);
}

// An editor that is not at its path (deleted, a folder there, a variable
// that names nothing) is named, on both roads; declining to choose another
// starts nothing.
TEST(StartChecks, AMissingEditorIsNamedOnBothRoads) {
    Bed s("no-editor-file");
    const std::string a = s.folder + "a.pb";
    drv::MakeSources({a});
    const std::string folder = s.folder + "Folder.exe";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    auto box = [&](int language, const std::string& name, const std::string& editor) {
        return InsertQuotedName(CatalogueTextFor(Msg::kMissingEditor, language), name) + "\r\n\r\n" + editor +
               "\r\n\r\n" + CatalogueTextFor(Msg::kFixEditor, language);
    };
    auto refused = [&](const std::string& args, const std::string& text) {
        drv::Process p = s.Run(args);
        ASSERT_TRUE(drv::AnswerBox(p.Id(), "Info", text, MB_ICONQUESTION | MB_YESNO, IDNO));
        EXPECT_EQ(p.Wait(), 0);
    };
    const std::string deleted = s.folder + "Gone\\PureBasic.exe";
    s.SetProjects(ProjectLine("Deleted", deleted, {a}) + ProjectLine("Folder", folder, {a}) +
                  ProjectLine("Variable", "%TW_NO_SUCH_VARIABLE%\\PureBasic.exe", {a}));
    refused("Deleted", box(0, "deleted", deleted));
    refused("Folder", box(0, "folder", folder));
    refused("Variable", box(0, "variable", "%TW_NO_SUCH_VARIABLE%\\PureBasic.exe"));

    s.Put("Language.ini", drv::LanguageIni(1));
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.SelectRow(0));
    ASSERT_TRUE(s.ClickForBox(kGadgetStart));
    ASSERT_TRUE(s.AnswerInfo(box(1, "Deleted", deleted), MB_ICONQUESTION | MB_YESNO, IDNO));
    EXPECT_TRUE(s.EditorRuns().empty());
    EXPECT_FALSE(drv::Exists(s.folder + "Data\\tmp.bat"));
    // Yes: the editor chosen instead goes into the line, and the project starts.
    ASSERT_TRUE(s.ClickForBox(kGadgetStart));
    ASSERT_TRUE(s.AnswerInfo(box(1, "Deleted", deleted), MB_ICONQUESTION | MB_YESNO, IDYES));
    ASSERT_TRUE(drv::AnswerFileDialog(s.process.Id(), CatalogueTextFor(Msg::kChooseEditor, 1), s.editor));
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(s.editor, 1, {a}));
    EXPECT_TRUE(s.ProjectFile().starts_with(ProjectLine("Deleted", s.editor, {a})));
    s.Quit();
}

// A folder that does not answer (one on a disconnected network drive: each
// lookup there waits out the network's time-out) holds a start up for two
// seconds at most, its files are started unchecked, and the window keeps
// answering meanwhile. A name there that needs its short form for the
// command interpreter (a euro sign: no OEM code page has it) cannot be
// started: it would be looked up there again.
TEST(StartChecks, AStartNeverWaitsForAFolderThatDoesNotAnswer) {
    // The marker makes every lookup in N:\net (N: is a network drive of the
    // test bed) wait 30 s. One left behind would hold up whatever looks there
    // next: it goes in any case.
    const std::string net = "N:\\net\\";
    struct Marker {
        std::string path = "N:\\net\\tw-slow-lookup";
        Marker() { DeleteFileA(path.c_str()); }
        ~Marker() { DeleteFileA(path.c_str()); }
    } marker;
    if (!drv::UnderShim()) {
        EXPECT_EQ(drv::RunTestUnderShim("slow_lookup"), 0);
        return;
    }
    Bed s("slow-folder");
    CreateDirectoryA(net.c_str(), nullptr);
    const std::string a = s.folder + "a.pb", b = net + "b.pb", euro = net + "\x80.pb";
    drv::MakeSources({a, b, euro});
    s.SetProjects(ProjectLine("Net", s.editor, {a, b}) + ProjectLine("Euro", s.editor, {euro}));
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(drv::WriteBytes(marker.path, ""));
    ASSERT_TRUE(s.SelectRow(0));
    PostMessageA(s.Gadget(kGadgetStart), BM_CLICK, 0, 0);
    const DWORD started =
        s.AnswersUntil([&] { return !s.EditorRuns().empty(); }, "start with a folder that does not answer");
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(s.editor, 1, {a, b}));
    EXPECT_LT(started, drv::Span(6000));

    ASSERT_TRUE(s.SelectRow(1));
    ASSERT_TRUE(s.ClickForBox(kGadgetStart));
    ASSERT_TRUE(
        s.AnswerInfo(InsertQuotedName(CatalogueTextFor(Msg::kUnreadablePath, 0), "Euro"), MB_ICONINFORMATION | MB_OK));
    EXPECT_EQ(s.EditorRuns().size(), 1u);
    s.Quit();
}

// The program's folder moved: when the window opens, the shortcuts of the
// listed projects that name the old place are written again for the new
// one, and open their project; every other file in Projects stays as it was,
// and no shortcut is made where there was none.
TEST(StartChecks, ShortcutsFollowTheProgramToItsNewFolder) {
    drv::Program app("moved");
    app.editor = app.parent + "editor\\PureBasic.exe";  // outside the folder that moves
    drv::MakeFolders(drv::FolderOf(app.editor));
    ASSERT_TRUE(CopyFileA(drv::ToolPath("fake_editor.exe").c_str(), app.editor.c_str(), FALSE));
    const std::string a = app.parent + "src\\a.pb", b = app.parent + "src\\b.pb";
    drv::MakeSources({a, b});
    // Gamma has no shortcut (its user deleted it): none is made. It comes
    // first, so it is looked at before Alpha is written again.
    app.SetProjects(ProjectLine("Gamma", app.editor, {b}) + ProjectLine("Alpha", app.editor, {a}) +
                    ProjectLine("Beta Two", app.editor, {b}));
    drv::MakeFolders(app.folder + "Projects");
    // The shortcut the program makes for project `name` when it runs as `program`.
    auto link = [&](const std::string& name, const std::string& program) {
        const std::string folder = drv::FolderOf(program);
        ASSERT_TRUE(CreateShellLink(program, folder + "Projects\\" + name + ".lnk", "\"" + name + "\"",
                                    "PureBASIC Project", folder, SW_HIDE, 0, drv::kShortcutIconFile, 169));
    };
    link("Alpha", app.exe);
    link("Not Listed", app.exe);
    ASSERT_TRUE(drv::WriteBytes(app.folder + "Projects\\notes.txt", "mine"));

    const std::string moved = app.parent + "moved\\";
    ASSERT_TRUE(MoveFileA((app.parent + "app").c_str(), (app.parent + "moved").c_str()));
    app.folder = moved;
    app.exe = moved + "tarnwick.exe";
    const std::string newProjects = moved + "Projects\\";
    link("Beta Two", app.exe);  // right already
    const std::string notListed = drv::Bytes(newProjects + "Not Listed.lnk");
    const std::string beta = drv::Bytes(newProjects + "Beta Two.lnk");

    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ReadShortcut(newProjects + "Alpha.lnk").target == app.exe; }))
        << drv::ReadShortcut(newProjects + "Alpha.lnk").target;
    app.Quit();
    ASSERT_NO_FATAL_FAILURE(drv::ExpectProjectShortcut(newProjects + "Alpha.lnk", "Alpha", app.exe));
    EXPECT_EQ(drv::Listing(newProjects), (Names{"Alpha.lnk", "Beta Two.lnk", "Not Listed.lnk", "notes.txt"}));
    EXPECT_TRUE(drv::Bytes(newProjects + "Not Listed.lnk") == notListed) << "not a project of the list";
    EXPECT_TRUE(drv::Bytes(newProjects + "Beta Two.lnk") == beta) << "right already";
    EXPECT_EQ(drv::Bytes(newProjects + "notes.txt"), "mine");
    drv::ExpectShortcutOpensFiles(newProjects + "Alpha.lnk", app.editor, {a}, app.folder);
}

}  // namespace
