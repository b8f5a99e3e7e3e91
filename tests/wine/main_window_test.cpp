// The main window of the real program, used as a user would: its layout and
// texts in both languages, the project list, the focus order, and the ways
// to end it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "driver/remote_controls.h"
#include "projects/core/store_text.h"

namespace {

// A project line with the editor every line of these tests names.
std::string Line(const std::string& name, const std::vector<std::string>& files) {
    return drv::ProjectLine(name, "C:\\PureBasic\\PureBasic.exe", files);
}

struct GadgetLook {
    int number;
    const char* cls;
    RECT rect;  // left, top, right, bottom in the window's client area
    Msg text;  // its text; Msg::kCount: none to compare
};

const GadgetLook kGadgets[] = {
    {kGadgetFileList, "ListBox", {300, 30, 550, 170}, Msg::kCount},
    {kGadgetProjectList, "SysListView32", {20, 220, 540, 380}, Msg::kCount},
    {kGadgetFrame, "Button", {10, 10, 560, 180}, Msg::kFiles},
    {kGadgetCreate, "Button", {20, 190, 270, 210}, Msg::kCreateButton},
    {kGadgetQuit, "Button", {290, 390, 540, 410}, Msg::kQuitButton},
    {kGadgetRemoveFile, "Button", {265, 30, 295, 60}, Msg::kCount},
    {kGadgetAddFile, "Button", {265, 140, 295, 170}, Msg::kCount},
    {kGadgetStart, "Button", {290, 190, 540, 210}, Msg::kStartButton},
    {kGadgetDelete, "Button", {20, 390, 270, 410}, Msg::kDeleteButton},
    {kGadgetCopyright, "Static", {380, 0, 560, 15}, Msg::kCount},
};

void ExpectLayout(const drv::Program& app, int language) {
    auto text = [&](Msg msg) { return CatalogueTextFor(msg, language); };
    EXPECT_EQ(drv::WindowText(app.window), text(Msg::kTitle));
    RECT client = drv::ClientRectOnScreen(app.window);
    EXPECT_EQ(client.right - client.left, 570);
    EXPECT_EQ(client.bottom - client.top, 420);

    // Caption, close box and minimise box; neither sizing border nor maximise box.
    DWORD style = DWORD(GetWindowLongA(app.window, GWL_STYLE));
    const DWORD wanted = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
    EXPECT_EQ(style & (wanted | WS_THICKFRAME | WS_MAXIMIZEBOX), wanted);
    RECT outer{0, 0, 570, 420};
    AdjustWindowRect(&outer, wanted, FALSE);
    const LONG width = outer.right - outer.left, height = outer.bottom - outer.top;
    const LONG left = 512 - (width >> 1), top = 384 - (height >> 1);
    EXPECT_EQ(drv::WindowRectOf(app.window), (RECT{left, top, left + width, top + height}))
        << "centred on the 1024 x 768 screen";

    for (const GadgetLook& g : kGadgets) {
        SCOPED_TRACE(g.number);
        HWND h = app.Gadget(g.number);
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(drv::SameClass(drv::ClassName(h), g.cls)) << drv::ClassName(h);
        EXPECT_EQ(drv::RectInParent(h), g.rect);
        if (g.text != Msg::kCount) {
            EXPECT_EQ(drv::WindowText(h), text(g.text));
        }
    }
    EXPECT_EQ(drv::WindowText(app.Gadget(kGadgetRemoveFile)), "<-");
    EXPECT_EQ(drv::WindowText(app.Gadget(kGadgetAddFile)), "->");
    EXPECT_FALSE(drv::WindowText(app.Gadget(kGadgetCopyright)).empty()) << "the copyright line";

    HWND list = app.ProjectList();
    EXPECT_EQ(drv::ListIconColumnTitle(list, 0), text(Msg::kProjectName));
    EXPECT_EQ(drv::ListIconColumnTitle(list, 1), text(Msg::kFiles));
    EXPECT_EQ(drv::ListIconColumnTitle(list, 2), "");
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
        drv::Program app("window-german");
        app.SetProjects(projects);
        ASSERT_TRUE(app.Start());
        ExpectLayout(app, 0);
        drv::Screenshot("main-window-de");
        app.Quit();
    }
    {
        SCOPED_TRACE("English");
        drv::Program app("window-english");
        app.Put("Language.ini", drv::LanguageIni(1));
        app.SetProjects(projects);
        ASSERT_TRUE(app.Start());
        ExpectLayout(app, 1);
        drv::Screenshot("main-window-en");
        app.Quit();
    }
}

