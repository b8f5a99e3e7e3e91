// The file collection on the real program: files picked in the folder tree
// (gadget 0) gathered in the file list (gadget 1) with "->" or a double-click,
// and taken out again with "<-" or a double-click on an entry.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "driver/driver.h"
#include "driver/remote_controls.h"

namespace {

const std::string kGap(100, ' ');
std::string Entry(const std::string& name, const std::string& path) { return name + kGap + path; }

std::vector<std::string> Entries(HWND list) { return drv::ListBoxItems(list); }
int Selected(HWND list) { return int(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

class Collection : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        drive_ = drv::FreshFolder("collect-drive");
        for (const char* d : {"Src", "Src\\Sub", "Src\\Sub\\Deeper"}) CreateDirectoryA((drive_ + d).c_str(), nullptr);
        for (const char* f : {"Src\\main.pb", "Src\\inc.pbi", "Src\\notes.txt", "Src\\Sub\\deep.pb"})
            drv::WriteBytes(drive_ + f, "x");
        ASSERT_TRUE(drv::MapDrive('T', drive_));
    }
    static void TearDownTestSuite() { drv::UnmapDrive('T'); }

    void SetUp() override {
        std::string folder = drv::FreshFolder("collect");
        program_ = drv::Start(drv::InstallProgram(folder), "", folder);
        ASSERT_TRUE(program_.Started());
        main_ = drv::WaitWindow(program_.Id(), "WindowClass_0");
        ASSERT_TRUE(main_);
        // The window shows before its gadgets are made.
        ASSERT_TRUE(drv::WaitFor([&] {
            container_ = FindWindowExA(main_, nullptr, "ExplorerTree_ParentClass", nullptr);
            tree_ = FindWindowExA(container_, nullptr, WC_TREEVIEWA, nullptr);
            files_ = GetDlgItem(main_, 1);
            return tree_ && files_ && GetDlgItem(main_, 10);
        }));
        root_ = TreeView_GetRoot(tree_);
        drive_t_ = DriveItem('T');
        ASSERT_TRUE(drive_t_);
        SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(drive_t_));
        src_ = drv::TreeChild(tree_, drive_t_, "Src").handle;
        ASSERT_TRUE(src_);
        SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(src_));
    }
    void TearDown() override {
        if (HasFailure()) drv::Screenshot(::testing::UnitTest::GetInstance()->current_test_info()->name());
        PostMessageA(main_, WM_CLOSE, 0, 0);
        if (program_.Wait(5000) < 0) program_.Kill();
    }

    HTREEITEM DriveItem(char letter) {
        for (const drv::TreeItem& c : drv::TreeChildren(tree_, root_))
            if ((c.param & 0xFF) == unsigned(letter - 'A')) return c.handle;
        return nullptr;
    }
    HTREEITEM InSrc(const std::string& name) { return drv::TreeChild(tree_, src_, name).handle; }

    // Every action goes through the program's queue in the order given:
    // posted selections and button presses keep their order.
    void Select(HTREEITEM item) { PostMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }
    void Press(int button) { PostMessageA(GetDlgItem(main_, button), BM_CLICK, 0, 0); }
    bool WaitCount(size_t n) {
        bool ok = drv::WaitFor([&] { return Entries(files_).size() == n; }, 5000);
        Sleep(100);  // and no more come
        return ok && Entries(files_).size() == n;
    }

    static std::string drive_;
    drv::Process program_;
    HWND main_ = nullptr, container_ = nullptr, tree_ = nullptr, files_ = nullptr;
    HTREEITEM root_ = nullptr, drive_t_ = nullptr, src_ = nullptr;
};
std::string Collection::drive_;

constexpr int kAdd = 7, kRemove = 6;

