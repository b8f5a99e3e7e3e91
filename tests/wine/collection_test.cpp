// The file collection on the real program: files picked in the folder tree
// (gadget 0) gathered in the file list (gadget 1) with "->" or a double-click,
// and taken out again with "<-" or a double-click on an entry.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "driver/program.h"
#include "driver/remote_controls.h"

namespace {

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
        ASSERT_TRUE(app_.Start());
        tree_ = app_.Tree();
        files_ = app_.FileList();
        container_ = GetParent(tree_);
        ASSERT_EQ(drv::ClassName(container_), "ExplorerTree_ParentClass");
        ASSERT_EQ(GetParent(container_), app_.window);
        root_ = TreeView_GetRoot(tree_);
        drive_t_ = drv::TreeDrive(tree_, 'T');
        ASSERT_TRUE(drive_t_);
        SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(drive_t_));
        src_ = drv::TreeChild(tree_, drive_t_, "Src").handle;
        ASSERT_TRUE(src_);
        SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(src_));
    }

    HTREEITEM InSrc(const std::string& name) { return drv::TreeChild(tree_, src_, name).handle; }
    std::vector<std::string> Entries() { return drv::ListBoxItems(files_); }
    int Selected() { return drv::ListBoxSelected(files_); }

    // Every action goes through the program's queue in the order given:
    // posted selections and button presses keep their order.
    void Select(HTREEITEM item) { PostMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }
    void Press(int button) { PostMessageA(app_.Gadget(button), BM_CLICK, 0, 0); }
    // The list comes to hold `n` entries and still does once every action
    // posted so far is handled.
    bool Holds(size_t n) {
        return drv::WaitFor([&] { return Entries().size() == n; }, 5000) && app_.Flush() && Entries().size() == n;
    }

    static std::string drive_;
    drv::Program app_{"collect"};
    HWND container_ = nullptr, tree_ = nullptr, files_ = nullptr;
    HTREEITEM root_ = nullptr, drive_t_ = nullptr, src_ = nullptr;
};
std::string Collection::drive_;

TEST_F(Collection, TreeSitsInTheMainWindowAsGadgetZero) {
    EXPECT_EQ(drv::RectInParent(container_), (RECT{20, 30, 20 + 240, 30 + 140}));
    EXPECT_EQ(GetDlgCtrlID(tree_), 0);
    EXPECT_TRUE(GetWindowLongA(tree_, GWL_STYLE) & TVS_SHOWSELALWAYS);
    EXPECT_TRUE(drv::ReadTreeItem(tree_, root_).expanded);
    EXPECT_FALSE(TreeView_GetSelection(tree_));
    // The pattern list "*.pbi;*.pb": folders, then the .pbi files, then the .pb files.
    EXPECT_EQ(drv::TreeNames(tree_, src_), (std::vector<std::string>{"Sub", "inc.pbi", "main.pb"}));
    EXPECT_TRUE(drv::TreeChild(tree_, src_, "Sub").hasChildren);
}

TEST_F(Collection, AddsOnlyFilesAndTakesEntriesOutAgain) {
    // "->" with nothing, the root, a drive, a folder or "My Documents"
    // selected adds nothing; the file that follows is the only entry.
    Press(kGadgetAddFile);
    for (HTREEITEM item : {root_, drive_t_, src_, drv::TreeChildren(tree_, root_).back().handle}) {
        Select(item);
        Press(kGadgetAddFile);
    }
    Select(InSrc("main.pb"));
    Press(kGadgetAddFile);
    ASSERT_TRUE(Holds(1));
    EXPECT_EQ(Entries()[0], drv::FileListRow("T:\\Src\\main.pb"));
    EXPECT_EQ(Selected(), 0);

    // A double-click on a file adds it.
    ASSERT_TRUE(app_.ClickAtFor(drv::TreeItemPoint(tree_, InSrc("inc.pbi")), true,
                                [&] { return Entries().size() == 2; }));
    ASSERT_TRUE(Holds(2));
    EXPECT_EQ(Entries()[1], drv::FileListRow("T:\\Src\\inc.pbi"));
    EXPECT_EQ(Selected(), 1);
    drv::Screenshot("collect");

    // A double-click on a folder opens it and adds nothing; the same file
    // twice makes two entries.
    HTREEITEM sub = InSrc("Sub");
    ASSERT_TRUE(app_.ClickAtFor(drv::TreeItemPoint(tree_, sub), true,
                                [&] { return drv::ReadTreeItem(tree_, sub).expanded; }));
    Select(InSrc("main.pb"));
    Press(kGadgetAddFile);
    ASSERT_TRUE(Holds(3));
    EXPECT_EQ(Entries()[2], Entries()[0]);
    EXPECT_EQ(Selected(), 2);

    // "<-" with the third selected: the second is selected next.
    Press(kGadgetRemoveFile);
    ASSERT_TRUE(Holds(2));
    EXPECT_EQ(Entries(), (std::vector<std::string>{drv::FileListRow("T:\\Src\\main.pb"),
                                                   drv::FileListRow("T:\\Src\\inc.pbi")}));
    EXPECT_EQ(Selected(), 1);
    // With the first selected: nothing is selected after.
    PostMessageA(files_, LB_SETCURSEL, 0, 0);
    Press(kGadgetRemoveFile);
    ASSERT_TRUE(Holds(1));
    EXPECT_EQ(Entries()[0], drv::FileListRow("T:\\Src\\inc.pbi"));
    EXPECT_EQ(Selected(), -1);
    // With nothing selected: nothing changes.
    Press(kGadgetRemoveFile);
    EXPECT_TRUE(Holds(1));

    // A double-click on an entry takes it out.
    ASSERT_TRUE(app_.ClickAtFor(drv::ListBoxItemPoint(files_, 0), true, [&] { return Entries().empty(); }));
    ASSERT_TRUE(Holds(0));
    // "<-" on the empty list changes nothing; the next add is the only entry.
    Press(kGadgetRemoveFile);
    Select(InSrc("inc.pbi"));
    Press(kGadgetAddFile);
    ASSERT_TRUE(Holds(1));
    EXPECT_EQ(Selected(), 0);
}

}  // namespace
