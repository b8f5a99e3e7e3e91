// Working with existing projects on the real program, driven by real input:
// the project list's context menu, renaming, a project's files loaded into
// the file list and replaced by it, the keys of both lists, and files
// dragged onto the window as Explorer drags them.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "driver/remote_controls.h"
#include "driver/shortcut.h"
#include "support/core/text.h"

namespace {

using drv::FileListRow;
using drv::ProjectLine;
using Rows = std::vector<std::string>;

constexpr UINT kInformation = MB_ICONINFORMATION | MB_OK;
constexpr UINT kQuestion = MB_ICONQUESTION | MB_YESNO;

// The program with the stand-in editor and projects around the one a test
// works on, in the language of Language.ini.
class ProjectEdit : public ::testing::Test {
protected:
    void SetUp() override { app_.AddEditor(); }
    // Starts the program; `projects` (when given) is the project file.
    void Open(int language, const std::string& projects) {
        language_ = language;
        app_.Put("Language.ini", drv::LanguageIni(language));
        if (!projects.empty()) app_.SetProjects(projects);
        ASSERT_TRUE(app_.Start());
    }
    std::string Text(Msg msg) const { return CatalogueTextFor(msg, language_); }
    HWND Projects() const { return app_.ProjectList(); }
    Rows Names() const { return drv::ListIconColumn(Projects()); }
    Rows Entries() const { return drv::ListBoxItems(app_.FileList()); }
    bool Answer(const std::string& text, UINT flags, int answer = IDOK) const {
        return app_.AnswerInfo(text, flags, answer);
    }
    // No box comes (and so nothing was refused).
    bool NoBox() const {
        return drv::Stays([&] { return drv::TopWindows(app_.process.Id(), "#32770").empty(); }, 500);
    }

    // A real key on a list that has the keyboard focus (a click on a row or
    // an entry gives it).
    void KeyOn(int gadget, WORD vk, WORD modifier = 0) {
        app_.Front();
        ASSERT_TRUE(drv::WaitFocus(app_.Gadget(gadget))) << "gadget " << gadget << " has the focus";
        drv::KeyTap(vk, modifier);
    }

    // The project list's context menu, opened with a right click on `row`
    // (on the list's empty part for -1), or with `key` on the selected row.
    // The menu, drawn on the screen with its six items: a raise of the main
    // window still under way in the X server can cover a menu just shown, so
    // such a menu is closed and opened again; a click that opened none is
    // made again.
    HWND OpenMenu(int row, WORD key = 0, WORD modifier = 0) {
        HWND menu = nullptr;
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (menu) Close(menu);
            if (key) {
                KeyOn(kGadgetProjectList, key, modifier);
            } else {
                app_.Front();
                RECT list = drv::WindowRectOf(Projects());
                RECT at = row >= 0 ? drv::ListIconRowRect(Projects(), row) : RECT{list.left, list.bottom - 30, 0, 0};
                drv::RightClickAt(at.left + 30, row >= 0 ? (at.top + at.bottom) / 2 : at.top);
            }
            menu = drv::WaitWindow(app_.process.Id(), "#32768", 5000);
            if (!menu) continue;
            drv::Pause(150);  // drawn
            if (drv::MenuItemsAsDrawn(menu).size() == 7) break;
        }
        EXPECT_NE(menu, nullptr) << "context menu";
        return menu;
    }
    // Chooses a menu item by its access key (the letter after '&').
    void Choose(HWND menu, Msg item) {
        std::string text = Text(item);
        char key = LowerName(text.substr(text.find('&') + 1, 1))[0];
        drv::KeyTap(LOBYTE(VkKeyScanA(key)));
        EXPECT_TRUE(drv::WaitGone(menu, 3000)) << text;
    }
    void Close(HWND menu) {
        drv::KeyTap(VK_ESCAPE);
        EXPECT_TRUE(drv::WaitGone(menu, 3000));
    }

