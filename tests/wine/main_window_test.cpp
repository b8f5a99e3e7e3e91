// The main window of the real program, used as a user would: its layout and
// texts in both languages, the project list, the focus order, and the ways
// to end it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "projects/core/store_text.h"

namespace {

const char kEnglishIni[] = "[Language]\r\nLanguage = 1\r\n";

struct App {
    std::string folder;
    drv::Process process;
    HWND window = nullptr;
    HWND Gadget(int number) const { return GetDlgItem(window, number); }
};

// Starts the program in a fresh folder with these files beside it and waits
// until its window is built and idle.
App Launch(const std::string& name, const std::string* projects = nullptr, const char* languageIni = nullptr) {
    App app;
    app.folder = drv::FreshFolder(name);
    std::string exe = drv::InstallProgram(app.folder);
    if (projects) {
        CreateDirectoryA((app.folder + "Data").c_str(), nullptr);
        EXPECT_TRUE(drv::WriteBytes(app.folder + "Data\\Projects.twp", *projects));
    }
    if (languageIni) {
        EXPECT_TRUE(drv::WriteBytes(app.folder + "Language.ini", languageIni));
    }
    app.process = drv::Start(exe, "", app.folder);
    EXPECT_TRUE(app.process.Started());
    app.window = drv::WaitWindow(app.process.Id(), "WindowClass_0", 20000);
    // Wine signals input idle before the window is built: wait for the last
    // gadget, then for an answer from the program's event loop.
    if (app.window && drv::WaitFor([&] { return app.Gadget(10) != nullptr; }))
        SendMessageA(app.window, WM_NULL, 0, 0);
    return app;
}

// Clicks the Quit button and expects the program to end with exit code 0.
void Quit(App& app) {
    drv::ClickWindow(app.Gadget(5));
    EXPECT_EQ(app.process.Wait(10000), 0);
    if (app.process.Running()) app.process.Kill();
}

std::string Line(const std::string& name, const std::vector<std::string>& files) {
    std::string line = name + "\xBF" "C:\\PureBasic\\PureBasic.exe ";
    for (const auto& f : files) line += "\"" + f + "\" ";
    return line + "\r\n";
}

struct GadgetLook {
    int number;
    const char* cls;
    RECT rect;  // left, top, right, bottom in the window's client area
    const char* german;
    const char* english;  // null: no text to compare
};

const GadgetLook kGadgets[] = {
    {1, "ListBox", {300, 30, 550, 170}, nullptr, nullptr},
    {2, "SysListView32", {20, 220, 540, 380}, nullptr, nullptr},
    {3, "Button", {10, 10, 560, 180}, "Dateien", "Files"},
    {4, "Button", {20, 190, 270, 210}, "Neues Projekt erstellen", "Create new project"},
    {5, "Button", {290, 390, 540, 410}, "Beenden", "Quit"},
    {6, "Button", {265, 30, 295, 60}, "<-", "<-"},
    {7, "Button", {265, 140, 295, 170}, "->", "->"},
    {8, "Button", {290, 190, 540, 210}, "Projekt Starten", "Start project"},
    {9, "Button", {20, 390, 270, 410}, "Projekt l\xF6schen", "Delete project"},
    {10, "Static", {380, 0, 560, 15}, nullptr, nullptr},
};

bool SameClass(const std::string& a, const char* b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b, -1) == CSTR_EQUAL;
}

