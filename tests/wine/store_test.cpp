// The project store's file operations, in this process, in a fresh folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/driver.h"
#include "projects/projects.h"

namespace {

class Store : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = drv::FreshFolder(std::string("store-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        CreateDirectoryA("Data", nullptr);
    }
    std::string File() { return drv::Bytes(folder_ + "Data\\Projects.twp"); }
    void Put(const std::string& bytes) { ASSERT_TRUE(drv::WriteBytes(folder_ + "Data\\Projects.twp", bytes)); }
    std::string folder_;
};

TEST_F(Store, AppendAndLookUp) {
    EXPECT_FALSE(ProjectExists("demo")) << "no file: no projects";
    ASSERT_EQ(AppendProjectLine("Demo", "C:\\Ed\\PureBasic.exe", {"C:\\src\\main.pb", "C:\\src\\inc.pbi"}),
              AppendResult::kAppended);
    EXPECT_EQ(File(), "Demo\xBF" "C:\\Ed\\PureBasic.exe \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" \r\n");
    EXPECT_TRUE(ProjectExists("DEMO"));
    EXPECT_FALSE(ProjectExists("dem"));

    Put("Hand edited\xBF \"a.pb\" ");  // last line without its line end
    ASSERT_EQ(AppendProjectLine("Next", "", {"b.pb"}), AppendResult::kAppended);
    EXPECT_EQ(File(), "Hand edited\xBF \"a.pb\" \r\nNext\xBF \"b.pb\" \r\n");
    EXPECT_TRUE(ProjectExists("hand edited"));
    EXPECT_TRUE(ProjectExists("next"));
}

TEST_F(Store, AppendWithoutDataFolderFails) {
    RemoveDirectoryA("Data");
    EXPECT_EQ(AppendProjectLine("Demo", "", {"a.pb"}), AppendResult::kFailed);
    EXPECT_FALSE(drv::Exists(folder_ + "Data"));
}

TEST_F(Store, RemoveTakesWholeLinesAndKeepsTheRest) {
    Put("MyDemo\xBF \"a\" \r\nDemo\xBF \"a\" \nOther\xBF \"c\" \rDEMO\xBF \"A\" ");
    EXPECT_EQ(RemoveProjectLines("demo"), RemoveResult::kRemoved);
    EXPECT_EQ(File(), "MyDemo\xBF \"a\" \r\nOther\xBF \"c\" \r");
    EXPECT_EQ(RemoveProjectLines("demo"), RemoveResult::kNotFound);
    EXPECT_EQ(File(), "MyDemo\xBF \"a\" \r\nOther\xBF \"c\" \r");

    Put("Only\xBF \"x\" \r\n");
    EXPECT_EQ(RemoveProjectLines("only"), RemoveResult::kRemoved);
    EXPECT_TRUE(drv::Exists(folder_ + "Data\\Projects.twp"));
    EXPECT_EQ(File(), "") << "removing the only project leaves an empty file";
    EXPECT_FALSE(drv::Exists(folder_ + "Data\\Projects.twp.new"));
}

TEST_F(Store, LargeFilesHaveNoLimit) {
    std::string big;
    for (int i = 0; big.size() < 5'000'000; ++i) big += "P" + std::to_string(i) + "\xBF" "C:\\ed.exe \"C:\\x.pb\" \r\n";
    Put(big);
    ASSERT_EQ(AppendProjectLine("Last", "", {"l.pb"}), AppendResult::kAppended);
    EXPECT_TRUE(ProjectExists("last"));
    EXPECT_EQ(RemoveProjectLines("p0"), RemoveResult::kRemoved);
    EXPECT_EQ(File().size(), big.size() - std::string("P0\xBF" "C:\\ed.exe \"C:\\x.pb\" \r\n").size() +
                                 std::string("Last\xBF \"l.pb\" \r\n").size());
}

TEST_F(Store, RandomBytesAreReadAndKept) {
    std::string bytes;
    unsigned seed = 7;
    for (int i = 0; i < 100000; ++i) bytes += char((seed = seed * 1103515245u + 12345u) >> 16);
    Put(bytes);
    ProjectExists("x");
    EXPECT_EQ(RemoveProjectLines("no such project \x01"), RemoveResult::kNotFound);
    EXPECT_EQ(File(), bytes) << "a failed removal leaves the file as it was";
}

TEST_F(Store, AFailedRewriteKeepsTheOldFileWhole) {
    const std::string file = "A\xBF \r\nDemo\xBF \"a\" \r\n";
    Put(file);
    // The new content cannot be written beside the file: the old one stays.
    ASSERT_TRUE(CreateDirectoryA("Data\\Projects.twp.new", nullptr));
    EXPECT_EQ(RemoveProjectLines("demo"), RemoveResult::kFailed) << "and the failure is told";
    EXPECT_EQ(File(), file);
}

// Every rewrite keeps the bytes it replaces as Projects.twp.bak, so a
// mistaken deletion can be undone by hand.
TEST_F(Store, EachRewriteKeepsTheFileBeforeItAsBackup) {
    const std::string bak = folder_ + "Data\\Projects.twp.bak";
    ASSERT_EQ(AppendProjectLine("First", "", {"a.pb"}), AppendResult::kAppended);
    EXPECT_FALSE(drv::Exists(bak)) << "no file before: nothing to keep";
    const std::string two = "Keep\xBF \"k\" \rDemo\xBF \"d\" \r\n";  // as edited by hand
    Put(two);
    ASSERT_EQ(RemoveProjectLines("demo"), RemoveResult::kRemoved);
    EXPECT_EQ(drv::Bytes(bak), two);
    const std::string one = File();
    ASSERT_EQ(AppendProjectLine("Next", "", {"n.pb"}), AppendResult::kAppended);
    EXPECT_EQ(drv::Bytes(bak), one) << "one generation, replaced each time";

    // A backup that cannot be written stops the change.
    const std::string three = File();
    SetFileAttributesA(bak.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RemoveProjectLines("next"), RemoveResult::kFailed);
    SetFileAttributesA(bak.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(DeleteFileA(bak.c_str()) && CreateDirectoryA(bak.c_str(), nullptr));
    EXPECT_EQ(AppendProjectLine("Other", "", {"o.pb"}), AppendResult::kFailed);
    EXPECT_EQ(File(), three);
    EXPECT_EQ(drv::Listing(folder_ + "Data\\"),
              (std::vector<std::string>{"Projects.lock", "Projects.twp", "Projects.twp.bak"}))
        << "no temporary file is left";
}

// A removal killed at any moment leaves the old or the new file, never less.
TEST_F(Store, KilledChangesNeverLoseTheList) {
    std::string base;
    for (int i = 0; i < 20000; ++i) base += "Keep " + std::to_string(i) + "\xBF" "C:\\ed.exe \"C:\\k.pb\" \r\n";
    const std::string with = base + "Churn\xBF" "C:\\ed.exe \"C:\\churn.pb\" \r\n";
    Put(with);
    for (int round = 0; round < 16; ++round) {
        drv::Process p = drv::Start(drv::ToolPath("store_tool.exe"), "", folder_);
        ASSERT_TRUE(p.Started());
        // Once the tool is churning, kill it at a different moment each round.
        ASSERT_TRUE(drv::WaitFor([&] { return File() == base; }, 10000));
        drv::Pause(DWORD((round * 7) % 23));
        p.Kill();
        std::string now = File();
        ASSERT_TRUE(now == base || now == with) << "round " << round << ": " << now.size() << " bytes";
    }
    EXPECT_EQ(AppendProjectLine("After", "", {"a.pb"}), AppendResult::kAppended) << "a killed copy holds no lock";
}

// Two copies of the program changing the list at once lose nothing: each
// creates 200 projects and deletes every other one, interleaved with the
// other (the tool checks each result, and that no read sees half a file).
TEST_F(Store, TwoCopiesAtOnceLoseNothing) {
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, "TwStoreGo");
    ASSERT_TRUE(go);
    drv::Process a = drv::Start(drv::ToolPath("store_tool.exe"), "A 200", folder_);
    drv::Process b = drv::Start(drv::ToolPath("store_tool.exe"), "B 200", folder_);
    ASSERT_TRUE(a.Started() && b.Started());
    SetEvent(go);
    EXPECT_EQ(a.Wait(120000), 0);
    EXPECT_EQ(b.Wait(120000), 0);
    CloseHandle(go);
    std::vector<std::string> lines, expected;
    std::string file = File();
    for (size_t at = 0, end; at < file.size(); at = end + 2) {
        end = std::min(file.find("\r\n", at), file.size());
        lines.push_back(file.substr(at, end - at));
    }
    for (const char* tag : {"A ", "B "})
        for (int i = 1; i < 200; i += 2) {
            const std::string name = tag + std::to_string(i);
            expected.push_back(name + "\xBF" "C:\\ed.exe \"C:\\" + name + ".pb\" ");
        }
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(file.ends_with("\r\n"));
}

}  // namespace