    // Answers the input dialog of a rename, checked to offer `current`:
    // `typed` replaces it (Enter), or Escape when `typed` is empty.
    void Rename(const std::string& current, const std::string& typed) {
        HWND dialog = drv::WaitWindow(app_.process.Id(), "InputRequester", 5000);
        ASSERT_NE(dialog, nullptr) << "rename dialog";
        EXPECT_EQ(drv::WindowText(dialog), Text(Msg::kProjectName));
        HWND edit = drv::FindDescendant(dialog, "Edit");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(drv::WindowText(edit), current);
        drv::FocusWindow(dialog);
        if (typed.empty()) {
            drv::KeyTap(VK_ESCAPE);
        } else {
            drv::KeyTap(VK_HOME, VK_SHIFT);
            bool typable = std::all_of(typed.begin(), typed.end(), [](char c) { return VkKeyScanA(c) != -1; });
            if (typable)
                drv::TypeText(typed);
            else  // what the keyboard cannot type goes in as the field's text
                SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
            drv::KeyTap(VK_RETURN);
        }
        ASSERT_TRUE(drv::WaitGone(dialog, 5000));
        app_.Settle();
    }
    // F2 on the selected `row`, answered as Rename does.
    void RenameRow(int row, const std::string& current, const std::string& typed) {
        ASSERT_TRUE(app_.SelectRow(row));
        ASSERT_NO_FATAL_FAILURE(KeyOn(kGadgetProjectList, VK_F2));
        ASSERT_NO_FATAL_FAILURE(Rename(current, typed));
    }

    // Drags `files` with drag_files.exe onto the centre of `target`; its exit
    // code (0 taken, 1 refused).
    long Drag(HWND target, const std::vector<std::string>& files) {
        RECT r = drv::WindowRectOf(target);
        std::string args = std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
        for (const std::string& f : files) args += " \"" + f + "\"";
        drv::Process drag = drv::Start(drv::ToolPath("drag_files.exe"), args);
        long code = drag.Wait(30000);
        app_.Settle();
        return code;
    }

    drv::Program app_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    int language_ = 0;
};

}  // namespace

TEST_F(ProjectEdit, MenuGreysWhatCannotApply) {
    ASSERT_NO_FATAL_FAILURE(Open(1, ProjectLine("Demo", "C:\\ed.exe", {"C:\\src\\demo.pb"}) +
                                        ProjectLine("Tools", "C:\\ed.exe", {"C:\\src\\tools.pb", "C:\\src\\io.pbi"}) +
                                        ProjectLine("Web", "C:\\ed.exe", {"C:\\src\\web.pb"})));
    // No row, no collected files, no shortcut folder yet: nothing applies.
    HWND menu = OpenMenu(-1);
    EXPECT_EQ(drv::MenuItemsAsDrawn(menu), (std::vector<bool>{false, false, false, false, false, false, false}));
    Close(menu);

    // A row: all but replacing (no files).
    CreateDirectoryA((app_.folder + "Projects").c_str(), nullptr);
    menu = OpenMenu(1);
    EXPECT_EQ(drv::ListIconSelected(Projects()), 1) << "a right click selects its row";
    EXPECT_EQ(drv::MenuItemsAsDrawn(menu), (std::vector<bool>{true, true, true, false, true, true, true}));
    // Loading fills the file list; then everything applies.
    Choose(menu, Msg::kMenuLoad);
    ASSERT_TRUE(drv::WaitFor([&] { return Entries().size() == 2; }));
    menu = OpenMenu(1, VK_APPS);
    EXPECT_EQ(drv::MenuItemsAsDrawn(menu), (std::vector<bool>{true, true, true, true, true, true, true}));
    drv::Screenshot("menu-en");
    Close(menu);
}

