// The project store's file operations, in this process, in a fresh folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "driver/driver.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/files.h"

namespace {

class Store : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = drv::FreshFolder(std::string("store-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        CreateDirectoryA("Data", nullptr);
    }
    std::string File() { return drv::Bytes(folder_ + "Data\\Projects.twp"); }
    static bool Exists(const std::string& name) {
        FileBytes file;
        return ReadProjectList(file) == ListRead::kRead && FindProjectLine(file.Text(), name);
    }
    static StoreResult Add(const std::string& name, const std::vector<std::string>& paths,
                           const std::string& editor = "") {
        return AddProject(name, editor, paths).list;
    }
    void Put(const std::string& bytes) { ASSERT_TRUE(drv::WriteBytes(folder_ + "Data\\Projects.twp", bytes)); }
    std::string folder_;
};

TEST_F(Store, AppendAndLookUp) {
    EXPECT_FALSE(Exists("demo")) << "no file: no projects";
    ASSERT_EQ(Add("Demo", {"C:\\src\\main.pb", "C:\\src\\inc.pbi"}, "C:\\Ed\\PureBasic.exe"), StoreResult::kDone);
    EXPECT_EQ(File(), "Demo\xBF" "C:\\Ed\\PureBasic.exe \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" \r\n");
    EXPECT_TRUE(Exists("DEMO"));
    EXPECT_FALSE(Exists("dem"));

    Put("Hand edited\xBF \"a.pb\" ");  // last line without its line end
    ASSERT_EQ(Add("Next", {"b.pb"}), StoreResult::kDone);
    EXPECT_EQ(File(), "Hand edited\xBF \"a.pb\" \r\nNext\xBF \"b.pb\" \r\n");
    EXPECT_TRUE(Exists("hand edited"));
    EXPECT_TRUE(Exists("next"));
}

// The store makes its folder; a file in its place is named.
TEST_F(Store, AppendMakesTheDataFolder) {
    RemoveDirectoryA("Data");
    EXPECT_EQ(Add("Demo", {"a.pb"}), StoreResult::kDone);
    EXPECT_TRUE(Exists("demo"));
    ASSERT_TRUE(drv::WriteBytes(folder_ + "Data.new", "") && DeleteFileA((folder_ + "Data\\Projects.twp").c_str()));
    drv::RemoveTree(folder_ + "Data");
    ASSERT_TRUE(MoveFileA((folder_ + "Data.new").c_str(), (folder_ + "Data").c_str()));
    EXPECT_EQ(Add("Demo", {"a.pb"}), StoreResult::kInTheWay);
    EXPECT_EQ(StorePathInTheWay(), "Data");
}

TEST_F(Store, RemoveTakesWholeLinesAndKeepsTheRest) {
    Put("MyDemo\xBF \"a\" \r\nDemo\xBF \"a\" \nOther\xBF \"c\" \rDEMO\xBF \"A\" ");
    EXPECT_EQ(RemoveProject("demo"), StoreResult::kDone);
    EXPECT_EQ(File(), "MyDemo\xBF \"a\" \r\nOther\xBF \"c\" \r");
    EXPECT_EQ(RemoveProject("demo"), StoreResult::kNotFound);
    EXPECT_EQ(File(), "MyDemo\xBF \"a\" \r\nOther\xBF \"c\" \r");

    Put("Only\xBF \"x\" \r\n");
    EXPECT_EQ(RemoveProject("only"), StoreResult::kDone);
    EXPECT_TRUE(drv::Exists(folder_ + "Data\\Projects.twp"));
    EXPECT_EQ(File(), "") << "removing the only project leaves an empty file";
    EXPECT_FALSE(drv::Exists(folder_ + "Data\\Projects.twp.new"));
}

TEST_F(Store, LargeFilesHaveNoLimit) {
    std::string big;
    for (int i = 0; big.size() < 5'000'000; ++i) big += "P" + std::to_string(i) + "\xBF" "C:\\ed.exe \"C:\\x.pb\" \r\n";
    Put(big);
    ASSERT_EQ(Add("Last", {"l.pb"}), StoreResult::kDone);
    EXPECT_TRUE(Exists("last"));
    EXPECT_EQ(RemoveProject("p0"), StoreResult::kDone);
    EXPECT_EQ(File().size(), big.size() - std::string("P0\xBF" "C:\\ed.exe \"C:\\x.pb\" \r\n").size() +
                                 std::string("Last\xBF \"l.pb\" \r\n").size());
}

TEST_F(Store, RandomBytesAreReadAndKept) {
    std::string bytes;
    unsigned seed = 7;
    for (int i = 0; i < 100000; ++i) bytes += char((seed = seed * 1103515245u + 12345u) >> 16);
    Put(bytes);
    Exists("x");
    EXPECT_EQ(RemoveProject("no such project \x01"), StoreResult::kNotFound);
    EXPECT_EQ(File(), bytes) << "a failed removal leaves the file as it was";
}

TEST_F(Store, AFailedRewriteKeepsTheOldFileWhole) {
    const std::string file = "A\xBF \r\nDemo\xBF \"a\" \r\n";
    Put(file);
    // The new content cannot be written beside the file: the old one stays.
    ASSERT_TRUE(CreateDirectoryA("Data\\Projects.twp.new", nullptr));
    EXPECT_EQ(RemoveProject("demo"), StoreResult::kInTheWay) << "and the failure is told";
    EXPECT_EQ(File(), file);
}

// Every rewrite keeps the bytes it replaces as Projects.twp.bak, so a
// mistaken deletion can be undone by hand.
TEST_F(Store, EachRewriteKeepsTheFileBeforeItAsBackup) {
    const std::string bak = folder_ + "Data\\Projects.twp.bak";
    ASSERT_EQ(Add("First", {"a.pb"}), StoreResult::kDone);
    EXPECT_FALSE(drv::Exists(bak)) << "no file before: nothing to keep";
    const std::string two = "Keep\xBF \"k\" \rDemo\xBF \"d\" \r\n";  // as edited by hand
    Put(two);
    ASSERT_EQ(RemoveProject("demo"), StoreResult::kDone);
    EXPECT_EQ(drv::Bytes(bak), two);
    const std::string one = File();
    ASSERT_EQ(Add("Next", {"n.pb"}), StoreResult::kDone);
    EXPECT_EQ(drv::Bytes(bak), one) << "one generation, replaced each time";

    // A backup that cannot be written stops the change.
    const std::string three = File();
    SetFileAttributesA(bak.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RemoveProject("next"), StoreResult::kWriteProtected);
    SetFileAttributesA(bak.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(DeleteFileA(bak.c_str()) && CreateDirectoryA(bak.c_str(), nullptr));
    EXPECT_EQ(Add("Other", {"o.pb"}), StoreResult::kInTheWay);
    EXPECT_EQ(File(), three);
    EXPECT_EQ(drv::Listing(folder_ + "Data\\"),
              (std::vector<std::string>{"Projects.lock", "Projects.twp", "Projects.twp.bak"}))
        << "no temporary file is left";
}

// A change killed at any moment leaves the list old or new, the backup a
// whole earlier list, and every other project's shortcut as it was. The
// tool creates, renames, changes and deletes one project over and over;
// TW_KILL_ROUNDS sets how often it is killed (16 by default). How often the
// project being changed is left with a shortcut that does not match its
// line is counted and printed.
TEST_F(Store, KilledChangesNeverLoseTheList) {
    std::string base;
    for (int i = 0; i < 20000; ++i) base += "Keep " + std::to_string(i) + "\xBF" "C:\\ed.exe \"C:\\k.pb\" \r\n";
    const std::string states[] = {base, base + "Churn\xBF" "C:\\ed.exe \"C:\\churn.pb\" \r\n",
                                  base + "Churned\xBF" "C:\\ed.exe \"C:\\churn.pb\" \r\n",
                                  base + "Churned\xBF" "C:\\ed.exe \"C:\\churned.pb\" \r\n"};
    auto known = [&](const std::string& file) { return std::ranges::find(states, file) != std::end(states); };
    Put(base);
    // An earlier change's backup: a kill just after the first list is placed
    // leaves this one standing.
    ASSERT_TRUE(drv::WriteBytes(folder_ + "Data\\Projects.twp.bak", base));
    ASSERT_EQ(CreateProjectShortcut("Keep 7"), ShortcutResult::kWritten);
    const std::string keep = drv::Bytes(folder_ + "Projects\\Keep 7.lnk");
    const int rounds = drv::Env("TW_KILL_ROUNDS").empty() ? 16 : std::atoi(drv::Env("TW_KILL_ROUNDS").c_str());
    int mismatched = 0;
    for (int round = 0; round < rounds; ++round) {
        drv::Process p = drv::Start(drv::ToolPath("store_tool.exe"), "", folder_);
        ASSERT_TRUE(p.Started());
        // Once the tool is churning, kill it at a different moment each round.
        ASSERT_TRUE(drv::WaitFor([&] { return File() != base; }, 10000));
        drv::Pause(DWORD((round * 7) % 53));
        p.Kill();
        const std::string now = File();
        ASSERT_TRUE(known(now)) << "round " << round << ": " << now.size() << " bytes";
        ASSERT_TRUE(known(drv::Bytes(folder_ + "Data\\Projects.twp.bak"))) << "round " << round;
        ASSERT_EQ(drv::Bytes(folder_ + "Projects\\Keep 7.lnk"), keep) << "round " << round;
        // The shortcuts of the project being changed: one for its name, if any.
        const bool churn = drv::Exists(folder_ + "Projects\\Churn.lnk");
        const bool churned = drv::Exists(folder_ + "Projects\\Churned.lnk");
        const bool matches = now == states[0]   ? !churn && !churned
                             : now == states[1] ? churn && !churned
                                                : !churn && churned;
        mismatched += !matches;
        // The next round starts from the list without the project.
        RemoveProject("churn");
        RemoveProject("churned");
    }
    std::printf("%d kills: list and backup always whole; the changed project's shortcut did not match its line "
                "%d times\n", rounds, mismatched);
    EXPECT_EQ(Add("After", {"a.pb"}), StoreResult::kDone) << "a killed copy holds no lock";
}

// Two copies of the program changing the list at once lose nothing: one
// creates 200 projects and deletes every other one, the other creates 100,
// renames each and replaces its files, interleaved (the tool checks each
// result, and that no read sees half a file).
TEST_F(Store, TwoCopiesAtOnceLoseNothing) {
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, "TwStoreGo");
    ASSERT_TRUE(go);
    drv::Process a = drv::Start(drv::ToolPath("store_tool.exe"), "A 200", folder_);
    drv::Process b = drv::Start(drv::ToolPath("store_tool.exe"), "B 100 edit", folder_);
    ASSERT_TRUE(a.Started() && b.Started());
    SetEvent(go);
    EXPECT_EQ(a.Wait(240000), 0);
    EXPECT_EQ(b.Wait(240000), 0);
    CloseHandle(go);
    std::vector<std::string> lines, expected;
    std::string file = File();
    for (size_t at = 0, end; at < file.size(); at = end + 2) {
        end = std::min(file.find("\r\n", at), file.size());
        lines.push_back(file.substr(at, end - at));
    }
    for (int i = 1; i < 200; i += 2) {
        const std::string name = "A " + std::to_string(i);
        expected.push_back(name + "\xBF" "C:\\ed.exe \"C:\\" + name + ".pb\" ");
    }
    for (int i = 0; i < 100; ++i)
        expected.push_back("B " + std::to_string(i) + " renamed\xBF" "C:\\ed.exe \"C:\\B " + std::to_string(i) +
                           " new.pb\" ");
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(file.ends_with("\r\n"));
}

}  // namespace
