// What reaches the command interpreter when a project starts, on the real
// program with the real cmd.exe: a file name never turns into a command, a
// planted line runs nothing, letters beyond ASCII reach the editor on German
// and English systems, and two starts never make cmd.exe run a fragment.
#include <gtest/gtest.h>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "driver/remote_controls.h"
#include "support/core/text.h"

namespace {

using drv::ProjectLine;
using Names = std::vector<std::string>;

std::wstring Wide(const std::string& text, UINT codePage = 1252) {
    std::wstring out(text.size(), L'\0');
    out.resize(size_t(MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), out.data(), int(out.size()))));
    return out;
}

std::string Utf8(const std::wstring& wide) {
    std::string out(wide.size() * 3, '\0');
    out.resize(size_t(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), int(out.size()), nullptr, nullptr)));
    return out;
}

// A refusal of the command-line road (German: it reads no Language.ini here).
std::string Refusal(Msg msg, const std::string& name) {
    return InsertQuotedName(CatalogueTextFor(msg, 0), name);
}

// The program with the stand-in editor that records what a Unicode program
// receives (tools/wide_editor), at a path without spaces, and a Data folder.
struct Bed : drv::Program {
    explicit Bed(const std::string& name) : Program(name), src(folder + "src\\") {
        AddEditor("Editor", "wide_editor.exe");
        drv::MakeSources({src + "a.pb"});
        CreateDirectoryA((folder + "Data").c_str(), nullptr);
    }
    // One record per editor start: the quoted arguments of its command line
    // (the program's own path first), as UTF-8, and its OEM code page.
    struct EditorStart {
        Names args;
        int oemCodePage = 0;
    };
    std::vector<EditorStart> Runs() const {
        std::vector<EditorStart> runs;
        const std::string log = drv::Bytes(editor + ".wide.log");
        for (size_t pos = 0, end; pos < log.size(); pos = end + 1) {
            end = std::min(log.find('\n', pos), log.size());
            const std::string line = log.substr(pos, end - pos);
            const size_t tab = line.rfind('\t');
            EditorStart run;
            run.oemCodePage = atoi(line.c_str() + tab + 1);
            for (size_t open = line.find('"'); open < tab; open = line.find('"', open + 1)) {
                const size_t close = line.find('"', open + 1);
                run.args.push_back(line.substr(open + 1, close - open - 1));
                open = close;
            }
            runs.push_back(run);
        }
        return runs;
    }
    // Waits for the editor's `count`-th start; false if it does not come.
    bool WaitRuns(size_t count) const {
        return drv::WaitFor([&] { return Runs().size() >= count; }, 20000);
    }
    // No batch file is left in Data.
    bool BatchFilesGone() const {
        return drv::WaitFor([&] { return drv::Listing(folder + "Data\\") == Names{"Projects.twp"}; }, 10000);
    }
    std::string src;
};