TEST_F(ProjectEdit, RenameKeepsEveryOtherByteAndTheShortcutFollows) {
    const std::string alpha = ProjectLine("Alpha", "C:\\ed.exe", {"C:\\a.pb"});
    const std::string zeta = "Zeta\xBF \"C:\\z.pb\" \n";  // edited by hand: LF only
    const std::string rest = "C:\\Pure Basic\\PureBasic.exe \"C:\\d.pb\" \r\n";
    ASSERT_NO_FATAL_FAILURE(Open(0, alpha + "Demo\xBF" + rest + zeta));
    app_.Put("Projects\\Demo.lnk", "the old shortcut");
    const std::string shortcuts = app_.folder + "Projects\\";

    ASSERT_NO_FATAL_FAILURE(RenameRow(1, "Demo", " Neu "));
    EXPECT_EQ(app_.ProjectFile(), alpha + "Neu\xBF" + rest + zeta);
    EXPECT_EQ(drv::Listing(shortcuts), Rows{"Neu.lnk"});
    ASSERT_NO_FATAL_FAILURE(drv::ExpectProjectShortcut(shortcuts + "Neu.lnk", "Neu", app_.exe));
    EXPECT_EQ(Names(), (Rows{"Alpha", "Neu", "Zeta"}));
    EXPECT_EQ(drv::ListIconSelected(Projects()), 1) << "the row stays selected";

    // Another project's name in other letters, and an empty name, are
    // refused; Escape and the same name change nothing.
    ASSERT_NO_FATAL_FAILURE(RenameRow(1, "Neu", "aLPHA"));
    ASSERT_TRUE(Answer(Text(Msg::kNameTaken), kInformation));
    ASSERT_NO_FATAL_FAILURE(RenameRow(1, "Neu", "  "));
    ASSERT_TRUE(Answer(Text(Msg::kNameEmpty), kInformation));
    ASSERT_NO_FATAL_FAILURE(RenameRow(1, "Neu", "Alpha\xBFx"));  // would read back as Alpha
    ASSERT_TRUE(Answer(Text(Msg::kSeparatorInName), kInformation));
    ASSERT_NO_FATAL_FAILURE(RenameRow(1, "Neu", ""));
    EXPECT_TRUE(NoBox());
    EXPECT_EQ(app_.ProjectFile(), alpha + "Neu\xBF" + rest + zeta);

    // Its own name in other letters is allowed: line and shortcut follow.
    ASSERT_NO_FATAL_FAILURE(RenameRow(1, "Neu", "NEU"));
    EXPECT_EQ(app_.ProjectFile(), alpha + "NEU\xBF" + rest + zeta);
    EXPECT_EQ(drv::Listing(shortcuts), Rows{"NEU.lnk"});
    ASSERT_NO_FATAL_FAILURE(drv::ExpectProjectShortcut(shortcuts + "NEU.lnk", "NEU", app_.exe));
}

TEST_F(ProjectEdit, LoadAndReplaceFilesKeepTheEditorPath) {
    const std::string alpha = ProjectLine("Alpha", "C:\\Alt\\ed.exe", {"C:\\x\\eins.pb", "C:\\x\\zwei.pbi"});
    const std::string beta = "Beta\xBF" "C:\\Pure Basic\\PureBasic.exe \"C:\\b.pb\" \n";
    const std::string gamma = ProjectLine("Gamma", "", {"C:\\g.pb"});
    ASSERT_NO_FATAL_FAILURE(Open(0, alpha + beta + gamma));

    HWND menu = OpenMenu(0);
    Choose(menu, Msg::kMenuLoad);
    const Rows loaded{FileListRow("C:\\x\\eins.pb"), FileListRow("C:\\x\\zwei.pbi")};
    ASSERT_TRUE(drv::WaitFor([&] { return Entries() == loaded; }));
    EXPECT_EQ(drv::ListBoxSelected(app_.FileList()), 1) << "as if collected one by one";

    // The question names the project; No changes nothing.
    ASSERT_TRUE(app_.SelectRow(1));
    menu = OpenMenu(1, VK_F10, VK_SHIFT);
    drv::Screenshot("menu-de");
    Choose(menu, Msg::kMenuReplace);
    ASSERT_TRUE(Answer(InsertQuotedName(Text(Msg::kReplaceQuestion), "Beta"), kQuestion, IDNO));
    EXPECT_EQ(app_.ProjectFile(), alpha + beta + gamma);
    EXPECT_EQ(Entries(), loaded);

    ASSERT_TRUE(app_.SelectRow(1));
    menu = OpenMenu(1, VK_F10, VK_SHIFT);
    Choose(menu, Msg::kMenuReplace);
    ASSERT_TRUE(Answer(InsertQuotedName(Text(Msg::kReplaceQuestion), "Beta"), kQuestion, IDYES));
    ASSERT_TRUE(drv::WaitFor([&] { return Entries().empty(); })) << "the collection is used up";
    EXPECT_EQ(app_.ProjectFile(),
              alpha + "Beta\xBF" "C:\\Pure Basic\\PureBasic.exe \"C:\\x\\eins.pb\" \"C:\\x\\zwei.pbi\" \n" + gamma);
    EXPECT_EQ(drv::ListIconText(Projects(), 1, 1), "eins.pb  zwei.pbi  ");
    EXPECT_EQ(drv::ListIconSelected(Projects()), 1);
}