void ExpectLayout(const App& app, bool english) {
    EXPECT_EQ(drv::WindowText(app.window), "Tarnwick");
    RECT client = drv::ClientRectOnScreen(app.window);
    EXPECT_EQ(client.right - client.left, 570);
    EXPECT_EQ(client.bottom - client.top, 420);

    // Caption, close box and minimise box; neither sizing border nor maximise box.
    DWORD style = DWORD(GetWindowLongA(app.window, GWL_STYLE));
    const DWORD wanted = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
    EXPECT_EQ(style & (wanted | WS_THICKFRAME | WS_MAXIMIZEBOX), wanted);
    RECT outer{0, 0, 570, 420};
    AdjustWindowRect(&outer, wanted, FALSE);
    RECT r = drv::WindowRectOf(app.window);
    EXPECT_EQ(r.right - r.left, outer.right - outer.left);
    EXPECT_EQ(r.bottom - r.top, outer.bottom - outer.top);
    EXPECT_EQ(r.left, 512 - ((outer.right - outer.left) >> 1)) << "centred on the 1024 x 768 screen";
    EXPECT_EQ(r.top, 384 - ((outer.bottom - outer.top) >> 1));

    for (const GadgetLook& g : kGadgets) {
        SCOPED_TRACE(g.number);
        HWND h = app.Gadget(g.number);
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(SameClass(drv::ClassName(h), g.cls)) << drv::ClassName(h);
        RECT at = drv::RectInParent(h);
        EXPECT_EQ(at.left, g.rect.left);
        EXPECT_EQ(at.top, g.rect.top);
        EXPECT_EQ(at.right, g.rect.right);
        EXPECT_EQ(at.bottom, g.rect.bottom);
        if (g.german) {
            EXPECT_EQ(drv::WindowText(h), english ? g.english : g.german);
        }
    }
    EXPECT_FALSE(drv::WindowText(app.Gadget(10)).empty()) << "the copyright line";

    HWND list = app.Gadget(2);
    EXPECT_EQ(drv::ListViewColumnTitle(list, 0), english ? "Projectname" : "Projektname");
    EXPECT_EQ(drv::ListViewColumnTitle(list, 1), english ? "Files" : "Dateien");
    EXPECT_EQ(drv::ListViewColumnTitle(list, 2), "");
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 120);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 350);
    DWORD listStyle = DWORD(GetWindowLongA(list, GWL_STYLE));
    EXPECT_EQ(listStyle & (LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_REPORT),
              DWORD(LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_REPORT));
    EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

TEST(MainWindow, ShowsItsGadgetsInGermanAndInEnglish) {
    std::string projects = Line("Demo", {"C:\\src\\main.pb", "C:\\src\\inc.pbi"}) +
                           Line("Tools", {"C:\\tools\\t.pb"});
    {
        SCOPED_TRACE("German, without Language.ini");
        App app = Launch("window-german", &projects);
        ASSERT_NE(app.window, nullptr);
        ExpectLayout(app, false);
        drv::Screenshot("main-window-de");
        Quit(app);
    }
    {
        SCOPED_TRACE("English");
        App app = Launch("window-english", &projects, kEnglishIni);
        ASSERT_NE(app.window, nullptr);
        ExpectLayout(app, true);
        drv::Screenshot("main-window-en");
        Quit(app);
    }
}

TEST(MainWindow, ListsEveryLineOfTheProjectFile) {
    std::string three = Line("Demo", {"C:\\src\\main.pb", "C:\\src\\inc.pbi"}) + Line("Tools", {"D:\\t\\tool.pb"}) +
                        Line("\xC4rger", {"C:\\a b\\x y.pbi"});
    App app = Launch("list-three", &three);
    ASSERT_NE(app.window, nullptr);
    HWND list = app.Gadget(2);
    ASSERT_EQ(drv::ListViewCount(list), 3);
    const char* rows[3][2] = {{"Demo", "main.pb  inc.pbi  "}, {"Tools", "tool.pb  "}, {"\xC4rger", "x y.pbi  "}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(drv::ListViewText(list, i, 0), rows[i][0]);
        EXPECT_EQ(drv::ListViewText(list, i, 1), rows[i][1]);
    }
    EXPECT_EQ(drv::ListViewSelected(list), -1);
    EXPECT_TRUE(drv::ListBoxItems(app.Gadget(1)).empty());
    Quit(app);
}

std::string RandomBytes(size_t n, unsigned seed) {
    std::string bytes;
    while (bytes.size() < n) bytes += char((seed = seed * 1103515245u + 12345u) >> 16);
    return bytes;
}

