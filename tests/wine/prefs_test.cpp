// Preference files on disk, in this process: the modes, the sharing and the
// bytes as others see them.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "support/prefs.h"

namespace {

// Whether another program could open the file with that access and sharing.
bool OthersCanOpen(const std::string& path, DWORD access, DWORD share) {
    HANDLE f = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    CloseHandle(f);
    return true;
}
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string Bytes(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(drv::ReadBytes(path, bytes));
    return bytes;
}

TEST(PrefFile, NothingOpenReadsDefaultsAndWritesNothing) {
    PrefClose();
    EXPECT_EQ(PrefSelectGroup("Language"), 0);
    EXPECT_EQ(PrefReadNumber("Language", 5), 5);
    PrefWriteNumber("Language", 1);
    PrefWriteText("Language", "1");
    PrefClose();
}

TEST(PrefFile, CreateReplacesTheFileAndWritesStraightThrough) {
    std::string path = drv::FreshFolder("prefs-create") + "Language.ini";
    ASSERT_TRUE(drv::WriteBytes(path, std::string(500, 'x')));

    ASSERT_TRUE(PrefCreate(path));
    EXPECT_EQ(Bytes(path), "") << "an existing file is emptied";
    EXPECT_EQ(PrefSelectGroup("Language"), 1);
    PrefWriteNumber("Language", 0);
    PrefWriteText("(0", "Deutsch; 1 = English)");
    PrefWriteNumber("", 7);  // no key: nothing written
    PrefWriteText("", "x");
    EXPECT_EQ(Bytes(path), "[Language]\r\nLanguage = 0\r\n(0 = Deutsch; 1 = English)\r\n") << "nothing to flush";
    EXPECT_EQ(PrefReadNumber("Language", 9), 9) << "no reading in write mode";
    EXPECT_TRUE(OthersCanOpen(path, GENERIC_READ, kShareAll));
    EXPECT_FALSE(OthersCanOpen(path, GENERIC_WRITE, kShareAll));

    PrefSelectGroup("Zahlen");
    PrefWriteNumber("min", -2147483647 - 1);
    PrefWriteText("text", "\xE4 = ; [x]");
    PrefClose();
    EXPECT_TRUE(OthersCanOpen(path, GENERIC_WRITE, 0)) << "closed";
    EXPECT_EQ(Bytes(path),
              "[Language]\r\nLanguage = 0\r\n(0 = Deutsch; 1 = English)\r\n"
              "[Zahlen]\r\nmin = -2147483648\r\ntext = \xE4 = ; [x]\r\n");

    ASSERT_TRUE(PrefOpenRead(path));
    EXPECT_EQ(PrefSelectGroup("ZAHLEN"), 1);
    EXPECT_EQ(PrefReadNumber("MIN", 0), -2147483647 - 1);
    EXPECT_EQ(PrefSelectGroup("language"), 1);
    EXPECT_EQ(PrefReadNumber("language", 9), 0);
    PrefClose();
}

TEST(PrefFile, OpenReadSearchesTheWholeTextAndRefusesWriters) {
    std::string folder = drv::FreshFolder("prefs-read");
    std::string path = folder + "a.ini";
    const std::string text = "Top = 3\r\n[G]\r\nK = 1\r\n";
    ASSERT_TRUE(drv::WriteBytes(path, text));

    ASSERT_TRUE(PrefOpenRead(path));
    EXPECT_EQ(PrefReadNumber("Top", 0), 3) << "the region before the first group";
    EXPECT_TRUE(OthersCanOpen(path, GENERIC_READ, kShareAll));
    EXPECT_FALSE(OthersCanOpen(path, GENERIC_WRITE, kShareAll));
    PrefWriteText("K", "2");  // the handle cannot write: nothing happens
    EXPECT_EQ(PrefSelectGroup("g"), 1);
    EXPECT_EQ(PrefReadNumber("K", 0), 1);
    EXPECT_EQ(PrefSelectGroup("H"), 0);
    EXPECT_EQ(PrefReadNumber("K", 9), 9);
    EXPECT_EQ(PrefReadNumber("Top", 9), 9) << "a failed selection leaves no region to read";
    PrefClose();
    EXPECT_EQ(PrefReadNumber("Top", 9), 9);
    EXPECT_EQ(Bytes(path), text);

    // Opening again closes what was in use, a created file included.
    std::string created = folder + "b.ini";
    ASSERT_TRUE(PrefCreate(created));
    PrefSelectGroup("B");
    EXPECT_FALSE(OthersCanOpen(created, GENERIC_WRITE, kShareAll));
    ASSERT_TRUE(PrefOpenRead(path));
    EXPECT_TRUE(OthersCanOpen(created, GENERIC_WRITE, 0));
    EXPECT_EQ(Bytes(created), "[B]\r\n");

    // Failures leave nothing open.
    EXPECT_FALSE(PrefOpenRead(folder + "missing.ini"));
    EXPECT_TRUE(OthersCanOpen(path, GENERIC_WRITE, 0));
    EXPECT_EQ(PrefSelectGroup("G"), 0);
    EXPECT_EQ(PrefReadNumber("K", 4), 4);
    ASSERT_TRUE(CreateDirectoryA((folder + "dir.ini").c_str(), nullptr));
    EXPECT_FALSE(PrefOpenRead(folder + "dir.ini"));
    EXPECT_FALSE(PrefCreate(folder + "dir.ini"));
    PrefWriteText("K", "1");
    PrefClose();
}

}  // namespace