// A file named x＂ & calc & ＂.pb: the ANSI file calls hand its name back as
// x" & calc & ".pb, which collected and started ran calc.
TEST(StartSafety, TheTreeShowsButNeverCollectsANameTheCodePageLacks) {
    const std::string drive = drv::FreshFolder("names-drive");
    const std::wstring root = Wide(drive);
    ASSERT_TRUE(CreateDirectoryW((root + L"dir\xFF02").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"J\xFCrgen").c_str(), nullptr));
    for (const std::wstring file : {L"x\xFF02 & calc & \xFF02.pb", L"dir\xFF02\\inner.pb", L"J\xFCrgen\\\xE4.pb"}) {
        HANDLE h = CreateFileW((root + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
    }
    ASSERT_TRUE(drv::MapDrive('U', drive));
    for (int language : {0, 1}) {
        SCOPED_TRACE(language ? "English" : "German");
        drv::Program app(language ? "names-en" : "names-de");
        app.Put("Language.ini", drv::LanguageIni(language));
        ASSERT_TRUE(app.Start());
        HWND tree = app.Tree();
        HTREEITEM u = drv::TreeDrive(tree, 'U');
        ASSERT_TRUE(u);
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(u));
        Names shown = drv::TreeNames(tree, u);
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, (Names{"J\xFCrgen", "dir?", "x? & calc & ?.pb"}));

        // The folder shows, but nothing below it can be reached by its name.
        drv::TreeItem dir = drv::TreeChild(tree, u, "dir?");
        ASSERT_TRUE(dir.handle);
        EXPECT_FALSE(dir.hasChildren);
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(dir.handle));
        EXPECT_TRUE(drv::TreeChildren(tree, dir.handle).empty());

        // The file shows; "->" (German) or a double-click (English) says why
        // it is not collected.
        HTREEITEM bad = drv::TreeChild(tree, u, "x? & calc & ?.pb").handle;
        ASSERT_TRUE(bad);
        PostMessageA(tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(bad));
        ASSERT_TRUE(app.Flush());
        if (language == 0)
            ASSERT_TRUE(app.ClickForBox(kGadgetAddFile));
        else
            ASSERT_TRUE(app.ClickAtFor(drv::TreeItemPoint(tree, bad), true,
                                       [&] { return !drv::TopWindows(app.process.Id(), "#32770").empty(); }));
        ASSERT_TRUE(app.AnswerInfo(CatalogueTextFor(Msg::kUnholdableName, language), MB_ICONINFORMATION | MB_OK));
        EXPECT_EQ(app.FileCount(), 0);

        // A name beyond ASCII that the code page holds is collected as it is.
        HTREEITEM jurgen = drv::TreeChild(tree, u, "J\xFCrgen").handle;
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(jurgen));
        PostMessageA(tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(drv::TreeChild(tree, jurgen, "\xE4.pb").handle));
        PostMessageA(app.Gadget(kGadgetAddFile), BM_CLICK, 0, 0);
        ASSERT_TRUE(app.Flush());
        EXPECT_EQ(drv::ListBoxItems(app.FileList()), Names{drv::FileListRow("U:\\J\xFCrgen\\\xE4.pb")});
        app.Quit();
    }
    drv::UnmapDrive('U');
}

// Project lines planted or edited by hand: only an editor path followed by
// quoted paths runs; anything else starts nothing, and the user is told.
TEST(StartSafety, APlantedLineStartsNothingAndSaysSo) {
    Bed s("planted");
    const std::string e = s.editor, a = s.src + "a.pb";
    const struct {
        const char* what;
        std::string line;
    } cases[] = {
        {"a quote inside a path", "Evil\xBF" + e + " \"" + s.src + "x\" & " + e + " INJECTED & \".pb\" \r\n"},
        {"a control byte", "Evil\xBF" + e + " \"" + a + "\x1A\" \r\n"},
        {"a command between the paths", "Evil\xBF" + e + " \"" + a + "\" & " + e + " INJECTED & \"" + a + "\" \r\n"},
        {"no files", "Evil\xBF" + e + " \r\n"},
        // cmd.exe cuts a line after 8,191 characters and runs the rest as a
        // line of its own: here from inside the quoted path.
        {"longer than cmd.exe reads",
         "Evil\xBF" + e + " \"" + s.src + std::string(8191, 'x') + " & " + e + " LONG & rem .pb\" \r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        s.SetProjects(c.line);
        ASSERT_NO_FATAL_FAILURE(s.ExpectRefusal("Evil", Refusal(Msg::kInvalidLine, "evil")));
        EXPECT_TRUE(s.BatchFilesGone());
    }
    EXPECT_TRUE(drv::Stays([&] { return s.Runs().empty(); }, 500)) << "the editor never ran";
}

// Lines older copies ran, as users repaired them by hand: the editor's path
// quoted, runs of spaces, a variable in the editor's path.
TEST(StartSafety, LinesOlderCopiesRanStillStart) {
    Bed s("old-lines");
    const std::string a = s.src + "a.pb", b = s.src + "b.pb";
    drv::MakeSources({b});
    const std::string home = drv::FolderOf(s.editor);
    SetEnvironmentVariableA("TW_ED_HOME", home.substr(0, home.size() - 1).c_str());
    s.SetProjects("Quoted\xBF\"" + s.editor + "\"  \"" + a + "\"   \"" + b + "\"  \r\n" +
                  "Variable\xBF%TW_ED_HOME%\\PureBasic.exe \"" + a + "\"\r\n");
    for (const char* name : {"Quoted", "Variable"}) {
        drv::Process p = s.Run(name);
        EXPECT_EQ(p.Wait(), 0) << name;
    }
    ASSERT_TRUE(s.WaitRuns(2));
    EXPECT_EQ(s.Runs()[0].args, (Names{s.editor, a, b}));
    EXPECT_EQ(s.Runs()[1].args, (Names{s.editor, a}));
    EXPECT_TRUE(s.BatchFilesGone());
}

// A start never runs out of batch files: those left by starts whose command
// interpreter is gone are cleared, one still being read stays as it is.
TEST(StartSafety, LeftoverBatchFilesNeverStopAStart) {
    Bed s("leftovers");
    const std::string a = s.src + "a.pb";
    s.SetProjects(ProjectLine("A", s.editor, {a}) + ProjectLine("B", s.editor, {a}));
    ASSERT_TRUE(drv::WriteBytes(s.editor + ".hold1", ""));
    drv::Process first = s.Run("A");
    EXPECT_EQ(first.Wait(), 0);
    ASSERT_TRUE(s.WaitRuns(1)) << "its command interpreter waits on Data\\tmp.bat";
    const std::string inUse = drv::Bytes(s.folder + "Data\\tmp.bat");
    // What killed interpreters left in every other slot, after the first
    // started (beyond the two seconds file times may be off).
    drv::Pause(2500);
    for (int slot = 1; slot < 100; ++slot)
        ASSERT_TRUE(drv::WriteBytes(s.folder + "Data\\tmp" + std::to_string(slot) + ".bat", "rem left\r\n"));
    drv::Process second = s.Run("B");
    EXPECT_EQ(second.Wait(), 0);
    ASSERT_TRUE(s.WaitRuns(2));
    EXPECT_EQ(drv::Bytes(s.folder + "Data\\tmp.bat"), inUse);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::Listing(s.folder + "Data\\").size() == 2; }))
        << "only the list and the file in use are left";
    DeleteFileA((s.editor + ".hold1").c_str());
    EXPECT_TRUE(s.BatchFilesGone());
    EXPECT_EQ(s.Runs().size(), 2u);
}

