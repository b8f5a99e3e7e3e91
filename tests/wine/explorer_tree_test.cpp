// The explorer tree gadget in a window of this test: what it lists, the paths
// it reports, the events it posts to its top-level window, its answer to
// volumes arriving and leaving, and the insert-disk prompt.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "driver/driver.h"
#include "driver/message_box.h"
#include "driver/remote_controls.h"
#include "explorer/tree.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace {

// The command messages the tree posts to the window it hooks.
struct Command {
    int subtype;
    int low;
    HWND source;
};
std::vector<Command> gCommands;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && lp) {
        gCommands.push_back({HIWORD(wp), LOWORD(wp), reinterpret_cast<HWND>(lp)});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Test windows: hooked by the trees placed in them. Wine under Xvfb takes
// 2 s to take down any visible top-level window, so most tests share one.
HWND NewHostWindow() {
    static bool registered = [] {
        GadgetLayerInit();
        WNDCLASSA cls{};
        cls.lpfnWndProc = HostProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        cls.lpszClassName = "TreeTestHost";
        return RegisterClassA(&cls) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowExA(0, "TreeTestHost", "Tree host", WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 520, 740,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}
HWND SharedWindow() {
    static HWND window = NewHostWindow();
    return window;
}

// An explorer tree as gadget `number` in a test window; freed at the end.
class Host {
public:
    explicit Host(int32_t number = 0, HWND window = SharedWindow()) : number_(number), window_(window) {
        GadgetListUse(window_);
        tree_ = CreateExplorerTree(number, 10, 10, 480, 680, "*.pbi;*.pb", ExplorerTree_AlwaysShowSelection);
        drv::Pump();
        gCommands.clear();
    }
    ~Host() {
        if (GadgetFind(number_) && GadgetFind(number_)->handle == tree_) Ops()->free(number_);
    }
    HWND Window() const { return window_; }
    HWND Tree() const { return tree_; }
    std::string Text() const { return Ops() ? Ops()->getText(number_) : "<no gadget>"; }
    int32_t State() const { return Ops() ? Ops()->getState(number_) : -99; }
    const GadgetKindOps* Ops() const {
        GadgetRecord* g = GadgetFind(number_);
        return g ? g->ops : nullptr;
    }

private:
    int32_t number_;
    HWND window_ = nullptr;
    HWND tree_ = nullptr;
};

// Reading the tree-view control (the driver's readers serve this process too).
HTREEITEM Child(HWND tree, HTREEITEM parent, const std::string& text) {
    HTREEITEM found = drv::TreeChild(tree, parent, text).handle;
    if (!found) ADD_FAILURE() << "no item " << text;
    return found;
}
HTREEITEM Drive(HWND tree, char letter) {
    HTREEITEM drive = drv::TreeDrive(tree, letter);
    if (!drive) ADD_FAILURE() << "no drive " << letter;
    return drive;
}
void Expand(HWND tree, HTREEITEM item) {
    TreeView_Expand(tree, item, TVE_EXPAND);
    drv::Pump();
}
void SendVolumeChange(HWND window, WPARAM event, DWORD mask, DWORD type = DBT_DEVTYP_VOLUME) {
    DEV_BROADCAST_VOLUME v{};
    v.dbcv_size = sizeof v;
    v.dbcv_devicetype = type;
    v.dbcv_unitmask = mask;
    SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&v));
    drv::Pump();
}

// The folder behind drive T: for the whole suite.
class ExplorerTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = drv::FreshFolder("tree-drive");
        auto dir = [](const std::string& p) { CreateDirectoryA((root_ + p).c_str(), nullptr); };
        auto file = [](const std::string& p) { drv::WriteBytes(root_ + p, "x"); };
        for (const char* d : {"Alpha", "OnlyText", "OnlyPb", "OnlyPbi", "Empty", ".dotted", ".dotted\\inner",
                              "Hidden", "Nested", "Nested\\Inner", "TextSub", "TextSub\\Sub", "d.pb", "Deep"})
            dir(d);
        for (const char* f : {"Alpha\\a.pb", "Alpha\\a.pbi", "Alpha\\readme.txt", "OnlyText\\a.txt", "OnlyPb\\a.pb",
                              "OnlyPbi\\x.pbi", "Hidden\\k.pb", "TextSub\\Sub\\a.txt", "b.pb", "c.pb", "a.pbi",
                              "z.pbi", "notes.txt", "pb", "x.pb.txt"})
            file(f);
        SetFileAttributesA((root_ + "Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
        // Past the platform's path limit (made from Unix: the ANSI calls stop there).
        deep_ = "Deep\\" + std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\";
        std::string unixDeep = drv::UnixPath(root_) + "Deep/" + std::string(120, 'a') + "/" + std::string(120, 'b');
        ASSERT_EQ(drv::RunUnix("/bin/mkdir -p " + unixDeep + "/" + std::string(20, 'c')), 0);
        ASSERT_EQ(drv::RunUnix("/bin/touch " + unixDeep + "/" + std::string(20, 'c') + "/x.pb " + unixDeep + "/" +
                               std::string(30, 'f') + ".pb"),
                  0);
        ASSERT_TRUE(drv::MapDrive('T', root_));
    }
    static void TearDownTestSuite() { drv::UnmapDrive('T'); }

    static std::string root_;
    static std::string deep_;
};
std::string ExplorerTree::root_;
std::string ExplorerTree::deep_;

TEST_F(ExplorerTree, ListsDrivesAndReadsAFolderWhenFirstOpened) {
    Host host;
    HWND tree = host.Tree();
    ASSERT_TRUE(tree);
    EXPECT_EQ(drv::ClassName(GetParent(tree)), "ExplorerTree_ParentClass");
    EXPECT_EQ(GetDlgCtrlID(tree), 0);
    LONG style = GetWindowLongA(tree, GWL_STYLE);
    EXPECT_EQ(style & (TVS_HASLINES | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | TVS_LINESATROOT),
              TVS_HASLINES | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP);
    EXPECT_TRUE(GetWindowLongA(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    HTREEITEM root = TreeView_GetRoot(tree);
    drv::TreeItem top = drv::ReadTreeItem(tree, root);
    EXPECT_EQ(top.param, 0xFFFB);
    EXPECT_TRUE(top.expanded);
    EXPECT_FALSE(TreeView_GetNextSibling(tree, root)) << "one root";

    // Drives in letter order, each with a button and unread; "My Documents" last.
    std::vector<drv::TreeItem> under = drv::TreeChildren(tree, root);
    ASSERT_GE(under.size(), 3u);
    DWORD mask = GetLogicalDrives();
    size_t drives = 0;
    for (unsigned n = 0; n < 26; ++n)
        if (mask & (1u << n)) {
            EXPECT_EQ(under[drives].param, LPARAM(n));
            EXPECT_TRUE(under[drives++].hasChildren);
        }
    EXPECT_NE(mask & (1u << 19), 0u) << "T: is mapped";
    ASSERT_EQ(under.size(), drives + 1);
    EXPECT_EQ(under.back().param, 0xFD);
    EXPECT_FALSE(TreeView_GetSelection(tree)) << "nothing selected after creation";

    HTREEITEM t = Drive(tree, 'T');
    Expand(tree, t);
    EXPECT_EQ(drv::ReadTreeItem(tree, t).param, 0xFF13) << "filled";
    std::vector<std::string> names = drv::TreeNames(tree, t);
    const std::set<std::string> kFolders = {"Alpha", "OnlyText", "OnlyPb", "OnlyPbi", "Empty", ".dotted",
                                            "Hidden", "Nested", "TextSub", "d.pb", "Deep"};
    ASSERT_EQ(names.size(), kFolders.size() + 4) << "folders, then 2 + 2 files; no '.', '..' or other files";
    EXPECT_EQ(std::set<std::string>(names.begin(), names.begin() + long(kFolders.size())), kFolders);
    std::vector<std::string> files(names.begin() + long(kFolders.size()), names.end());
    EXPECT_EQ(std::set<std::string>(files.begin(), files.begin() + 2), (std::set<std::string>{"a.pbi", "z.pbi"}))
        << "the first pattern's files come first";
    EXPECT_EQ(std::set<std::string>(files.begin() + 2, files.end()), (std::set<std::string>{"b.pb", "c.pb"}));

    // An expand button only where there is something to show.
    const std::pair<const char*, bool> kButtons[] = {
        {"Alpha", true},   {"OnlyText", false}, {"OnlyPb", true},  {"OnlyPbi", true}, {"Empty", false},
        {".dotted", true}, {"Hidden", true},    {"Nested", true},  {"TextSub", true}, {"d.pb", false},
        {"Deep", true},    {"b.pb", false},
    };
    for (const auto& [name, button] : kButtons) {
        drv::TreeItem it = drv::ReadTreeItem(tree, Child(tree, t, name));
        EXPECT_EQ(it.hasChildren, button) << name;
        EXPECT_EQ(it.param, std::string(name) == "b.pb" ? 0xFF : 0xFC) << name;
    }
    HTREEITEM nested = Child(tree, t, "Nested");
    Expand(tree, nested);
    EXPECT_FALSE(drv::ReadTreeItem(tree, Child(tree, nested, "Inner")).hasChildren) << "an empty folder";
    HTREEITEM textSub = Child(tree, t, "TextSub");
    Expand(tree, textSub);
    EXPECT_FALSE(drv::ReadTreeItem(tree, Child(tree, textSub, "Sub")).hasChildren) << "a folder with only a.txt";
    HTREEITEM alpha = Child(tree, t, "Alpha");
    Expand(tree, alpha);
    EXPECT_EQ(drv::TreeNames(tree, alpha), (std::vector<std::string>{"a.pbi", "a.pb"}));

    // Read once: closing and opening again lists the same items.
    TreeView_Expand(tree, t, TVE_COLLAPSE);
    Expand(tree, t);
    EXPECT_EQ(drv::TreeNames(tree, t), names);
}

TEST_F(ExplorerTree, ReportsTheSelectedItemsPathAndKind) {
    Host host;
    HWND tree = host.Tree();
    HTREEITEM t = Drive(tree, 'T');
    Expand(tree, t);
    HTREEITEM alpha = Child(tree, t, "Alpha");
    Expand(tree, alpha);
    HTREEITEM root = TreeView_GetRoot(tree);
    HTREEITEM documents = drv::TreeChildren(tree, root).back().handle;

    char docs[MAX_PATH] = {};
    LPITEMIDLIST pidl = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &pidl)));
    SHGetPathFromIDListA(pidl, docs);
    CoTaskMemFree(pidl);
    std::string docsPath = std::string(docs) + (docs[strlen(docs) - 1] == '\\' ? "" : "\\");

    struct Case {
        HTREEITEM item;
        std::string text;
        int32_t state;
    };
    const Case kCases[] = {
        {nullptr, "", 0},
        {root, "", 2},
        {t, "T:\\", 2},
        {Drive(tree, 'C'), "C:\\", 2},
        {alpha, "T:\\Alpha\\", 2},
        {Child(tree, alpha, "a.pb"), "T:\\Alpha\\a.pb", 1},
        {Child(tree, t, "z.pbi"), "T:\\z.pbi", 1},
        {Child(tree, t, "d.pb"), "T:\\d.pb\\", 2},
        {documents, docsPath, 2},
    };
    for (const Case& c : kCases) {
        TreeView_SelectItem(tree, c.item);
        EXPECT_EQ(host.Text(), c.text) << c.text;
        EXPECT_EQ(host.State(), c.state) << c.text;
    }
}

