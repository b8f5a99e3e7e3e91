// The whole journey on the real program, driven with real clicks and keys:
// collect files in the tree, create a project, open its shortcut, delete it;
// every refusal in both languages; and input nobody should type but someone will.
#include <gtest/gtest.h>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "driver/remote_controls.h"
#include "driver/shortcut.h"
#include "support/core/text.h"
#include "support/shell_link.h"

namespace {

using drv::FileListRow;
using drv::ListIconColumn;
using drv::ProjectLine;
using Rows = std::vector<std::string>;

constexpr UINT kInformation = MB_ICONINFORMATION | MB_OK;
constexpr UINT kQuestion = MB_ICONQUESTION | MB_YESNO;

// The program in a nested fresh folder (nothing may appear beside "app"),
// with the stand-in editor at a path with a space and a folder of sources.
class App : public drv::Program {
public:
    // `language`: what Language.ini says; -1: no file (German).
    App(const std::string& name, int language) : Program(name), language_(language == 1 ? 1 : 0) {
        AddEditor();
        if (language >= 0) Put("Language.ini", drv::LanguageIni(language));
        src = folder + "src\\";
        CreateDirectoryA(src.c_str(), nullptr);
        for (const char* f : {"main.pb", "inc.pbi", "notes.txt"}) drv::WriteBytes(src + f, "; source\r\n");
    }

    // A user text in the program's language.
    std::string Text(Msg msg) const { return CatalogueTextFor(msg, language_); }
    // The line of a box that names `path` as in the way.
    std::string InTheWay(const std::string& path) const {
        return ReplaceAll(Text(Msg::kInTheWay), "%path%", "\"" + path + "\"");
    }
    std::string DeleteQuestion(const std::string& name) const {
        return InsertQuotedName(Text(Msg::kDeleteQuestion), name);
    }

    // Walks the tree to `path` as a user does: double-click each closed
    // folder on the way, then click the item.
    void SelectInTree(const std::string& path) {
        HWND tree = Tree();
        ASSERT_EQ(drv::TreeChildren(tree, nullptr).size(), 1u);
        HTREEITEM at = drv::TreeDrive(tree, path[0]);
        ASSERT_NE(at, nullptr) << "drive of " << path;
        size_t pos = 3;
        while (pos <= path.size()) {
            size_t end = path.find('\\', pos);
            if (end == std::string::npos) end = path.size();
            std::string part = path.substr(pos, end - pos);
            pos = end + 1;
            if (part.empty()) continue;
            if (!drv::ReadTreeItem(tree, at).expanded) {
                ASSERT_TRUE(ClickAtFor(drv::TreeItemPoint(tree, at), true,
                                       [&] { return drv::ReadTreeItem(tree, at).expanded; }))
                    << part;
            }
            HTREEITEM next = nullptr;
            for (const auto& child : drv::TreeChildren(tree, at))
                if (lstrcmpiA(child.text.c_str(), part.c_str()) == 0) next = child.handle;
            ASSERT_NE(next, nullptr) << part << " in " << path;
            at = next;
        }
        ASSERT_TRUE(ClickAtFor(drv::TreeItemPoint(tree, at), false, [&] {
            return HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == at;
        }));
    }

    void Collect(const std::string& path) {
        ASSERT_NO_FATAL_FAILURE(SelectInTree(path));
        int before = FileCount();
        ASSERT_TRUE(ClickFor(kGadgetAddFile, [&] { return FileCount() == before + 1; }));
    }

    // Presses the create button and answers the name dialog: `typed` goes in
    // with keys (or, for what a keyboard can hardly type, as the field's text).
    void Create(const std::string& typed, bool byKeys = true, bool cancel = false) {
        HWND dialog = nullptr;
        const std::string pick = Text(Msg::kChooseEditor);
        bool editorAsked = false;
        ASSERT_TRUE(ClickFor(kGadgetCreate, [&] {
            auto shown = drv::TopWindows(process.Id(), "InputRequester");
            dialog = shown.empty() ? nullptr : shown.front();
            for (HWND hwnd : drv::TopWindows(process.Id(), "#32770"))
                editorAsked = editorAsked || drv::WindowText(hwnd) == pick;
            return dialog != nullptr || editorAsked;
        })) << "name dialog";
        // No editor registered: the user is asked for one first.
        if (!dialog) {
            ASSERT_TRUE(drv::AnswerFileDialog(process.Id(), pick, editorChoice));
            dialog = drv::WaitWindow(process.Id(), "InputRequester");
            ASSERT_NE(dialog, nullptr) << "name dialog";
        }
        EXPECT_EQ(drv::WindowText(dialog), Text(Msg::kProjectName));
        HWND prompt = drv::FindDescendant(dialog, "Static");
        EXPECT_EQ(prompt ? drv::WindowText(prompt) : "", Text(Msg::kNamePrompt));
        HWND edit = drv::FindDescendant(dialog, "Edit");
        ASSERT_NE(edit, nullptr);
        drv::FocusWindow(dialog);
        if (byKeys)
            drv::TypeText(typed);
        else
            SendMessageA(edit, WM_SETTEXT, 0, LPARAM(typed.c_str()));
        drv::KeyTap(cancel ? VK_ESCAPE : VK_RETURN);
        ASSERT_TRUE(drv::WaitGone(dialog, 5000));
    }

