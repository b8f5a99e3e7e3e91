// The whole journey on the real program, driven with real clicks and keys:
// collect files in the tree, create a project, open its shortcut, delete it;
// every refusal in both languages; and input nobody should type but someone will.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "driver/driver.h"
#include "driver/remote_controls.h"

namespace {

const char kEditorKey[] = "Applications\\PureBasic.exe\\shell\\open\\command";
const char kSep = '\xBF';

// The user texts of the project operations, German then English.
struct Texts {
    const char* noFiles;
    const char* emptyName;
    const char* nameTaken;
    const char* cannotWrite;
    const char* noneSelected;
    const char* reallyDelete;  // with %name%
    const char* alreadyDeleted;
    const char* dialogTitle;
    const char* dialogPrompt;
};
const Texts kTexts[2] = {
    {"Es wurden keine Dateien f\xFCr das Projekt ausgew\xE4hlt!", "Der Projektname ist leer!",
     "Dieser Projektname existiert bereits!", "Das Projekt konnte nicht angelegt werden!\rSchreibgesch\xFCtzt?",
     "Es wurde kein Projekt ausgew\xE4hlt!", "Soll das das Projekt %name% wirklich aus der Liste entfernt werden?",
     "Das ausgew\xE4hlte Projekt wurde bereits gel\xF6scht!", "Projektname", "Bitte gebe einen Projektnamen ein."},
    {"No files selected!", "Projectname is empty!", "This name already exists!",
     "Cannot create new project!\rPlease remove the write protection!", "No projects selected!",
     "Do you really want to delete the selected file %name%?", "This project doesn't exists!", "Projectname",
     "Please enter the new projectname."},
};

std::string WithName(const char* text, const std::string& name) {
    std::string out = text;
    out.replace(out.find("%name%"), 6, "\"" + name + "\"");
    return out;
}

std::string Line(const std::string& name, const std::string& editor, const std::vector<std::string>& files) {
    std::string line = name + kSep + editor + " ";
    for (const auto& f : files) line += "\"" + f + "\" ";
    return line + "\r\n";
}

std::string FileListRow(const std::string& path) {
    return path.substr(path.rfind('\\') + 1) + std::string(100, ' ') + path;
}

// Names directly in `folder`, sorted.
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") out.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(out.begin(), out.end());
    return out;
}

std::string Read(const std::string& path) {
    std::string bytes;
    drv::ReadBytes(path, bytes);
    return bytes;
}

int StoredShowCommand(const std::string& lnk) {
    std::string b = Read(lnk);
    return b.size() < 0x4C ? -1 : int(uint8_t(b[0x3C]) | uint8_t(b[0x3D]) << 8);
}

// A program in a fresh folder (the folder name is nested, so nothing may
// appear in the parent), with the stand-in editor at a path with a space.
class App {
public:
    App(const std::string& name, int language, std::optional<std::string> editorCommand) {
        parent = drv::FreshFolder(name);
        folder = parent + "app\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        exe = drv::InstallProgram(folder);
        editor = folder + "Pure Basic\\PureBasic.exe";
        EXPECT_TRUE(drv::InstallEditor(editor));
        src = folder + "src\\";
        CreateDirectoryA(src.c_str(), nullptr);
        for (const char* f : {"main.pb", "inc.pbi", "notes.txt"}) drv::WriteBytes(src + f, "; source\r\n");
        if (language >= 0)
            drv::WriteBytes(folder + "Language.ini", "[Language]\r\nLanguage = " + std::to_string(language) + "\r\n");
        texts = &kTexts[language == 1 ? 1 : 0];
        drv::DeleteClassesRootTree("Applications\\PureBasic.exe");
        if (editorCommand) {
            EXPECT_TRUE(drv::SetClassesRootDefault(kEditorKey, *editorCommand));
        }
    }
    ~App() {
        if (proc.Running()) {
            PostMessageA(main, WM_CLOSE, 0, 0);
            if (proc.Wait(5000) != 0) proc.Kill();
        }
    }