// Change editor: the chosen program replaces the project's editor, and,
// after a question, that of the other projects with the same editor.
TEST_F(ProjectEdit, ChangeEditorForOneOrForAllWithTheSameEditor) {
    const std::string old = "C:\\Old\\PureBasic.exe", other = "C:\\Other\\PureBasic.exe";
    auto line = [](const std::string& name, const std::string& editor) {
        return ProjectLine(name, editor, {"C:\\" + name + ".pb"});
    };
    ASSERT_NO_FATAL_FAILURE(Open(1, line("A", old) + line("B", old) + line("C", old) + line("D", other)));
    const std::string alike = ReplaceAll(Text(Msg::kEditorAlike), "%path%", "\"" + old + "\"");
    auto change = [&](int row, const std::string& count, int answer) {
        HWND menu = OpenMenu(row);
        Choose(menu, Msg::kMenuEditor);
        ASSERT_TRUE(drv::AnswerFileDialog(app_.process.Id(), Text(Msg::kChooseEditor), app_.editor));
        ASSERT_TRUE(Answer(ReplaceAll(alike, "%count%", count), kQuestion, answer));
        app_.Settle();
    };
    ASSERT_NO_FATAL_FAILURE(change(0, "2", IDNO));
    EXPECT_EQ(app_.ProjectFile(), line("A", app_.editor) + line("B", old) + line("C", old) + line("D", other));
    ASSERT_NO_FATAL_FAILURE(change(1, "1", IDYES));
    const std::string now = line("A", app_.editor) + line("B", app_.editor) + line("C", app_.editor);
    EXPECT_EQ(app_.ProjectFile(), now + line("D", other));
}

// A rename or a change of files that cannot write the list changes nothing
// and says so: the program runs under a shim that gives Data 10 bytes free.
TEST_F(ProjectEdit, AFullDiskChangesNothingAndSaysSo) {
    if (!drv::UnderShim()) {
        EXPECT_EQ(drv::RunTestUnderShim("disk_full"), 0) << "the run under the shim failed (its output is above)";
        return;
    }
    const std::string before = ProjectLine("Keep", "", {"C:\\a.pb"}) + ProjectLine("Other", "", {"C:\\b.pb"});
    app_.Put("Projects\\Keep.lnk", "the shortcut");
    app_.SetProjects(before);
    app_.Put("Data\\tw-disk-full", "10");  // from here on (this process writes under the shim too)
    ASSERT_NO_FATAL_FAILURE(Open(1, ""));
    const std::string failed = Text(Msg::kCannotChange) + "\r" + Text(Msg::kWriteProtected);

    ASSERT_NO_FATAL_FAILURE(RenameRow(0, "Keep", "Renamed"));
    ASSERT_TRUE(Answer(failed, kInformation));
    EXPECT_EQ(app_.ProjectFile(), before);
    EXPECT_EQ(drv::Bytes(app_.folder + "Projects\\Keep.lnk"), "the shortcut");
    EXPECT_EQ(drv::Listing(app_.folder + "Projects\\"), Rows{"Keep.lnk"});

    ASSERT_TRUE(drv::ListBoxInsert(app_.FileList(), 0, FileListRow("C:\\new.pb")));
    ASSERT_TRUE(app_.SelectRow(0));
    Choose(OpenMenu(0, VK_APPS), Msg::kMenuReplace);
    ASSERT_TRUE(Answer(InsertQuotedName(Text(Msg::kReplaceQuestion), "Keep"), kQuestion, IDYES));
    ASSERT_TRUE(Answer(failed, kInformation));
    EXPECT_EQ(app_.ProjectFile(), before);
    EXPECT_EQ(Entries(), Rows{FileListRow("C:\\new.pb")}) << "the collection is kept";
}

