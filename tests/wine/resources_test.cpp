// What Windows reads from a program file before the program runs: the
// manifest and the icon of both programs, read as data (so the 32-bit
// program's too where no 32-bit code runs).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "driver/driver.h"
#include "version.h"

namespace {

// The parameter is the program's bits.
class Resources : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        const std::string path = drv::Env(GetParam() == 64 ? "TW_EXE64" : "TW_EXE32");
        program_ = LoadLibraryExA(drv::WinPath(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(program_, nullptr) << path;
    }
    void TearDown() override {
        if (program_) FreeLibrary(program_);
    }
    std::string_view Find(LPCSTR type, int id) const {  // empty when missing
        HRSRC found = FindResourceA(program_, MAKEINTRESOURCEA(id), type);
        if (!found) return {};
        return {static_cast<const char*>(LockResource(LoadResource(program_, found))), SizeofResource(program_, found)};
    }
    HMODULE program_ = nullptr;
};

TEST_P(Resources, ManifestAsksForTodaysWindowsAndGdiScalingOfAnUnawareProgram) {
    const std::string_view manifest = Find(MAKEINTRESOURCEA(24), 1);  // RT_MANIFEST, the process's manifest
    const std::string arch = GetParam() == 64 ? "amd64" : "x86";
    auto holds = [&](const std::string& text) { return manifest.find(text) != manifest.npos; };
    EXPECT_TRUE(holds("name=\"Tarnwick\" version=\"" TW_VERSION_TEXT ".0\" processorArchitecture=\"" + arch + '"'));
    EXPECT_TRUE(holds("processorArchitecture=\"" + arch + "\" publicKeyToken=\"6595b64144ccf1df\""))
        << "common controls 6 of the program's processor";
    for (std::string os : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_TRUE(holds("<supportedOS Id=\"{" + os + "}\"/>")) << os;
    EXPECT_TRUE(holds("<gdiScaling xmlns=\"http://schemas.microsoft.com/SMI/2017/WindowsSettings\">true<"));
    EXPECT_FALSE(holds("<dpiAware")) << "the layout is in 96-dpi pixels: never DPI aware";
}

// Resource 1: the 16-colour image first, for whoever reads the first image,
// then every size in 32-bit colour; each image makes an icon.
TEST_P(Resources, IconOneHoldsThe16ColourImageFirstThenEverySize) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bits;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const std::string_view group = Find(RT_GROUP_ICON, 1);
    ASSERT_GE(group.size(), 6u);
    const WORD count = reinterpret_cast<const WORD*>(group.data())[2];
    ASSERT_EQ(group.size(), 6u + count * sizeof(GroupEntry));
    const auto* entries = reinterpret_cast<const GroupEntry*>(group.data() + 6);
    const int kSizes[] = {16, 16, 20, 24, 32, 40, 48, 64, 256};
    ASSERT_EQ(count, std::size(kSizes));
    for (int i = 0; i < count; ++i) {
        const GroupEntry& e = entries[i];
        EXPECT_EQ(e.width ? e.width : 256, kSizes[i]) << "image " << i;
        EXPECT_EQ(e.height, e.width) << "image " << i;
        EXPECT_EQ(e.bits, i == 0 ? 4 : 32) << "image " << i;
        const std::string_view image = Find(RT_ICON, e.id);
        ASSERT_EQ(image.size(), e.bytes) << "image " << i;
        HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image.data())),
                                              DWORD(image.size()), TRUE, 0x00030000, kSizes[i], kSizes[i], 0);
        EXPECT_NE(icon, nullptr) << "image " << i;
        if (icon) DestroyIcon(icon);
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, Resources, ::testing::Values(32, 64));

}  // namespace
