// The project store's file operations, in this process, in a fresh folder.
#include <gtest/gtest.h>

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
    ASSERT_TRUE(AppendProjectLine("Demo", "C:\\Ed\\PureBasic.exe", {"C:\\src\\main.pb", "C:\\src\\inc.pbi"}));
    EXPECT_EQ(File(), "Demo\xBF" "C:\\Ed\\PureBasic.exe \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" \r\n");
    EXPECT_TRUE(ProjectExists("DEMO"));
    EXPECT_FALSE(ProjectExists("dem"));

    Put("Hand edited\xBF \"a.pb\" ");  // last line without its line end
    ASSERT_TRUE(AppendProjectLine("Next", "", {"b.pb"}));
    EXPECT_EQ(File(), "Hand edited\xBF \"a.pb\" \r\nNext\xBF \"b.pb\" \r\n");
    EXPECT_TRUE(ProjectExists("hand edited"));
    EXPECT_TRUE(ProjectExists("next"));
}

TEST_F(Store, AppendWithoutDataFolderFails) {
    RemoveDirectoryA("Data");
    EXPECT_FALSE(AppendProjectLine("Demo", "", {"a.pb"}));
    EXPECT_FALSE(drv::Exists(folder_ + "Data"));
}

TEST_F(Store, RemoveTakesWholeLinesAndKeepsTheRest) {
    Put("MyDemo\xBF \"a\" \r\nDemo\xBF \"a\" \nOther\xBF \"c\" \rDEMO\xBF \"A\" ");
    EXPECT_TRUE(RemoveProjectLines("demo"));
    EXPECT_EQ(File(), "MyDemo\xBF \"a\" \r\nOther\xBF \"c\" \r");
    EXPECT_FALSE(RemoveProjectLines("demo"));
    EXPECT_EQ(File(), "MyDemo\xBF \"a\" \r\nOther\xBF \"c\" \r");

    Put("Only\xBF \"x\" \r\n");
    EXPECT_TRUE(RemoveProjectLines("only"));
    EXPECT_TRUE(drv::Exists(folder_ + "Data\\Projects.twp"));
    EXPECT_EQ(File(), "") << "removing the only project leaves an empty file";
    EXPECT_FALSE(drv::Exists(folder_ + "Data\\Projects.twp.new"));
}

TEST_F(Store, LargeFilesHaveNoLimit) {
    std::string big;
    for (int i = 0; big.size() < 5'000'000; ++i) big += "P" + std::to_string(i) + "\xBF" "C:\\ed.exe \"C:\\x.pb\" \r\n";
    Put(big);
    ASSERT_TRUE(AppendProjectLine("Last", "", {"l.pb"}));
    EXPECT_TRUE(ProjectExists("last"));
    EXPECT_TRUE(RemoveProjectLines("p0"));
    EXPECT_EQ(File().size(), big.size() - std::string("P0\xBF" "C:\\ed.exe \"C:\\x.pb\" \r\n").size() +
                                 std::string("Last\xBF \"l.pb\" \r\n").size());
}

TEST_F(Store, RandomBytesAreReadAndKept) {
    std::string bytes;
    unsigned seed = 7;
    for (int i = 0; i < 100000; ++i) bytes += char((seed = seed * 1103515245u + 12345u) >> 16);
    Put(bytes);
    ProjectExists("x");
    EXPECT_FALSE(RemoveProjectLines("no such project \x01"));
    EXPECT_EQ(File(), bytes) << "a failed removal leaves the file as it was";
}

TEST_F(Store, AFailedRewriteKeepsTheOldFileWhole) {
    const std::string file = "A\xBF \r\nDemo\xBF \"a\" \r\n";
    Put(file);
    // The new content cannot be written beside the file: the old one stays.
    ASSERT_TRUE(CreateDirectoryA("Data\\Projects.twp.new", nullptr));
    EXPECT_TRUE(RemoveProjectLines("demo")) << "the project was found";
    EXPECT_EQ(File(), file);
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
}

}  // namespace