    void Start() {
        proc = drv::Start(exe, "", folder);
        ASSERT_TRUE(proc.Started());
        main = drv::WaitWindow(proc.Id(), "WindowClass_0");
        ASSERT_NE(main, nullptr);
        // The window shows before its gadgets are made; the label comes last.
        ASSERT_TRUE(drv::WaitFor([&] { return GetDlgItem(main, 10) != nullptr; }, 5000));
        Settle();
        tree = drv::FindDescendant(main, "SysTreeView32");
        files = GetDlgItem(main, 1);
        projects = GetDlgItem(main, 2);
        ASSERT_NE(tree, nullptr);
        ASSERT_NE(files, nullptr);
        ASSERT_NE(projects, nullptr);
    }

    // A user's click lands on the window in front: bring it there first
    // (without a window manager a click can otherwise go to activation only).
    void Click(int gadget) {
        if (GetForegroundWindow() != main) drv::FocusWindow(main);
        Settle();
        drv::ClickWindow(GetDlgItem(main, gadget));
    }

    // Walks the tree to `path` as a user does: double-click each closed
    // folder on the way, then click the item.
    void SelectInTree(const std::string& path) {
        auto roots = drv::TreeChildren(tree, nullptr);
        ASSERT_EQ(roots.size(), 1u);
        HTREEITEM at = nullptr;
        for (const auto& drive : drv::TreeChildren(tree, roots[0].handle))
            if ((drive.param & 0xFF) == (toupper(path[0]) - 'A')) at = drive.handle;
        ASSERT_NE(at, nullptr) << "drive of " << path;
        size_t pos = 3;
        while (pos <= path.size()) {
            size_t end = path.find('\\', pos);
            if (end == std::string::npos) end = path.size();
            std::string part = path.substr(pos, end - pos);
            pos = end + 1;
            if (part.empty()) continue;
            if (!drv::ReadTreeItem(tree, at).expanded) {
                POINT p = drv::TreeItemPoint(tree, at);
                drv::ClickAt(p.x, p.y, true);
                ASSERT_TRUE(drv::WaitFor([&] { return drv::ReadTreeItem(tree, at).expanded; }, 5000)) << part;
            }
            HTREEITEM next = nullptr;
            for (const auto& child : drv::TreeChildren(tree, at))
                if (lstrcmpiA(child.text.c_str(), part.c_str()) == 0) next = child.handle;
            ASSERT_NE(next, nullptr) << part << " in " << path;
            at = next;
        }
        POINT p = drv::TreeItemPoint(tree, at);
        drv::ClickAt(p.x, p.y);
        ASSERT_TRUE(drv::WaitFor([&] {
            return HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == at;
        }, 3000));
    }

    void Collect(const std::string& path) {
        SelectInTree(path);
        int before = FileCount();
        Click(7);  // "->"
        ASSERT_TRUE(drv::WaitFor([&] { return FileCount() == before + 1; }, 3000));
    }