// A project made while no editor was registered: a start takes the editor
// registered now, and a REG_EXPAND_SZ command has its variables expanded.
TEST(StartSafety, AProjectMadeWithoutTheEditorTakesTheRegisteredOne) {
    Bed s("no-editor");
    const std::string a = s.src + "a.pb", line = ProjectLine("Demo", "", {a});
    s.SetProjects(line);
    drv::Process declined = s.Run("Demo");
    const std::string question =
        Refusal(Msg::kNoEditor, "demo") + "\r\n\r\n" + CatalogueTextFor(Msg::kChooseEditorNow, 0);
    ASSERT_TRUE(drv::AnswerBox(declined.Id(), "Info", question, MB_ICONQUESTION | MB_YESNO, IDNO));
    EXPECT_EQ(declined.Wait(), 0);

    std::string home = drv::FolderOf(s.editor);
    SetEnvironmentVariableA("TW_EDITOR_HOME", home.substr(0, home.size() - 1).c_str());
    s.SetEditorCommand("\"%TW_EDITOR_HOME%\\PureBasic.exe\" \"%1\"", REG_EXPAND_SZ);
    drv::Process p = s.Run("Demo");
    EXPECT_EQ(p.Wait(), 0);
    ASSERT_TRUE(s.WaitRuns(1));
    EXPECT_EQ(s.Runs()[0].args, (Names{s.editor, a}));
    EXPECT_EQ(s.ProjectFile(), line) << "the stored line stays";
    EXPECT_TRUE(s.BatchFilesGone());
}