TEST_F(ProjectEdit, KeysOfBothLists) {
    const std::string alpha = ProjectLine("Alpha", "", {"C:\\a.pb", "C:\\b.pb"});
    const std::string beta = ProjectLine("Beta", "", {"C:\\c.pb"});
    ASSERT_NO_FATAL_FAILURE(Open(1, alpha + beta));
    ASSERT_TRUE(app_.SelectRow(0));
    HWND menu = OpenMenu(0, VK_APPS);
    Choose(menu, Msg::kMenuLoad);
    ASSERT_TRUE(drv::WaitFor([&] { return Entries().size() == 2; }));

    // Delete on the file list takes the selected entry out, as "<-" does.
    POINT first = drv::ListBoxItemPoint(app_.FileList(), 0);
    ASSERT_TRUE(app_.ClickAtFor(first, false, [&] { return drv::ListBoxSelected(app_.FileList()) == 0; }));
    ASSERT_NO_FATAL_FAILURE(KeyOn(kGadgetFileList, VK_DELETE));
    ASSERT_TRUE(drv::WaitFor([&] { return Entries() == Rows{FileListRow("C:\\b.pb")}; }));
    EXPECT_EQ(drv::ListBoxSelected(app_.FileList()), -1);

    // Delete on the project list asks as the delete button does.
    ASSERT_TRUE(app_.SelectRow(1));
    ASSERT_NO_FATAL_FAILURE(KeyOn(kGadgetProjectList, VK_DELETE));
    ASSERT_TRUE(Answer(InsertQuotedName(Text(Msg::kDeleteQuestion), "Beta"), kQuestion, IDNO));
    EXPECT_EQ(app_.ProjectFile(), alpha + beta);
    ASSERT_TRUE(app_.SelectRow(1));
    ASSERT_NO_FATAL_FAILURE(KeyOn(kGadgetProjectList, VK_DELETE));
    ASSERT_TRUE(Answer(InsertQuotedName(Text(Msg::kDeleteQuestion), "Beta"), kQuestion, IDYES));
    ASSERT_TRUE(drv::WaitFor([&] { return app_.ProjectFile() == alpha; }));
    EXPECT_EQ(Names(), Rows{"Alpha"});

    // Without a row, F2 says so and the menu key's menu greys the project's items.
    RECT list = drv::WindowRectOf(Projects());
    ASSERT_TRUE(app_.ClickAtFor(POINT{list.left + 30, list.bottom - 30}, false,
                                [&] { return drv::ListIconSelected(Projects()) == -1; }));
    ASSERT_NO_FATAL_FAILURE(KeyOn(kGadgetProjectList, VK_F2));
    ASSERT_TRUE(Answer(Text(Msg::kNoneSelected), kInformation));
    app_.Front();
    ASSERT_TRUE(app_.ClickAtFor(POINT{list.left + 30, list.bottom - 30}, false,
                                [&] { return drv::WaitFocus(Projects(), 100); }));
    menu = OpenMenu(-1, VK_F10, VK_SHIFT);
    EXPECT_EQ(drv::MenuItemsAsDrawn(menu), (std::vector<bool>{false, false, false, false, false, false, false}));
    Close(menu);
}

TEST_F(ProjectEdit, StartDeleteAndTheShortcutFolderFromTheMenu) {
    const std::string src = app_.folder + "src\\";
    app_.Put("src\\main.pb", "; main\r\n");
    ASSERT_NO_FATAL_FAILURE(Open(0, ProjectLine("Demo", app_.editor, {src + "main.pb"})));

    HWND menu = OpenMenu(0);
    Choose(menu, Msg::kMenuStart);
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(app_.editor, 1, {src + "main.pb"}));

    menu = OpenMenu(0);
    Choose(menu, Msg::kMenuDelete);
    ASSERT_TRUE(Answer(InsertQuotedName(Text(Msg::kDeleteQuestion), "Demo"), kQuestion, IDNO));

    // The folder opens in the shell's file browser (Wine's: class ExplorerWClass).
    CreateDirectoryA((app_.folder + "Projects").c_str(), nullptr);
    menu = OpenMenu(0);
    Choose(menu, Msg::kMenuFolder);
    HWND browser = nullptr;
    ASSERT_TRUE(drv::WaitFor([&] { return (browser = FindWindowA("ExplorerWClass", "Projects")) != nullptr; }))
        << "a file browser on the shortcut folder";
    PostMessageA(browser, WM_CLOSE, 0, 0);
    EXPECT_TRUE(drv::WaitGone(browser));
}