    // Presses the create button and answers the name dialog: `typed` goes in
    // with keys (or, for what a keyboard can hardly type, as the field's text).
    void Create(const std::string& typed, bool byKeys = true, bool cancel = false) {
        Click(4);
        HWND dialog = drv::WaitWindow(proc.Id(), "InputRequester", 4000);
        if (!dialog) {  // a click lost on its way: a user clicks again
            Click(4);
            dialog = drv::WaitWindow(proc.Id(), "InputRequester");
        }
        ASSERT_NE(dialog, nullptr) << "name dialog";
        EXPECT_EQ(drv::WindowText(dialog), texts->dialogTitle);
        HWND prompt = drv::FindDescendant(dialog, "Static");
        EXPECT_EQ(prompt ? drv::WindowText(prompt) : "", texts->dialogPrompt);
        HWND edit = drv::FindDescendant(dialog, "Edit");
        ASSERT_NE(edit, nullptr);
        drv::FocusWindow(dialog);
        if (byKeys)
            drv::TypeText(typed);
        else
            SendMessageA(edit, WM_SETTEXT, 0, LPARAM(typed.c_str()));
        drv::KeyTap(cancel ? VK_ESCAPE : VK_RETURN);
        ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dialog); }, 5000));
    }

    // Waits for the message box, checks it and answers it.
    void ExpectBox(const std::string& text, int flags, int answer = IDOK) {
        drv::MessageBoxInfo box = drv::WaitMessageBox(proc.Id());
        if (!box.hwnd) drv::Screenshot("no-box");
        ASSERT_NE(box.hwnd, nullptr) << "expected: " << text;
        EXPECT_EQ(box.title, "Info");
        EXPECT_EQ(box.text, text);
        if (flags == 64) {
            EXPECT_EQ(box.icon, 64);
            EXPECT_TRUE(box.hasOk && !box.hasYes && !box.hasNo);
        } else {
            EXPECT_EQ(box.icon, 32);
            EXPECT_TRUE(box.hasYes && box.hasNo && !box.hasOk);
        }
        drv::PressButton(box.hwnd, answer);
        ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(box.hwnd); }, 5000));
    }

    void SelectProject(int row) {
        RECT r = drv::ListViewRowRect(projects, row);
        drv::ClickAt(r.left + 10, (r.top + r.bottom) / 2);
        ASSERT_TRUE(drv::WaitFor([&] { return drv::ListViewSelected(projects) == row; }, 3000));
    }

    // Waits until the program is idle in its main loop again.
    void Settle() {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &result);
    }

    int FileCount() const { return int(SendMessageA(files, LB_GETCOUNT, 0, 0)); }

    std::string ProjectFile() const { return Read(folder + "Data\\Projects.twp"); }

    std::string parent, folder, exe, editor, src;
    const Texts* texts = nullptr;
    drv::Process proc;
    HWND main = nullptr, tree = nullptr, files = nullptr, projects = nullptr;
};