    // Clicks Delete and answers the question.
    void Delete(const std::string& name, int answer) {
        ASSERT_TRUE(ClickForBox(kGadgetDelete));
        ASSERT_TRUE(AnswerInfo(DeleteQuestion(name), kQuestion, answer));
        Settle();
    }

    std::string src;  // the sources, "<folder>src\"
    std::string editorChoice;  // chosen when the editor is asked for; empty: cancelled

private:
    int language_;
};

TEST(Journey, CollectCreateOpenAndDeleteAsAUser) {
    App app("journey", 1);
    // Without quotes, as some installers and hand repairs write it.
    app.SetEditorCommand(app.editor + " \"%1\"");
    // The program inherits a variable that the editor's registration names below.
    const std::string home = drv::FolderOf(app.editor);
    SetEnvironmentVariableA("TW_EDITOR_HOME", home.substr(0, home.size() - 1).c_str());
    ASSERT_TRUE(app.Start());
    const std::string a = app.src + "main.pb", b = app.src + "inc.pbi";

    ASSERT_NO_FATAL_FAILURE(app.Collect(a));
    ASSERT_NO_FATAL_FAILURE(app.Collect(b));
    EXPECT_EQ(drv::ListBoxItems(app.FileList()), (Rows{FileListRow(a), FileListRow(b)}));

    ASSERT_NO_FATAL_FAILURE(app.Create(" Demo "));
    app.Settle();
    EXPECT_EQ(app.ProjectFile(), ProjectLine("Demo", app.editor, {a, b}));
    EXPECT_EQ(app.FileCount(), 0) << "the collection is emptied";
    EXPECT_EQ(ListIconColumn(app.ProjectList()), Rows{"Demo"});
    EXPECT_EQ(drv::ListIconText(app.ProjectList(), 0, 1), "main.pb  inc.pbi  ");
    EXPECT_EQ(drv::ListIconSelected(app.ProjectList()), -1);

    const std::string lnk = app.folder + "Projects\\Demo.lnk";
    ASSERT_NO_FATAL_FAILURE(drv::ExpectProjectShortcut(lnk, "Demo", app.exe));
    // Opened through the shell, from elsewhere: a second program starts,
    // shows nothing, and the editor gets both files.
    ASSERT_NO_FATAL_FAILURE(drv::ExpectShortcutOpensFiles(lnk, app.editor, {a, b}, app.folder, app.process.Id()));

    // A second project from one file, then delete it: No changes nothing, Yes
    // takes line and shortcut and selects the row above. The editor is now
    // registered as an installer may do it, a REG_EXPAND_SZ with a variable:
    // the line holds the expanded path.
    app.SetEditorCommand("\"%TW_EDITOR_HOME%\\PureBasic.exe\" \"%1\"", REG_EXPAND_SZ);
    ASSERT_NO_FATAL_FAILURE(app.Collect(b));
    drv::Screenshot("journey-collected");
    ASSERT_NO_FATAL_FAILURE(app.Create("Zeta"));
    app.Settle();
    const std::string both = ProjectLine("Demo", app.editor, {a, b}) + ProjectLine("Zeta", app.editor, {b});
    ASSERT_EQ(app.ProjectFile(), both);
    ASSERT_TRUE(drv::Exists(app.folder + "Projects\\Zeta.lnk"));

    ASSERT_TRUE(app.SelectRow(1));
    ASSERT_NO_FATAL_FAILURE(app.Delete("Zeta", IDNO));
    EXPECT_EQ(app.ProjectFile(), both);
    EXPECT_TRUE(drv::Exists(app.folder + "Projects\\Zeta.lnk"));
    EXPECT_EQ(ListIconColumn(app.ProjectList()), (Rows{"Demo", "Zeta"}));
    EXPECT_EQ(drv::ListIconSelected(app.ProjectList()), 1);

    ASSERT_NO_FATAL_FAILURE(app.Delete("Zeta", IDYES));
    EXPECT_EQ(app.ProjectFile(), ProjectLine("Demo", app.editor, {a, b}));
    EXPECT_EQ(drv::Bytes(app.folder + "Data\\Projects.twp.bak"), both) << "the list before the deletion is kept";
    EXPECT_FALSE(drv::Exists(app.folder + "Projects\\Zeta.lnk"));
    EXPECT_TRUE(drv::Exists(lnk));
    EXPECT_EQ(ListIconColumn(app.ProjectList()), Rows{"Demo"});
    EXPECT_EQ(drv::ListIconSelected(app.ProjectList()), 0) << "the row above is selected";

    // The first row: nothing is left selected.
    ASSERT_NO_FATAL_FAILURE(app.Delete("Demo", IDYES));
    EXPECT_EQ(app.ProjectFile(), "");
    EXPECT_FALSE(drv::Exists(lnk));
    EXPECT_EQ(drv::ListIconCount(app.ProjectList()), 0);
    EXPECT_EQ(drv::ListIconSelected(app.ProjectList()), -1);
    EXPECT_EQ(drv::Listing(app.parent), Rows{"app"});
}

// Every refusal, in German (no Language.ini) and English, without an editor in the registry.
TEST(Journey, RefusalsInBothLanguages) {
    for (int language : {-1, 1}) {
        SCOPED_TRACE(language == 1 ? "English" : "German");
        App app(language == 1 ? "refusals-en" : "refusals-de", language);
        ASSERT_TRUE(app.Start());
        const std::string a = app.src + "main.pb";

        // Nothing collected: refused before anything is asked or made.
        ASSERT_TRUE(app.ClickForBox(kGadgetCreate));
        ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kNoFiles), kInformation));
        EXPECT_FALSE(drv::Exists(app.folder + "Data"));
        EXPECT_FALSE(drv::Exists(app.folder + "Projects"));
        ASSERT_TRUE(app.ClickForBox(kGadgetDelete));
        ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kNoneSelected), kInformation));

        ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
        ASSERT_NO_FATAL_FAILURE(app.Create("Typed then cancelled", true, true));
        ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kNameEmpty), kInformation));
        EXPECT_TRUE(drv::Exists(app.folder + "Data")) << "folders are made before the name is asked";
        EXPECT_TRUE(drv::Exists(app.folder + "Projects"));
        ASSERT_NO_FATAL_FAILURE(app.Create("   "));
        ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kNameEmpty), kInformation));
        EXPECT_EQ(app.FileCount(), 1) << "a refusal keeps the collection";

        ASSERT_NO_FATAL_FAILURE(app.Create("Demo"));
        app.Settle();
        EXPECT_EQ(app.ProjectFile(), ProjectLine("Demo", "", {a})) << "no registry key: empty editor path";
        // Started, it finds no editor in the registry either.
        ASSERT_TRUE(app.SelectRow(0));
        ASSERT_TRUE(app.ClickForBox(kGadgetStart));
        ASSERT_TRUE(app.AnswerInfo(InsertQuotedName(app.Text(Msg::kNoEditor), "Demo") + "\r\n\r\n" +
                                       app.Text(Msg::kChooseEditorNow),
                                   kQuestion, IDNO));
        ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
        ASSERT_NO_FATAL_FAILURE(app.Create("DEMO"));
        ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kNameTaken), kInformation));
        // A name holding the separator byte would read back as another
        // project: "Demo\xBF" as Demo, whose line and shortcut its row
        // would then delete; one that starts with it as no name at all.
        for (const char* name : {"Demo\xBF", "\xBF" "Demo", "De\xBFmo"}) {
            ASSERT_NO_FATAL_FAILURE(app.Create(name, false));
            ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kSeparatorInName), kInformation)) << name;
        }
        EXPECT_EQ(app.ProjectFile(), ProjectLine("Demo", "", {a}));
        EXPECT_EQ(drv::Listing(app.folder + "Projects\\"), Rows{"Demo.lnk"});

        // The project file cannot be written: write-protected (read-only:
        // Unix permissions do not stop root under Wine), then a folder in
        // its place. Each has its message; both lists stay as they were.
        const std::string store = app.folder + "Data\\Projects.twp";
        ASSERT_TRUE(SetFileAttributesA(store.c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_NO_FATAL_FAILURE(app.Create("Blocked"));
        ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kCannotCreate) + "\r" + app.Text(Msg::kWriteProtected), kInformation));
        ASSERT_TRUE(SetFileAttributesA(store.c_str(), FILE_ATTRIBUTE_NORMAL));
        ASSERT_TRUE(MoveFileA(store.c_str(), (store + ".away").c_str()));
        ASSERT_TRUE(CreateDirectoryA(store.c_str(), nullptr));
        ASSERT_NO_FATAL_FAILURE(app.Create("Blocked"));
        ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kCannotCreate) + "\r" + app.InTheWay(store), kInformation));
        EXPECT_EQ(drv::ListBoxItems(app.FileList()), Rows{FileListRow(a)});
        EXPECT_EQ(ListIconColumn(app.ProjectList()), Rows{"Demo"});
        EXPECT_FALSE(drv::Exists(app.folder + "Projects\\Blocked.lnk"));
        ASSERT_TRUE(RemoveDirectoryA(store.c_str()));
        ASSERT_TRUE(MoveFileA((store + ".away").c_str(), store.c_str()));

        // A project whose line went meanwhile: its shortcut still goes, the
        // list is rebuilt from the file.
        ASSERT_TRUE(drv::Exists(app.folder + "Projects\\Demo.lnk"));
        ASSERT_TRUE(drv::WriteBytes(store, ""));
        ASSERT_TRUE(app.SelectRow(0));
        ASSERT_TRUE(app.ClickForBox(kGadgetDelete));
        ASSERT_TRUE(app.AnswerInfo(app.DeleteQuestion("Demo"), kQuestion, IDYES));
        ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kAlreadyDeleted), kInformation));
        app.Settle();
        EXPECT_FALSE(drv::Exists(app.folder + "Projects\\Demo.lnk"));
        EXPECT_EQ(drv::ListIconCount(app.ProjectList()), 0);
    }
}