TEST_F(ExplorerTree, FoldersPastThePathLimitAreListedButNotRead) {
    Host host;
    HWND tree = host.Tree();
    HTREEITEM item = Drive(tree, 'T');
    std::string path = "T:\\";
    for (const std::string& name : {std::string("Deep"), std::string(120, 'a'), std::string(120, 'b')}) {
        Expand(tree, item);
        item = Child(tree, item, name);
        ASSERT_TRUE(item);
        EXPECT_TRUE(drv::ReadTreeItem(tree, item).hasChildren) << name;
        path += name + "\\";
    }
    ASSERT_EQ(path, "T:\\" + deep_);
    Expand(tree, item);  // 250 characters: still read
    HTREEITEM tooDeep = Child(tree, item, std::string(20, 'c'));
    HTREEITEM longFile = Child(tree, item, std::string(30, 'f') + ".pb");
    ASSERT_TRUE(tooDeep && longFile);
    EXPECT_FALSE(drv::ReadTreeItem(tree, tooDeep).hasChildren) << "271 characters: its contents are not read";
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(tooDeep));
    drv::Pump();
    EXPECT_TRUE(drv::TreeChildren(tree, tooDeep).empty());

    // The paths themselves come out whole.
    TreeView_SelectItem(tree, tooDeep);
    EXPECT_EQ(host.Text(), path + std::string(20, 'c') + "\\");
    TreeView_SelectItem(tree, longFile);
    EXPECT_EQ(host.Text(), path + std::string(30, 'f') + ".pb");
    EXPECT_EQ(host.State(), 1);
}