// cmd.exe reads the batch file in the console's OEM code page; the program
// holds paths in the ANSI one (1252). Each run starts the program from the
// Unix shell under a locale: Wine takes the code pages of a process from it.
TEST(StartSafety, PathsBeyondAsciiReachTheEditorOnGermanAndEnglishSystems) {
    Bed s("oem");
    // a: letters of both OEM code pages; b: the O with stroke (0xD8) only in
    // 850, the euro sign (0x80) in neither, so its short form goes.
    const std::string a = s.src + "J\xFCrgen\\\xE4.pb", b = s.src + "\xD8\\x\x80.pb";
    for (const std::string& f : {a, b}) {
        drv::MakeFolders(drv::FolderOf(f));
        ASSERT_TRUE(drv::WriteBytes(f, "x"));
    }
    s.SetProjects(ProjectLine("Umlaut", s.editor, {a, b}));
    const struct {
        const char* locale;
        int oemCodePage;
    } systems[] = {{"de_DE.UTF-8", 850}, {"en_US.UTF-8", 437}};
    size_t count = 0;
    for (const auto& system : systems) {
        SCOPED_TRACE(system.locale);
        ASSERT_EQ(drv::RunUnix("cd '" + drv::UnixPath(s.folder) + "' && LC_ALL=" + system.locale +
                               " $TW_WINE tarnwick.exe Umlaut"),
                  0);
        ASSERT_TRUE(s.WaitRuns(++count));
        const Bed::EditorStart run = s.Runs().back();
        EXPECT_EQ(run.oemCodePage, system.oemCodePage) << "the locale is installed (scripts/setup.sh)";
        ASSERT_EQ(run.args.size(), 3u);
        EXPECT_EQ(run.args[1], Utf8(Wide(a)));
        // The short form names the same file.
        wchar_t full[MAX_PATH] = {};
        GetLongPathNameW(Wide(run.args[2], CP_UTF8).c_str(), full, MAX_PATH);
        EXPECT_EQ(lstrcmpiW(full, Wide(b).c_str()), 0) << run.args[2];
        EXPECT_TRUE(s.BatchFilesGone());
    }
    // A missing file has no short form; it is named, and nothing starts.
    s.SetProjects(ProjectLine("Gone", s.editor, {s.src + "gone\\x\x80.pb"}));
    drv::Process gone = s.Run("Gone");
    ASSERT_TRUE(drv::AnswerBox(gone.Id(), "Info", drv::MissingFilesBox(0, "gone", {s.src + "gone\\x\x80.pb"}, true),
                               drv::kNoFilesFlags, IDCANCEL));
    EXPECT_EQ(gone.Wait(), 0);
    EXPECT_EQ(s.Runs().size(), count);
}

// cmd.exe reads a batch file by offset, a line at a time, and waits at a
// line that starts a windowed program until it ends. Had the second start
// rewritten the first one's batch file, the first cmd.exe would resume in the
// middle of the new text, here at "xxx & <editor> FRAGMENT & rem".
TEST(StartSafety, ASecondStartNeverRewritesABatchFileInUse) {
    Bed s("two-starts");
    const std::string e = s.editor, a = s.src + "a.pb";
    ASSERT_EQ(e.find(' '), std::string::npos) << "the fragment names the editor without quotes";
    const size_t resume = ("\"" + e + "\" \"" + a + "\" \r\n").size();
    const size_t before = ("\"" + e + "\" \"" + s.src).size();
    // A file of that name must be there: the fragment names the editor by
    // its path in the program's folder, where cmd.exe runs.
    const std::string b = s.src + std::string(resume + 3 - before, 'x') + " & Editor\\PureBasic.exe FRAGMENT & rem .pb";
    drv::MakeSources({b});
    s.SetProjects(ProjectLine("A", e, {a}) + ProjectLine("B", e, {b}));

    // The editor's first and second starts stay open until told.
    ASSERT_TRUE(drv::WriteBytes(e + ".hold1", "") && drv::WriteBytes(e + ".hold2", ""));
    drv::Process first = s.Run("A");
    EXPECT_EQ(first.Wait(), 0);
    ASSERT_TRUE(s.WaitRuns(1));
    drv::Process second = s.Run("B");
    EXPECT_EQ(second.Wait(), 0);
    ASSERT_TRUE(s.WaitRuns(2));
    DeleteFileA((e + ".hold1").c_str());
    EXPECT_TRUE(drv::Stays([&] { return s.Runs().size() == 2; }, 2000));
    DeleteFileA((e + ".hold2").c_str());
    EXPECT_TRUE(s.BatchFilesGone());
    const std::vector<Bed::EditorStart> runs = s.Runs();
    ASSERT_EQ(runs.size(), 2u) << "nothing but the two editor starts";
    EXPECT_EQ(runs[0].args, (Names{e, a}));
    EXPECT_EQ(runs[1].args, (Names{e, b}));
}

}  // namespace