// A click on a column's heading sorts the rows by it, a second one reverses:
// the file keeps its order, and every action takes the selected row's project.
TEST_F(ProjectEdit, SortedRowsKeepTheirProjects) {
    const std::string src = app_.folder + "src\\";
    for (const char* f : {"src\\1\\c.pb", "src\\2\\c.pb", "src\\d.pb"}) app_.Put(f, "x");
    const std::string beta = ProjectLine("beta", app_.editor, {src + "1\\c.pb"});
    const std::string zulu = ProjectLine("Zulu", app_.editor, {src + "d.pb"});
    const std::string omega = ProjectLine("Omega", app_.editor, {src + "2\\c.pb"});
    ASSERT_NO_FATAL_FAILURE(Open(1, beta + zulu + ProjectLine("Alpha", app_.editor, {src + "2\\c.pb"})));
    auto sortBy = [&](int column, const Rows& names, int arrow) {
        RECT at = drv::ListIconHeadingOf(Projects(), column).rect;
        EXPECT_TRUE(app_.ClickAtFor({(at.left + at.right) / 2, (at.top + at.bottom) / 2}, false,
                                    [&] { return Names() == names; }));
        EXPECT_EQ(drv::ListIconHeadingOf(Projects(), column).arrow, arrow) << column;
        EXPECT_EQ(drv::ListIconHeadingOf(Projects(), 1 - column).arrow, 0) << column;
    };
    sortBy(0, {"Alpha", "beta", "Zulu"}, HDF_SORTUP);  // the name rule, not the bytes
    sortBy(0, {"Zulu", "beta", "Alpha"}, HDF_SORTDOWN);
    ASSERT_NO_FATAL_FAILURE(RenameRow(2, "Alpha", "Omega"));
    EXPECT_EQ(app_.ProjectFile(), beta + zulu + omega);
    EXPECT_EQ(Names(), (Rows{"Zulu", "Omega", "beta"}));
    EXPECT_EQ(drv::ListIconSelected(Projects()), 1) << "the renamed row stays selected where it went";

    sortBy(1, {"beta", "Omega", "Zulu"}, HDF_SORTUP);  // ties in the file's order
    sortBy(1, {"Zulu", "beta", "Omega"}, HDF_SORTDOWN);
    EXPECT_EQ(drv::ListIconSelected(Projects()), 2) << "the selection goes with its project";
    ASSERT_TRUE(app_.SelectRow(1));
    app_.Click(kGadgetStart);
    ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(app_.editor, 1, {src + "1\\c.pb"}));

    // After a deletion the row above in the view is selected.
    ASSERT_TRUE(app_.SelectRow(2));
    ASSERT_NO_FATAL_FAILURE(KeyOn(kGadgetProjectList, VK_DELETE));
    ASSERT_TRUE(Answer(InsertQuotedName(Text(Msg::kDeleteQuestion), "Omega"), kQuestion, IDYES));
    ASSERT_TRUE(drv::WaitFor([&] { return app_.ProjectFile() == beta + zulu; }));
    EXPECT_EQ(Names(), (Rows{"Zulu", "beta"}));
    EXPECT_EQ(drv::ListIconSelected(Projects()), 1);
}

// Drags as Explorer makes them, onto the file list and the tree: the *.pb
// and *.pbi files in the order of the drag; folders (whatever their name)
// and other files are left out; a drag of nothing usable says why.
TEST_F(ProjectEdit, DroppedFilesAreCollectedInTheirOrder) {
    const std::string src = app_.folder + "src\\";
    for (const char* f : {"src\\a.pb", "src\\b.txt", "src\\C.PBI"}) app_.Put(f, "x");
    for (const char* d : {"src\\dir.pb", "src\\sub"}) CreateDirectoryA((app_.folder + d).c_str(), nullptr);
    ASSERT_NO_FATAL_FAILURE(Open(1, ""));

    EXPECT_EQ(Drag(app_.FileList(), {src + "a.pb", src + "b.txt", src + "sub", src + "dir.pb", src + "C.PBI"}), 0);
    const Rows collected{FileListRow(src + "a.pb"), FileListRow(src + "C.PBI")};
    ASSERT_TRUE(drv::WaitFor([&] { return Entries() == collected; }));
    EXPECT_EQ(drv::ListBoxSelected(app_.FileList()), 1);

    EXPECT_EQ(Drag(app_.Tree(), {src + "b.txt", src + "sub"}), 0);
    ASSERT_TRUE(Answer(Text(Msg::kNothingDropped), kInformation));
    EXPECT_EQ(Entries(), collected);

    EXPECT_EQ(Drag(Projects(), {src + "a.pb"}), 1) << "the project list takes no files";
    EXPECT_TRUE(NoBox());
    EXPECT_EQ(Entries(), collected);

    // A name the ANSI code page lacks (Cyrillic Zhe) names no file once
    // stored: refused as in the tree, while the rest of the drop is taken.
    std::wstring zhe(src.begin(), src.end());
    zhe += L"\x0416.pb";
    CloseHandle(CreateFileW(zhe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(Drag(app_.FileList(), {src + "\xD0\x96.pb", src + "a.pb"}), 0);  // the tool reads UTF-8
    ASSERT_TRUE(Answer(Text(Msg::kUnholdableName), kInformation));
    EXPECT_EQ(Entries(), (Rows{collected[0], collected[1], collected[0]}));
}