TEST_F(ExplorerTree, PostsOneCommandPerUserActionToTheTopLevelWindow) {
    Host host;
    HWND tree = host.Tree();
    ASSERT_TRUE(drv::FocusWindow(host.Window()));
    HTREEITEM t = Drive(tree, 'T');
    Expand(tree, t);
    HTREEITEM onlyPb = Child(tree, t, "OnlyPb");

    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<int> subtypes;
    };
    auto click = [&](const char* name, bool twice) {
        POINT p = drv::TreeItemPoint(tree, Child(tree, t, name));
        drv::ClickAt(p.x, p.y, twice);
    };
    auto rightClick = [&](const char* name, bool twice) {
        POINT p = drv::TreeItemPoint(tree, Child(tree, t, name));
        drv::RightClickAt(p.x, p.y, twice);
    };
    const Step kSteps[] = {
        {"click on a file", [&] { click("b.pb", false); }, {0, 0x300}},
        {"click on the selected file", [&] { click("b.pb", false); }, {0}},
        {"right click", [&] { rightClick("c.pb", false); }, {1}},
        {"double-click on a file", [&] { click("c.pb", true); }, {0, 0x300, 2}},
        {"Enter on the tree", [&] { drv::KeyTap(VK_RETURN); }, {}},
        {"double-click on a folder", [&] { click("OnlyPb", true); }, {0, 0x300, 2}},
        {"selection from the program", [&] { TreeView_SelectItem(tree, t); }, {0x300}},
    };
    for (const Step& s : kSteps) {
        drv::Pump();
        gCommands.clear();
        s.act();
        // What the step brings, and nothing more for a while.
        drv::WaitFor([&] { return gCommands.size() >= s.subtypes.size(); }, 3000);
        drv::Stays([&] { return gCommands.size() == s.subtypes.size(); }, 150);
        std::vector<int> got;
        for (const Command& c : gCommands) {
            got.push_back(c.subtype);
            EXPECT_EQ(c.low, 0) << s.what;
            EXPECT_EQ(c.source, tree) << s.what;
        }
        EXPECT_EQ(got, s.subtypes) << s.what;
    }
    EXPECT_EQ(GetFocus(), tree);
    EXPECT_TRUE(drv::ReadTreeItem(tree, onlyPb).expanded) << "a double-click opens a folder";
    EXPECT_EQ(drv::TreeNames(tree, onlyPb), std::vector<std::string>{"a.pb"});
}