// Without a registered editor, creating a project asks for it first; the
// choice goes into the line and is remembered beside the program (in
// Language.ini, which keeps its bytes), so the next project does not ask.
TEST(Journey, WithoutARegisteredEditorTheChoiceIsAskedForAndRemembered) {
    App app("editor-chosen", 1);
    ASSERT_TRUE(app.Start());
    const std::string a = app.src + "main.pb", ini = drv::Bytes(app.folder + "Language.ini");
    app.editorChoice = app.editor;
    ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
    ASSERT_NO_FATAL_FAILURE(app.Create("First"));
    ASSERT_TRUE(drv::WaitFor([&] { return app.ProjectFile() == ProjectLine("First", app.editor, {a}); }));
    EXPECT_EQ(drv::Bytes(app.folder + "Language.ini"), ini + "[Editor]\r\nPath = " + app.editor + "\r\n");
    app.editorChoice = "(not asked again)";
    ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
    ASSERT_NO_FATAL_FAILURE(app.Create("Second"));
    ASSERT_TRUE(drv::WaitFor([&] {
        return app.ProjectFile() == ProjectLine("First", app.editor, {a}) + ProjectLine("Second", app.editor, {a});
    }));
}

// Something of the wrong kind where the program keeps its data is named:
// a file "Data", a folder where the list's lock belongs (nothing is made),
// a file "Projects" (the project is made, without its shortcut).
TEST(Journey, WhatIsInTheWayIsNamed) {
    App app("in-the-way", 1);
    ASSERT_TRUE(app.Start());
    const std::string a = app.src + "main.pb", data = app.folder + "Data", lock = data + "\\Projects.lock";
    ASSERT_TRUE(drv::WriteBytes(data, "a file"));
    ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
    ASSERT_NO_FATAL_FAILURE(app.Create("One"));
    ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kCannotCreate) + "\r" + app.InTheWay(data), kInformation));
    ASSERT_TRUE(DeleteFileA(data.c_str()));
    drv::MakeFolders(lock);
    ASSERT_NO_FATAL_FAILURE(app.Create("One"));
    ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kCannotCreate) + "\r" + app.InTheWay(lock), kInformation));
    EXPECT_EQ(app.ProjectFile(), "");
    ASSERT_TRUE(RemoveDirectoryA(lock.c_str()));
    drv::RemoveTree(app.folder + "Projects");
    ASSERT_TRUE(drv::WriteBytes(app.folder + "Projects", "a file"));
    ASSERT_NO_FATAL_FAILURE(app.Create("One"));
    ASSERT_TRUE(app.AnswerInfo(InsertQuotedName(app.Text(Msg::kShortcutNotWritten), "One") + "\r" +
                                   app.InTheWay(app.folder + "Projects"),
                               kInformation));
    EXPECT_EQ(app.ProjectFile(), ProjectLine("One", "", {a}));
    EXPECT_EQ(ListIconColumn(app.ProjectList()), Rows{"One"});
}