TEST(MainWindow, ComesUpWithWhateverTheProjectFileHolds) {
    std::string many;
    for (int i = 0; i < 10000; ++i) many += Line("Project " + std::to_string(i), {"C:\\p\\f" + std::to_string(i) + ".pb"});
    std::string longLine = Line("Long", {"C:\\" + std::string(100000, 'x') + ".pb"}) + Line("After", {"C:\\a.pb"});
    std::string noSeparator = "no separator \"C:\\dir\\one.pb\" \"C:\\two.pbi\" \r\njust text\r\n" +
                              Line("Proper", {"C:\\p.pb"});
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"ten-thousand", many},
        {"long-line", longLine},
        {"no-separator", noSeparator},
        {"random", RandomBytes(20000, 11)},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App app = Launch(std::string("bad-") + c.name, &c.bytes);
        ASSERT_NE(app.window, nullptr);
        HWND list = app.Gadget(2);
        std::vector<StoreLine> lines = SplitStoreLines(c.bytes);
        ASSERT_EQ(drv::ListViewCount(list), int(lines.size()));
        // The first, a middle and the last row show what their lines say.
        for (size_t i : {size_t(0), lines.size() / 2, lines.size() - 1}) {
            if (i >= lines.size()) continue;
            std::string row = ProjectRowText(lines[i].text);
            size_t lf = row.find('\n');
            EXPECT_EQ(drv::ListViewText(list, int(i), 0), row.substr(0, lf)) << i;
            std::string files = drv::ListViewText(list, int(i), 1);
            EXPECT_EQ(files.size(), row.size() - lf - 1) << i;
            EXPECT_TRUE(files == row.substr(lf + 1)) << i;
        }
        if (c.name == std::string("no-separator")) {
            EXPECT_EQ(drv::ListViewText(list, 0, 0), "");
            EXPECT_EQ(drv::ListViewText(list, 0, 1), "one.pb  two.pbi  ");
            EXPECT_EQ(drv::ListViewText(list, 2, 0), "Proper");
        }
        Quit(app);
    }
}

TEST(MainWindow, TabFollowsTheCreationOrder) {
    App app = Launch("tab-order");
    ASSERT_NE(app.window, nullptr);
    ASSERT_TRUE(drv::FocusWindow(app.window));
    // Every press here moves the focus: wait for it to move.
    auto press = [&](bool shift) {
        HWND before = drv::FocusOfThreadOf(app.window);
        drv::KeyTap(VK_TAB, shift);
        drv::WaitFor([&] { return drv::FocusOfThreadOf(app.window) != before; }, 3000);
        return GetDlgCtrlID(drv::FocusOfThreadOf(app.window));
    };
    const int forward[] = {1, 2, 4, 6, 7, 8, 9, 5, 1, 2};
    for (int want : forward) EXPECT_EQ(press(false), want);
    const int backward[] = {1, 5, 9, 8, 7, 6, 4, 2, 1, 5};
    for (int want : backward) EXPECT_EQ(press(true), want);
    Quit(app);
}

// Finds a point of the window's non-client area where it reports `hit`.
bool FindHit(HWND window, int hit, POINT& at) {
    RECT r = drv::WindowRectOf(window);
    for (int y = r.top; y < r.top + 40; ++y)
        for (int x = r.right - 1; x > r.right - 120; --x)
            if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hit) {
                at = {x, y};
                return true;
            }
    return false;
}

TEST(MainWindow, EveryWayOfClosingEndsWithExitCodeZero) {
    struct Way {
        const char* name;
        void (*close)(const App&);
    };
    const Way ways[] = {
        {"quit button", [](const App& app) { drv::ClickWindow(app.Gadget(5)); }},
        {"close box",
         [](const App& app) {
             POINT p{};
             ASSERT_TRUE(FindHit(app.window, HTCLOSE, p)) << "the title bar has a close box";
             drv::ClickAt(p.x, p.y);
         }},
        {"system menu close", [](const App& app) { PostMessageA(app.window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4",
         [](const App& app) {
             ASSERT_TRUE(drv::FocusWindow(app.window));
             INPUT in[4]{};
             for (INPUT& i : in) i.type = INPUT_KEYBOARD;
             in[0].ki.wVk = VK_MENU;
             in[1].ki.wVk = VK_F4;
             in[2].ki.wVk = VK_F4;
             in[2].ki.dwFlags = KEYEVENTF_KEYUP;
             in[3].ki.wVk = VK_MENU;
             in[3].ki.dwFlags = KEYEVENTF_KEYUP;
             SendInput(4, in, sizeof(INPUT));
         }},
    };
    for (const Way& w : ways) {
        SCOPED_TRACE(w.name);
        App app = Launch("close");
        ASSERT_NE(app.window, nullptr);
        w.close(app);
        EXPECT_EQ(app.process.Wait(10000), 0);
        if (app.process.Running()) {
            drv::Screenshot(std::string("close-") + w.name);
            app.process.Kill();
        }
    }
    // Minimising is allowed and is no reason to end.
    App app = Launch("minimise");
    ASSERT_NE(app.window, nullptr);
    PostMessageA(app.window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return IsIconic(app.window) != 0; }, 5000));
    EXPECT_EQ(app.process.Wait(500), -1) << "still running";
    PostMessageA(app.window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsIconic(app.window); }, 5000));
    Quit(app);
}

}  // namespace