TEST_F(Collection, TreeSitsInTheMainWindowAsGadgetZero) {
    RECT r = drv::WindowRectOf(container_);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 240);
    EXPECT_EQ(r.bottom - r.top, 140);
    EXPECT_EQ(GetDlgCtrlID(tree_), 0);
    EXPECT_TRUE(GetWindowLongA(tree_, GWL_STYLE) & TVS_SHOWSELALWAYS);
    EXPECT_TRUE(drv::ReadTreeItem(tree_, root_).expanded);
    EXPECT_FALSE(TreeView_GetSelection(tree_));
    // The pattern list "*.pbi;*.pb": folders, then the .pbi files, then the .pb files.
    std::vector<std::string> names;
    for (const drv::TreeItem& c : drv::TreeChildren(tree_, src_)) names.push_back(c.text);
    EXPECT_EQ(names, (std::vector<std::string>{"Sub", "inc.pbi", "main.pb"}));
    EXPECT_TRUE(drv::TreeChild(tree_, src_, "Sub").hasChildren);
}

TEST_F(Collection, AddsOnlyFilesAndTakesEntriesOutAgain) {
    // "->" with nothing, the root, a drive, a folder or "My Documents"
    // selected adds nothing; the file that follows is the only entry.
    Press(kAdd);
    for (HTREEITEM item : {root_, drive_t_, src_, drv::TreeChildren(tree_, root_).back().handle}) {
        Select(item);
        Press(kAdd);
    }
    Select(InSrc("main.pb"));
    Press(kAdd);
    ASSERT_TRUE(WaitCount(1));
    EXPECT_EQ(Entries(files_)[0], Entry("main.pb", "T:\\Src\\main.pb"));
    EXPECT_EQ(Selected(files_), 0);

    // A double-click on a file adds it.
    ASSERT_TRUE(drv::FocusWindow(main_));
    POINT p = drv::TreeItemPoint(tree_, InSrc("inc.pbi"));
    drv::ClickAt(p.x, p.y, true);
    ASSERT_TRUE(WaitCount(2));
    EXPECT_EQ(Entries(files_)[1], Entry("inc.pbi", "T:\\Src\\inc.pbi"));
    EXPECT_EQ(Selected(files_), 1);
    drv::Screenshot("collect");

    // A double-click on a folder opens it and adds nothing; the same file
    // twice makes two entries.
    Sleep(GetDoubleClickTime() + 50);
    HTREEITEM sub = InSrc("Sub");
    p = drv::TreeItemPoint(tree_, sub);
    drv::ClickAt(p.x, p.y, true);
    ASSERT_TRUE(drv::WaitFor([&] { return drv::ReadTreeItem(tree_, sub).expanded; }, 5000));
    Select(InSrc("main.pb"));
    Press(kAdd);
    ASSERT_TRUE(WaitCount(3));
    EXPECT_EQ(Entries(files_)[2], Entries(files_)[0]);
    EXPECT_EQ(Selected(files_), 2);

    // "<-" with the third selected: the second is selected next.
    Press(kRemove);
    ASSERT_TRUE(WaitCount(2));
    EXPECT_EQ(Entries(files_), (std::vector<std::string>{Entry("main.pb", "T:\\Src\\main.pb"),
                                                          Entry("inc.pbi", "T:\\Src\\inc.pbi")}));
    EXPECT_EQ(Selected(files_), 1);
    // With the first selected: nothing is selected after.
    PostMessageA(files_, LB_SETCURSEL, 0, 0);
    Press(kRemove);
    ASSERT_TRUE(WaitCount(1));
    EXPECT_EQ(Entries(files_)[0], Entry("inc.pbi", "T:\\Src\\inc.pbi"));
    EXPECT_EQ(Selected(files_), -1);
    // With nothing selected: nothing changes.
    Press(kRemove);
    EXPECT_TRUE(WaitCount(1));

    // A double-click on an entry takes it out.
    Sleep(GetDoubleClickTime() + 50);
    p = drv::ListBoxItemPoint(files_, 0);
    drv::ClickAt(p.x, p.y, true);
    ASSERT_TRUE(WaitCount(0));
    // "<-" on the empty list changes nothing; the next add is the only entry.
    Press(kRemove);
    Select(InSrc("inc.pbi"));
    Press(kAdd);
    ASSERT_TRUE(WaitCount(1));
    EXPECT_EQ(Selected(files_), 0);
}

}  // namespace
