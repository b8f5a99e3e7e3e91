// The project list while other programs hold it open (sync clients, virus
// scanners, an editor showing it, another copy of the program holding its
// lock), on the real program: nothing false is said, no shortcut or backup
// is lost, and the window keeps answering.
#include <gtest/gtest.h>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "driver/remote_controls.h"
#include "driver/shortcut.h"
#include "support/core/text.h"
#include "support/shell_link.h"

namespace {

using drv::ProjectLine;

constexpr UINT kInformation = MB_ICONINFORMATION | MB_OK;
constexpr UINT kQuestion = MB_ICONQUESTION | MB_YESNO;

// The program with projects Alpha, Beta and Gamma, their files and their
// shortcuts, in English.
struct Held : drv::Program {
    explicit Held(const std::string& name) : Program(name) {
        AddEditor();
        Put("Language.ini", drv::LanguageIni(1));
        drv::MakeSources({folder + "src\\a.pb"});
        drv::MakeFolders(folder + "Projects");
        for (const char* project : {"Alpha", "Beta", "Gamma"}) {
            lines += Line(project);
            EXPECT_TRUE(CreateShellLink(exe, Lnk(project), "\"" + std::string(project) + "\"", "PureBASIC Project",
                                        folder, SW_HIDE, 0, drv::kShortcutIconFile, 169));
        }
        SetProjects(lines);
        Put("Data\\Projects.twp.bak", "an earlier list\r\n");
    }
    std::string Line(const std::string& project) const { return ProjectLine(project, editor, {folder + "src\\a.pb"}); }
    std::string Lnk(const std::string& project) const { return folder + "Projects\\" + project + ".lnk"; }
    std::string Backup() const { return drv::Bytes(folder + "Data\\Projects.twp.bak"); }
    std::string Text(Msg msg) const { return CatalogueTextFor(msg, 1); }
    // Deletes the project of `row` after a Yes.
    void Delete(int row, const std::string& project) {
        ASSERT_TRUE(SelectRow(row));
        ASSERT_TRUE(ClickForBox(kGadgetDelete));
        ASSERT_TRUE(AnswerInfo(InsertQuotedName(Text(Msg::kDeleteQuestion), project), kQuestion, IDYES));
    }
    std::string lines;
};

// Another program holds `path` (share: none, rw or rwd) for `ms`; returns
// once it has it open.
drv::Process Hold(const std::string& path, const char* share, DWORD ms) {
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, "TwHeld");
    const std::string args = "\"" + path + "\" " + share + " " + std::to_string(ms);
    drv::Process holder = drv::Start(drv::ToolPath("hold_file.exe"), args);
    EXPECT_EQ(WaitForSingleObject(held, drv::Span(10000)), WAIT_OBJECT_0) << "the holder has " << path;
    CloseHandle(held);
    return holder;
}

// A holder that shares nothing: the deletion says the list is in use, and
// the list, its backup and the project's shortcut stay as they were.
TEST(HeldList, AHolderThatSharesNothingMakesADeletionSayInUse) {
    Held app("held-none");
    ASSERT_TRUE(app.Start());
    const std::string backup = app.Backup(), shortcut = drv::Bytes(app.Lnk("Beta"));
    drv::Process holder = Hold(app.folder + "Data\\Projects.twp", "none", 8000);
    ASSERT_NO_FATAL_FAILURE(app.Delete(1, "Beta"));
    ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kCannotDelete) + "\r" + app.Text(Msg::kListInUse), kInformation));
    EXPECT_EQ(drv::ListIconColumn(app.ProjectList()), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    holder.Kill();
    EXPECT_EQ(app.ProjectFile(), app.lines);
    EXPECT_EQ(app.Backup(), backup);
    EXPECT_EQ(drv::Bytes(app.Lnk("Beta")), shortcut);
    app.Quit();
}