// On a full disk neither a new project nor a deletion is told as done: the
// project file and the shortcuts stay as they were, and the user hears of it.
// The program runs under a shim that gives Data a disk with 10 bytes free.
TEST(Journey, AFullDiskChangesNothingAndSaysSo) {
    if (!drv::UnderShim()) {
        EXPECT_EQ(drv::RunTestUnderShim("disk_full"), 0) << "the run under the shim failed (its output is above)";
        return;
    }
    App app("full-disk", 1);
    const std::string a = app.src + "main.pb", lnk = app.folder + "Projects\\Keep.lnk";
    const std::string other = ProjectLine("Other", "", {a}), before = ProjectLine("Keep", "", {a}) + other;
    app.SetProjects(before);
    app.Put("Data\\tw-disk-full", "10");
    ASSERT_TRUE(app.Start());

    // A new line would be cut after 10 bytes: none is written, no shortcut made.
    ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
    ASSERT_NO_FATAL_FAILURE(app.Create("New"));
    ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kCannotCreate) + "\r" + app.Text(Msg::kWriteProtected), kInformation));
    EXPECT_EQ(app.ProjectFile(), before);
    EXPECT_EQ(drv::Listing(app.folder + "Data\\"), (Rows{"Projects.lock", "Projects.twp", "tw-disk-full"}));
    EXPECT_FALSE(drv::Exists(app.folder + "Projects\\New.lnk"));
    EXPECT_EQ(app.FileCount(), 1) << "the collection is kept";

    // A deletion that cannot write the list keeps the project: its line, its
    // row (still selected) and its shortcut.
    ASSERT_TRUE(CreateShellLink(app.exe, lnk, "\"Keep\"", "PureBASIC Project", app.folder, SW_HIDE, 0,
                                drv::kShortcutIconFile, 169));
    ASSERT_TRUE(app.SelectRow(0));
    ASSERT_NO_FATAL_FAILURE(app.Delete("Keep", IDYES));
    ASSERT_TRUE(app.AnswerInfo(app.Text(Msg::kCannotDelete) + "\r" + app.Text(Msg::kWriteProtected), kInformation));
    EXPECT_EQ(app.ProjectFile(), before);
    ASSERT_NO_FATAL_FAILURE(drv::ExpectProjectShortcut(lnk, "Keep", app.exe));
    EXPECT_EQ(ListIconColumn(app.ProjectList()), (Rows{"Keep", "Other"}));
    EXPECT_EQ(drv::ListIconSelected(app.ProjectList()), 0);

    // With room again, both go through.
    app.Put("Data\\tw-disk-full", "100000");
    ASSERT_NO_FATAL_FAILURE(app.Create("New"));
    app.Settle();
    EXPECT_EQ(app.ProjectFile(), before + ProjectLine("New", "", {a}));
    EXPECT_TRUE(drv::Exists(app.folder + "Projects\\New.lnk"));
    ASSERT_TRUE(app.SelectRow(0));
    ASSERT_NO_FATAL_FAILURE(app.Delete("Keep", IDYES));
    EXPECT_EQ(app.ProjectFile(), other + ProjectLine("New", "", {a}));
    EXPECT_FALSE(drv::Exists(lnk));
}