TEST(Journey, CollectCreateOpenAndDeleteAsAUser) {
    App app("journey", 1, std::nullopt);
    drv::SetClassesRootDefault(kEditorKey, "\"" + app.editor + "\" \"%1\"");
    ASSERT_NO_FATAL_FAILURE(app.Start());
    const std::string a = app.src + "main.pb", b = app.src + "inc.pbi";

    ASSERT_NO_FATAL_FAILURE(app.Collect(a));
    ASSERT_NO_FATAL_FAILURE(app.Collect(b));
    EXPECT_EQ(drv::ListBoxItems(app.files), (std::vector<std::string>{FileListRow(a), FileListRow(b)}));

    ASSERT_NO_FATAL_FAILURE(app.Create(" Demo "));
    app.Settle();
    EXPECT_EQ(app.ProjectFile(), Line("Demo", app.editor, {a, b}));
    EXPECT_EQ(app.FileCount(), 0) << "the collection is emptied";
    EXPECT_EQ(drv::ListViewColumn(app.projects, 0), std::vector<std::string>{"Demo"});
    EXPECT_EQ(drv::ListViewText(app.projects, 0, 1), "main.pb  inc.pbi  ");
    EXPECT_EQ(drv::ListViewSelected(app.projects), -1);

    const std::string lnk = app.folder + "Projects\\Demo.lnk";
    drv::ShortcutInfo s = drv::ReadShortcut(lnk);
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(lstrcmpiA(s.target.c_str(), app.exe.c_str()), 0) << s.target;
    EXPECT_EQ(s.arguments, "\"Demo\"");
    EXPECT_EQ(s.directory, app.folder);
    EXPECT_EQ(s.description, "PureBASIC Project");
    EXPECT_EQ(StoredShowCommand(lnk), SW_HIDE);
    EXPECT_EQ(s.hotKey, 0);
    EXPECT_EQ(s.iconFile, "%SystemRoot%\\system32\\SHELL32.dll");
    EXPECT_EQ(s.iconIndex, 169);

    // Open the shortcut through the shell, from elsewhere: a second program
    // starts, shows nothing, and the editor gets both files.
    bool sawSecond = false, sawWindow = false;
    ASSERT_TRUE(drv::OpenThroughShell(lnk, drv::FreshFolder("journey-elsewhere")));
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 15000) {
        bool running = false;
        for (DWORD id : drv::ProcessesNamed("tarnwick.exe")) {
            if (id == app.proc.Id()) continue;
            running = sawSecond = true;
            if (!drv::TopWindows(id).empty()) sawWindow = true;
        }
        if (!running && sawSecond && !drv::ReadEditorLog(app.editor).empty()) break;
        Sleep(5);
    }
    EXPECT_TRUE(sawSecond);
    EXPECT_FALSE(sawWindow);
    auto runs = drv::ReadEditorLog(app.editor);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].commandLine.find("\"" + a + "\" \"" + b + "\""), std::string::npos) << runs[0].commandLine;

    // A second project from one file, then delete it: No changes nothing, Yes
    // takes line and shortcut and selects the row above.
    ASSERT_NO_FATAL_FAILURE(app.Collect(b));
    drv::Screenshot("journey-collected");
    ASSERT_NO_FATAL_FAILURE(app.Create("Zeta"));
    app.Settle();
    const std::string both = Line("Demo", app.editor, {a, b}) + Line("Zeta", app.editor, {b});
    ASSERT_EQ(app.ProjectFile(), both);
    ASSERT_TRUE(drv::Exists(app.folder + "Projects\\Zeta.lnk"));

    ASSERT_NO_FATAL_FAILURE(app.SelectProject(1));
    app.Click(9);
    app.ExpectBox(WithName(app.texts->reallyDelete, "Zeta"), 36, IDNO);
    app.Settle();
    EXPECT_EQ(app.ProjectFile(), both);
    EXPECT_TRUE(drv::Exists(app.folder + "Projects\\Zeta.lnk"));
    EXPECT_EQ(drv::ListViewColumn(app.projects, 0), (std::vector<std::string>{"Demo", "Zeta"}));
    EXPECT_EQ(drv::ListViewSelected(app.projects), 1);

    app.Click(9);
    app.ExpectBox(WithName(app.texts->reallyDelete, "Zeta"), 36, IDYES);
    app.Settle();
    EXPECT_EQ(app.ProjectFile(), Line("Demo", app.editor, {a, b}));
    EXPECT_FALSE(drv::Exists(app.folder + "Projects\\Zeta.lnk"));
    EXPECT_TRUE(drv::Exists(lnk));
    EXPECT_EQ(drv::ListViewColumn(app.projects, 0), std::vector<std::string>{"Demo"});
    EXPECT_EQ(drv::ListViewSelected(app.projects), 0) << "the row above is selected";

    // The first row: nothing is left selected.
    app.Click(9);
    app.ExpectBox(WithName(app.texts->reallyDelete, "Demo"), 36, IDYES);
    app.Settle();
    EXPECT_EQ(app.ProjectFile(), "");
    EXPECT_FALSE(drv::Exists(lnk));
    EXPECT_EQ(drv::ListViewCount(app.projects), 0);
    EXPECT_EQ(drv::ListViewSelected(app.projects), -1);
    EXPECT_EQ(Listing(app.parent), std::vector<std::string>{"app"});
}