TEST(MainWindow, ListsEveryLineOfTheProjectFile) {
    drv::Program app("list-three");
    app.SetProjects(Line("Demo", {"C:\\src\\main.pb", "C:\\src\\inc.pbi"}) + Line("Tools", {"D:\\t\\tool.pb"}) +
                    Line("\xC4rger", {"C:\\a b\\x y.pbi"}));
    ASSERT_TRUE(app.Start());
    HWND list = app.ProjectList();
    ASSERT_EQ(drv::ListIconCount(list), 3);
    const char* rows[3][2] = {{"Demo", "main.pb  inc.pbi  "}, {"Tools", "tool.pb  "}, {"\xC4rger", "x y.pbi  "}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(drv::ListIconText(list, i, 0), rows[i][0]);
        EXPECT_EQ(drv::ListIconText(list, i, 1), rows[i][1]);
    }
    EXPECT_EQ(drv::ListIconSelected(list), -1);
    EXPECT_TRUE(drv::ListBoxItems(app.FileList()).empty());
    app.Quit();
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
        drv::Program app(std::string("bad-") + c.name);
        app.SetProjects(c.bytes);
        ASSERT_TRUE(app.Start());
        HWND list = app.ProjectList();
        std::vector<StoreLine> lines = SplitStoreLines(c.bytes);
        ASSERT_EQ(drv::ListIconCount(list), int(lines.size()));
        // The first, a middle and the last row show what their lines say.
        for (size_t i : {size_t(0), lines.size() / 2, lines.size() - 1}) {
            if (i >= lines.size()) continue;
            std::string row = ProjectRowText(lines[i].text);
            size_t lf = row.find('\n');
            EXPECT_EQ(drv::ListIconText(list, int(i), 0), row.substr(0, lf)) << i;
            std::string files = drv::ListIconText(list, int(i), 1);
            EXPECT_EQ(files.size(), row.size() - lf - 1) << i;
            EXPECT_TRUE(files == row.substr(lf + 1)) << i;
        }
        if (c.name == std::string("no-separator")) {
            EXPECT_EQ(drv::ListIconText(list, 0, 0), "");
            EXPECT_EQ(drv::ListIconText(list, 0, 1), "one.pb  two.pbi  ");
            EXPECT_EQ(drv::ListIconText(list, 2, 0), "Proper");
        }
        app.Quit();
    }
}

TEST(MainWindow, TabFollowsTheCreationOrder) {
    drv::Program app("tab-order");
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(drv::FocusWindow(app.window));
    // Every press here moves the focus: wait for it to move.
    auto press = [&](bool shift) {
        HWND before = drv::FocusOfThreadOf(app.window);
        drv::KeyTap(VK_TAB, shift ? VK_SHIFT : 0);
        drv::WaitFor([&] { return drv::FocusOfThreadOf(app.window) != before; }, 3000);
        return GetDlgCtrlID(drv::FocusOfThreadOf(app.window));
    };
    const int forward[] = {1, 2, 4, 6, 7, 8, 9, 5, 1, 2};
    for (int want : forward) EXPECT_EQ(press(false), want);
    const int backward[] = {1, 5, 9, 8, 7, 6, 4, 2, 1, 5};
    for (int want : backward) EXPECT_EQ(press(true), want);
    app.Quit();
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
        void (*close)(drv::Program&);
    };
    const Way ways[] = {
        {"quit button", [](drv::Program& app) { app.Click(kGadgetQuit); }},
        {"close box",
         [](drv::Program& app) {
             POINT p{};
             ASSERT_TRUE(FindHit(app.window, HTCLOSE, p)) << "the title bar has a close box";
             app.Front();
             drv::ClickAt(p.x, p.y);
         }},
        {"system menu close", [](drv::Program& app) { PostMessageA(app.window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4",
         [](drv::Program& app) {
             ASSERT_TRUE(drv::FocusWindow(app.window));
             drv::KeyTap(VK_F4, VK_MENU);
         }},
    };
    for (const Way& w : ways) {
        SCOPED_TRACE(w.name);
        drv::Program app("close");
        ASSERT_TRUE(app.Start());
        w.close(app);
        EXPECT_EQ(app.process.Wait(10000), 0);
        if (app.process.Running()) app.process.Kill();
    }
    // Minimising is allowed and is no reason to end.
    drv::Program app("minimise");
    ASSERT_TRUE(app.Start());
    PostMessageA(app.window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return IsIconic(app.window) != 0; }, 5000));
    EXPECT_EQ(app.process.Wait(500), -1) << "still running";
    PostMessageA(app.window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsIconic(app.window); }, 5000));
    app.Quit();
}

}  // namespace