// Names and sizes no one should use but someone will.
TEST(Journey, OddNamesAndSizes) {
    App app("odd", -1);
    // A command of 254 characters still fits the registry read.
    const std::string longEditor = "C:\\" + std::string(244, 'e') + ".exe";
    app.SetEditorCommand("\"" + longEditor + "\"x");
    ASSERT_EQ(longEditor.size() + 3, 254u);
    ASSERT_TRUE(app.Start());
    const std::string a = app.src + "main.pb";
    std::string expected;
    auto create = [&](const std::string& name, bool byKeys, const std::string& editor) {
        ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
        ASSERT_NO_FATAL_FAILURE(app.Create(name, byKeys));
        app.Settle();
        expected += ProjectLine(name, editor, {a});
        ASSERT_EQ(app.ProjectFile(), expected) << name.substr(0, 40);
        EXPECT_EQ(app.FileCount(), 0);
    };
    ASSERT_NO_FATAL_FAILURE(create("Long editor", true, longEditor));

    // A command of 300 bytes does not fit: no editor path.
    app.SetEditorCommand("\"C:\\" + std::string(286, 'e') + ".exe\" \"%1\"");
    ASSERT_NO_FATAL_FAILURE(create("a/b", true, ""));
    ASSERT_NO_FATAL_FAILURE(create("..\\x", true, ""));
    ASSERT_NO_FATAL_FAILURE(create("say \"hi\"", true, ""));
    // The separator byte cannot be part of a name: refused, nothing stored.
    ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
    ASSERT_NO_FATAL_FAILURE(app.Create("Demo\xBFx", false));
    ASSERT_TRUE(app.AnswerInfo(CatalogueTextFor(Msg::kSeparatorInName, 0), kInformation));
    ASSERT_EQ(app.ProjectFile(), expected);
    ASSERT_EQ(SendMessageA(app.FileList(), LB_DELETESTRING, 0, 0), 0) << "the refusal kept the collection";
    EXPECT_EQ(ListIconColumn(app.ProjectList()), (Rows{"Long editor", "a/b", "..\\x", "say \"hi\""}));
    EXPECT_EQ(drv::ListIconText(app.ProjectList(), 3, 1), "hi  \xBF  main.pb  ") << "quotes in a name show as files";
    EXPECT_EQ(drv::Listing(app.folder + "Projects\\"), Rows{"Long editor.lnk"});
    EXPECT_EQ(drv::Listing(app.parent), Rows{"app"}) << "nothing outside Projects";
    EXPECT_EQ(drv::Listing(app.folder),
              (Rows{"Data", "Language.ini", "Projects", "Pure Basic", "src", "tarnwick.exe"}));

    // Deleting "..\x" must not reach "x.lnk" beside "Projects".
    ASSERT_TRUE(drv::WriteBytes(app.folder + "x.lnk", "not a shortcut of ours"));
    ASSERT_TRUE(app.SelectRow(2));
    ASSERT_NO_FATAL_FAILURE(app.Delete("..\\x", IDYES));
    expected = ProjectLine("Long editor", longEditor, {a}) + ProjectLine("a/b", "", {a}) +
               ProjectLine("say \"hi\"", "", {a});
    ASSERT_EQ(app.ProjectFile(), expected);
    EXPECT_TRUE(drv::Exists(app.folder + "x.lnk"));
    EXPECT_EQ(drv::ListIconSelected(app.ProjectList()), 1);

    // 10,000 characters: stored (the dialog may cut at 9,999), listed, no crash.
    const std::string huge(10000, 'n');
    ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), 0, FileListRow(a)));
    ASSERT_NO_FATAL_FAILURE(app.Create(huge, false));
    app.Settle();
    std::string file = app.ProjectFile();
    ASSERT_EQ(file.compare(0, expected.size(), expected), 0);
    std::string added = file.substr(expected.size());
    EXPECT_TRUE(added == ProjectLine(huge, "", {a}) || added == ProjectLine(huge.substr(0, 9999), "", {a}))
        << added.size();
    expected = file;
    EXPECT_EQ(drv::ListIconCount(app.ProjectList()), 4);

    // 500 files in one project, in their order.
    std::vector<std::string> paths;
    for (int i = 0; i < 500; ++i) {
        char name[32];
        snprintf(name, sizeof name, "f%03d.pb", i);
        paths.push_back(app.src + name);
        ASSERT_TRUE(drv::ListBoxInsert(app.FileList(), i, FileListRow(paths.back())));
    }
    ASSERT_NO_FATAL_FAILURE(app.Create("Many"));
    app.Settle();
    EXPECT_EQ(app.ProjectFile(), expected + ProjectLine("Many", "", paths));
    EXPECT_EQ(app.FileCount(), 0);
    std::string shown = drv::ListIconText(app.ProjectList(), 4, 1);
    EXPECT_EQ(shown.substr(0, 18), "f000.pb  f001.pb  ");
    EXPECT_TRUE(app.process.Running());
}

}  // namespace