// Every refusal, in German (no Language.ini) and English, without an editor in the registry.
TEST(Journey, RefusalsInBothLanguages) {
    for (int language : {-1, 1}) {
        SCOPED_TRACE(language == 1 ? "English" : "German");
        App app(language == 1 ? "refusals-en" : "refusals-de", language, std::nullopt);
        ASSERT_NO_FATAL_FAILURE(app.Start());
        const Texts& t = *app.texts;
        const std::string a = app.src + "main.pb";

        // Nothing collected: refused before anything is asked or made.
        app.Click(4);
        app.ExpectBox(t.noFiles, 64);
        EXPECT_FALSE(drv::Exists(app.folder + "Data"));
        EXPECT_FALSE(drv::Exists(app.folder + "Projects"));
        app.Click(9);
        app.ExpectBox(t.noneSelected, 64);

        ASSERT_TRUE(drv::ListBoxInsert(app.files, 0, FileListRow(a)));
        ASSERT_NO_FATAL_FAILURE(app.Create("Typed then cancelled", true, true));
        app.ExpectBox(t.emptyName, 64);
        EXPECT_TRUE(drv::Exists(app.folder + "Data")) << "folders are made before the name is asked";
        EXPECT_TRUE(drv::Exists(app.folder + "Projects"));
        ASSERT_NO_FATAL_FAILURE(app.Create("   "));
        app.ExpectBox(t.emptyName, 64);
        EXPECT_EQ(app.FileCount(), 1) << "a refusal keeps the collection";

        ASSERT_NO_FATAL_FAILURE(app.Create("Demo"));
        app.Settle();
        EXPECT_EQ(app.ProjectFile(), Line("Demo", "", {a})) << "no registry key: empty editor path";
        ASSERT_TRUE(drv::ListBoxInsert(app.files, 0, FileListRow(a)));
        ASSERT_NO_FATAL_FAILURE(app.Create("DEMO"));
        app.ExpectBox(t.nameTaken, 64);

        // The project file cannot be written (a folder stands in its place:
        // Unix permissions do not stop root under Wine): the two-line box,
        // both lists as they were.
        const std::string store = app.folder + "Data\\Projects.twp";
        ASSERT_TRUE(MoveFileA(store.c_str(), (store + ".away").c_str()));
        ASSERT_TRUE(CreateDirectoryA(store.c_str(), nullptr));
        ASSERT_NO_FATAL_FAILURE(app.Create("Blocked"));
        app.ExpectBox(t.cannotWrite, 64);
        EXPECT_EQ(drv::ListBoxItems(app.files), std::vector<std::string>{FileListRow(a)});
        EXPECT_EQ(drv::ListViewColumn(app.projects), std::vector<std::string>{"Demo"});
        EXPECT_FALSE(drv::Exists(app.folder + "Projects\\Blocked.lnk"));
        ASSERT_TRUE(RemoveDirectoryA(store.c_str()));
        ASSERT_TRUE(MoveFileA((store + ".away").c_str(), store.c_str()));

        // A project whose line went meanwhile: its shortcut still goes, the
        // list is rebuilt from the file.
        ASSERT_TRUE(drv::Exists(app.folder + "Projects\\Demo.lnk"));
        ASSERT_TRUE(drv::WriteBytes(store, ""));
        ASSERT_NO_FATAL_FAILURE(app.SelectProject(0));
        app.Click(9);
        app.ExpectBox(WithName(t.reallyDelete, "Demo"), 36, IDYES);
        app.ExpectBox(t.alreadyDeleted, 64);
        app.Settle();
        EXPECT_FALSE(drv::Exists(app.folder + "Projects\\Demo.lnk"));
        EXPECT_EQ(drv::ListViewCount(app.projects), 0);
    }
}