TEST_F(ExplorerTree, TranslatesEachNotificationOfTheControl) {
    // Wine's tree-view never reports a right double-click: every code is
    // also handed to the container the way the control hands it over.
    Host host;
    HWND tree = host.Tree();
    struct Case {
        UINT code;
        std::vector<int> subtypes;
    };
    const Case kCases[] = {
        {UINT(NM_CLICK), {0}},         {UINT(NM_RCLICK), {1}},        {UINT(NM_DBLCLK), {2}},
        {UINT(NM_RDBLCLK), {3}},       {UINT(TVN_SELCHANGEDA), {0x300}}, {UINT(TVN_SELCHANGEDW), {0x300}},
        {UINT(NM_RETURN), {}},         {UINT(NM_SETFOCUS), {}},       {UINT(NM_KILLFOCUS), {}},
        {UINT(TVN_SELCHANGINGA), {}},  {UINT(TVN_KEYDOWN), {}},       {UINT(NM_CUSTOMDRAW), {}},
    };
    for (const Case& c : kCases) {
        gCommands.clear();
        NMTREEVIEWA nm{};
        nm.hdr.hwndFrom = tree;
        nm.hdr.idFrom = 0;
        nm.hdr.code = c.code;
        SendMessageA(GetParent(tree), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
        drv::Pump();
        std::vector<int> got;
        for (const Command& cmd : gCommands) got.push_back(cmd.subtype);
        EXPECT_EQ(got, c.subtypes) << "notification " << int(c.code);
    }
    // A notification from a window that is no tree of ours is passed by.
    gCommands.clear();
    NMHDR other{host.Window(), 0, UINT(NM_CLICK)};
    SendMessageA(GetParent(tree), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
    drv::Pump();
    EXPECT_TRUE(gCommands.empty());
}

TEST_F(ExplorerTree, VolumeChangesResetDriveItems) {
    Host host;
    HWND tree = host.Tree();
    HTREEITEM t = Drive(tree, 'T');
    Expand(tree, t);
    const std::vector<std::string> names = drv::TreeNames(tree, t);
    const DWORD tBit = 1u << 19;

    // Not a volume, or another drive: nothing happens.
    SendVolumeChange(host.Window(), DBT_DEVICEREMOVECOMPLETE, tBit, DBT_DEVTYP_PORT);
    SendVolumeChange(host.Window(), DBT_DEVICEREMOVECOMPLETE, 1u << 2);
    EXPECT_EQ(drv::ReadTreeItem(tree, t).param, 0xFF13);
    EXPECT_EQ(drv::TreeNames(tree, t), names);

    SendVolumeChange(host.Window(), DBT_DEVICEREMOVECOMPLETE, tBit | 1u << 1);
    drv::TreeItem after = drv::ReadTreeItem(tree, t);
    EXPECT_EQ(after.param, 19) << "unread again";
    EXPECT_TRUE(after.hasChildren);
    EXPECT_FALSE(after.expanded);
    EXPECT_TRUE(drv::TreeChildren(tree, t).empty());
    Expand(tree, t);
    EXPECT_EQ(drv::TreeNames(tree, t), names) << "read afresh";

    // A volume arriving for a drive still listed: read again, never twice over.
    SendVolumeChange(host.Window(), DBT_DEVICEARRIVAL, tBit);
    EXPECT_EQ(drv::ReadTreeItem(tree, t).param, 19);
    Expand(tree, t);
    EXPECT_EQ(drv::TreeNames(tree, t), names);
}

TEST_F(ExplorerTree, GadgetRecordFollowsTheControlsLife) {
    HWND window = NewHostWindow();
    auto host = std::make_unique<Host>(0, window);
    HWND first = host->Tree();
    HWND container = GetParent(first);
    GadgetListUse(window);
    HWND second = CreateExplorerTree(0, 10, 10, 200, 200, "*.pb", 0);
    ASSERT_TRUE(second);
    EXPECT_FALSE(IsWindow(first)) << "a new gadget 0 replaces the old one";
    EXPECT_FALSE(IsWindow(container));
    EXPECT_FALSE(GetWindowLongA(second, GWL_STYLE) & TVS_SHOWSELALWAYS);
    ASSERT_TRUE(GadgetFind(0));
    EXPECT_EQ(GadgetFind(0)->handle, second);

    HWND third = CreateExplorerTree(7, 220, 10, 200, 200, "", 0);
    ASSERT_TRUE(third);
    GadgetFind(0)->ops->free(0);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(GadgetFind(0)) << "the number is free again";
    ASSERT_TRUE(GadgetFind(7));

    // With the window gone, its tree's record is gone, and the next tree
    // hooks its own window.
    host.reset();
    DestroyWindow(window);
    EXPECT_FALSE(GadgetFind(7));
    Host again(3);
    TreeView_SelectItem(again.Tree(), Drive(again.Tree(), 'T'));
    drv::Pump();
    ASSERT_EQ(gCommands.size(), 1u);
    EXPECT_EQ(gCommands[0].source, again.Tree());
    EXPECT_EQ(gCommands[0].low, 3) << "the tree's own gadget number";
    EXPECT_EQ(again.Text(), "T:\\");
}

// The insert-disk prompt needs a drive that is not ready: a folder that the
// preloaded Linux shim makes answer free-space queries with EIO. The test
// runs itself again under the shim (Wine passes only the Unix environment on
// to its processes).
constexpr char kMarker[] = "tw-not-ready";

// Opens the drive's item and waits for the prompt that this shows.
HWND ExpandToPrompt(HWND tree, HTREEITEM drive) {
    Expand(tree, drive);
    return drv::WaitWindow(GetCurrentProcessId(), "#32770", 3000);
}

void PromptScenario(const std::string& folder) {
    Host host;
    HWND tree = host.Tree();
    HTREEITEM u = Drive(tree, 'U');
    ASSERT_TRUE(u);
    const DWORD uBit = 1u << 20;

    HWND prompt = ExpandToPrompt(tree, u);
    ASSERT_TRUE(prompt) << "the prompt shows";
    EXPECT_EQ(drv::WindowText(GetDlgItem(prompt, 12291)), "Please insert a disk into drive U:");
    EXPECT_TRUE(GetDlgItem(prompt, 12297));
    EXPECT_EQ(GetWindow(prompt, GW_OWNER), host.Window());
    EXPECT_FALSE(IsWindowEnabled(tree));
    EXPECT_EQ(drv::ReadTreeItem(tree, u).param, 20) << "left unread";
    EXPECT_TRUE(drv::TreeChildren(tree, u).empty());

    Expand(tree, u);
    EXPECT_EQ(drv::TopWindows(GetCurrentProcessId(), "#32770").size(), 1u) << "one prompt per tree";

    drv::PressButton(prompt, IDCANCEL);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(prompt); }, 3000)) << "Cancel closes it";
    EXPECT_TRUE(IsWindowEnabled(tree));

    prompt = ExpandToPrompt(tree, u);
    ASSERT_TRUE(prompt) << "the next expansion tries again";

    // A prompt that goes without being closed (its owner's destruction takes
    // it along that way) still gives the tree back.
    DestroyWindow(prompt);
    EXPECT_TRUE(IsWindowEnabled(tree)) << "destroyed outright";
    prompt = ExpandToPrompt(tree, u);
    ASSERT_TRUE(prompt) << "and a prompt opens again";
    SendVolumeChange(host.Window(), DBT_DEVICEARRIVAL, 1u << 19);
    EXPECT_TRUE(IsWindow(prompt)) << "another drive's arrival";

    ASSERT_TRUE(DeleteFileA((folder + kMarker).c_str()));
    SendVolumeChange(host.Window(), DBT_DEVICEARRIVAL, uBit);
    EXPECT_FALSE(IsWindow(prompt)) << "the medium's arrival closes the prompt";
    EXPECT_TRUE(IsWindowEnabled(tree));
    drv::TreeItem refreshed = drv::ReadTreeItem(tree, u);
    EXPECT_EQ(refreshed.param, 20);
    EXPECT_TRUE(refreshed.hasChildren);
    Expand(tree, u);
    EXPECT_EQ(drv::TreeNames(tree, u), std::vector<std::string>{"disk.pb"});

    ASSERT_TRUE(drv::WriteBytes(folder + kMarker, ""));
    SendVolumeChange(host.Window(), DBT_DEVICEREMOVECOMPLETE, uBit);
    drv::TreeItem removed = drv::ReadTreeItem(tree, u);
    EXPECT_EQ(removed.param, 20);
    EXPECT_TRUE(removed.hasChildren);
    EXPECT_FALSE(removed.expanded);
    EXPECT_TRUE(drv::TreeChildren(tree, u).empty()) << "the removed medium's folders are gone";

    // A tree that goes takes its prompt with it.
    prompt = ExpandToPrompt(tree, u);
    ASSERT_TRUE(prompt);
    GadgetFind(0)->ops->free(0);
    EXPECT_FALSE(IsWindow(prompt));
}

TEST_F(ExplorerTree, InsertDiskPromptForADriveThatIsNotReady) {
    if (drv::Env("TW_UNDER_SHIM") == "1") {
        PromptScenario(drv::Env("TW_NOT_READY_FOLDER"));
        return;
    }
    std::string folder = drv::FreshFolder("tree-not-ready");
    ASSERT_TRUE(drv::WriteBytes(folder + "disk.pb", "x"));
    ASSERT_TRUE(drv::WriteBytes(folder + kMarker, ""));
    ASSERT_TRUE(drv::MapDrive('U', folder));
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string shim = drv::Env("TW_TOOLS") + "/$LIB/libtw_not_ready.so";
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    long code = drv::RunUnix("LD_PRELOAD='" + shim + "' TW_UNDER_SHIM=1 TW_NOT_READY_FOLDER='" + folder +
                                 "' " + drv::Env("TW_WINE") + " '" + self + "' --gtest_filter=" + test->test_suite_name() + "." +
                                 test->name(),
                             120000);
    drv::UnmapDrive('U');
    EXPECT_EQ(code, 0) << "the run under the shim failed (its output is above)";
}

}  // namespace