// A reader that keeps the list open, sharing it for reading and writing
// (with and without deletion, as sync clients and scanners do), does not
// stop a deletion or a rename: both are stored, with the backup.
TEST(HeldList, AReaderThatKeepsTheListOpenDoesNotStopAChange) {
    for (const char* share : {"rw", "rwd"}) {
        SCOPED_TRACE(share);
        Held app(std::string("held-") + share);
        ASSERT_TRUE(app.Start());
        drv::Process holder = Hold(app.folder + "Data\\Projects.twp", share, 20000);
        ASSERT_NO_FATAL_FAILURE(app.Delete(1, "Beta"));
        // The window answers while the change waits: done when the list shows it.
        ASSERT_TRUE(drv::WaitFor([&] { return drv::ListIconCount(app.ProjectList()) == 2; }));
        const std::string after = app.Line("Alpha") + app.Line("Gamma");
        EXPECT_EQ(app.ProjectFile(), after);
        EXPECT_EQ(app.Backup(), app.lines);
        EXPECT_FALSE(drv::Exists(app.Lnk("Beta")));

        ASSERT_TRUE(app.SelectRow(0));
        drv::KeyTap(VK_F2);
        HWND dialog = drv::WaitWindow(app.process.Id(), "InputRequester");
        ASSERT_NE(dialog, nullptr);
        SendMessageA(drv::FindDescendant(dialog, "Edit"), WM_SETTEXT, 0, LPARAM("Omega"));
        drv::PressButton(dialog, 1000);  // Ok
        ASSERT_TRUE(drv::WaitFor([&] { return drv::ListIconText(app.ProjectList(), 0, 0) == "Omega"; }));
        EXPECT_EQ(app.ProjectFile(), app.Line("Omega") + app.Line("Gamma"));
        EXPECT_EQ(app.Backup(), after);
        ASSERT_NO_FATAL_FAILURE(drv::ExpectProjectShortcut(app.Lnk("Omega"), "Omega", app.exe));
        EXPECT_FALSE(drv::Exists(app.Lnk("Alpha")));
        EXPECT_EQ(drv::Listing(app.folder + "Data\\"),
                  (std::vector<std::string>{"Projects.lock", "Projects.twp", "Projects.twp.bak"}));
        holder.Kill();
        app.Quit();
    }
}

// Held for a moment: the window shows the projects and a shortcut's start
// opens its files, once the holder lets go.
TEST(HeldList, AListHeldForAMomentIsReadOnceItIsFree) {
    Held app("held-moment");
    drv::Process holder = Hold(app.folder + "Data\\Projects.twp", "none", 2000);
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ListIconCount(app.ProjectList()) == 3; }));
    EXPECT_EQ(drv::ListIconColumn(app.ProjectList()), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_TRUE(drv::TopWindows(app.process.Id(), "#32770").empty()) << "no message";
    ASSERT_EQ(holder.Wait(), 0);
    app.Quit();
    holder = Hold(app.folder + "Data\\Projects.twp", "none", 2000);
    drv::Process road = app.Run("Gamma");
    EXPECT_EQ(road.Wait(), 0);
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(app.editor, 1, {app.folder + "src\\a.pb"}));
}

// Another copy holds the list's lock for 3 s: the deletion waits for it,
// the window answering meanwhile, and then goes through.
TEST(HeldList, TheWindowAnswersWhileAnotherCopyHoldsTheLock) {
    Held app("held-lock");
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.SelectRow(2));
    ASSERT_TRUE(app.ClickForBox(kGadgetDelete));
    drv::Process holder = Hold(app.folder + "Data\\Projects.lock", "none", 3000);
    ASSERT_TRUE(drv::AnswerBox(app.process.Id(), "Info", InsertQuotedName(app.Text(Msg::kDeleteQuestion), "Gamma"),
                               kQuestion, IDYES));
    const DWORD took = app.AnswersUntil([&] { return drv::ListIconCount(app.ProjectList()) == 2; },
                                        "deletion with the lock held for 3 s", 10000);
    EXPECT_EQ(drv::ListIconColumn(app.ProjectList()), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_GE(took, 2000u) << "it waited for the lock";
    app.Quit();
}

}  // namespace