// Names and sizes no one should use but someone will.
TEST(Journey, OddNamesAndSizes) {
    // A command of 254 characters still fits the registry read.
    const std::string longEditor = "C:\\" + std::string(244, 'e') + ".exe";
    App app("odd", -1, "\"" + longEditor + "\"x");
    ASSERT_EQ(longEditor.size() + 3, 254u);
    ASSERT_NO_FATAL_FAILURE(app.Start());
    const std::string a = app.src + "main.pb";
    std::string expected;
    auto create = [&](const std::string& name, bool byKeys, const std::string& editor) {
        ASSERT_TRUE(drv::ListBoxInsert(app.files, 0, FileListRow(a)));
        ASSERT_NO_FATAL_FAILURE(app.Create(name, byKeys));
        app.Settle();
        expected += Line(name, editor, {a});
        ASSERT_EQ(app.ProjectFile(), expected) << name.substr(0, 40);
        EXPECT_EQ(app.FileCount(), 0);
    };
    ASSERT_NO_FATAL_FAILURE(create("Long editor", true, longEditor));

    // A command of 300 bytes does not fit: no editor path.
    drv::SetClassesRootDefault(kEditorKey, "\"C:\\" + std::string(286, 'e') + ".exe\" \"%1\"");
    ASSERT_NO_FATAL_FAILURE(create("a/b", true, ""));
    ASSERT_NO_FATAL_FAILURE(create("..\\x", true, ""));
    ASSERT_NO_FATAL_FAILURE(create("say \"hi\"", true, ""));
    ASSERT_NO_FATAL_FAILURE(create("Demo\xBFx", false, ""));
    EXPECT_EQ(drv::ListViewColumn(app.projects, 0),
              (std::vector<std::string>{"Long editor", "a/b", "..\\x", "say \"hi\"", "Demo"}));
    EXPECT_EQ(drv::ListViewText(app.projects, 3, 1), "hi  \xBF  main.pb  ") << "quotes in a name show as files";
    EXPECT_EQ(Listing(app.folder + "Projects\\"),
              (std::vector<std::string>{"Demo\xBFx.lnk", "Long editor.lnk"}));
    EXPECT_EQ(Listing(app.parent), std::vector<std::string>{"app"}) << "nothing outside Projects";
    EXPECT_EQ(Listing(app.folder),
              (std::vector<std::string>{"Data", "Language.ini", "Projects", "Pure Basic", "src", "tarnwick.exe"}));

    // Deleting "..\x" must not reach "x.lnk" beside "Projects".
    ASSERT_TRUE(drv::WriteBytes(app.folder + "x.lnk", "not a shortcut of ours"));
    ASSERT_NO_FATAL_FAILURE(app.SelectProject(2));
    app.Click(9);
    app.ExpectBox(WithName(kTexts[0].reallyDelete, "..\\x"), 36, IDYES);
    app.Settle();
    expected = Line("Long editor", longEditor, {a}) + Line("a/b", "", {a}) + Line("say \"hi\"", "", {a}) +
               Line("Demo\xBFx", "", {a});
    ASSERT_EQ(app.ProjectFile(), expected);
    EXPECT_TRUE(drv::Exists(app.folder + "x.lnk"));
    EXPECT_EQ(drv::ListViewSelected(app.projects), 1);

    // 10,000 characters: stored (the dialog may cut at 9,999), listed, no crash.
    const std::string huge(10000, 'n');
    ASSERT_TRUE(drv::ListBoxInsert(app.files, 0, FileListRow(a)));
    ASSERT_NO_FATAL_FAILURE(app.Create(huge, false));
    app.Settle();
    std::string file = app.ProjectFile();
    ASSERT_EQ(file.compare(0, expected.size(), expected), 0);
    std::string added = file.substr(expected.size());
    EXPECT_TRUE(added == Line(huge, "", {a}) || added == Line(huge.substr(0, 9999), "", {a})) << added.size();
    expected = file;
    EXPECT_EQ(drv::ListViewCount(app.projects), 5);

    // 500 files in one project, in their order.
    std::vector<std::string> paths;
    for (int i = 0; i < 500; ++i) {
        char name[32];
        snprintf(name, sizeof name, "f%03d.pb", i);
        paths.push_back(app.src + name);
        ASSERT_TRUE(drv::ListBoxInsert(app.files, i, FileListRow(paths.back())));
    }
    ASSERT_NO_FATAL_FAILURE(app.Create("Many"));
    app.Settle();
    EXPECT_EQ(app.ProjectFile(), expected + Line("Many", "", paths));
    EXPECT_EQ(app.FileCount(), 0);
    std::string shown = drv::ListViewText(app.projects, 5, 1);
    EXPECT_EQ(shown.substr(0, 18), "f000.pb  f001.pb  ");
    EXPECT_TRUE(app.proc.Running());
}

}  // namespace
