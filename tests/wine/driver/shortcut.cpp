#include "driver/shortcut.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include "driver/driver.h"
#include "driver/program.h"

namespace drv {

ShortcutInfo ReadShortcut(const std::string& lnkPath) {
    ShortcutInfo info;
    HRESULT init = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(lnkPath.size() + 1, L'\0');
            MultiByteToWideChar(CP_ACP, 0, lnkPath.c_str(), -1, wide.data(), int(wide.size()));
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
                info.loaded = true;
                char buf[4096];
                auto take = [&](auto get) {
                    buf[0] = 0;
                    return SUCCEEDED(get()) ? std::string(buf) : std::string();
                };
                info.target = take([&] { return link->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH); });
                info.arguments = take([&] { return link->GetArguments(buf, sizeof buf); });
                info.directory = take([&] { return link->GetWorkingDirectory(buf, sizeof buf); });
                info.description = take([&] { return link->GetDescription(buf, sizeof buf); });
                info.iconFile = take([&] { return link->GetIconLocation(buf, sizeof buf, &info.iconIndex); });
                link->GetShowCmd(&info.showCommand);
                link->GetHotkey(&info.hotKey);
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return info;
}

long StoredShowCommand(const std::string& lnkPath) {
    std::string b = Bytes(lnkPath);
    if (b.size() < 0x4C) return -1;
    return long(uint8_t(b[0x3C]) | uint8_t(b[0x3D]) << 8 | uint8_t(b[0x3E]) << 16 | uint32_t(uint8_t(b[0x3F])) << 24);
}

void ExpectProjectShortcut(const std::string& lnkPath, const std::string& name, const std::string& program) {
    ShortcutInfo s = ReadShortcut(lnkPath);
    ASSERT_TRUE(s.loaded) << lnkPath;
    EXPECT_EQ(lstrcmpiA(s.target.c_str(), program.c_str()), 0) << s.target;
    EXPECT_EQ(s.arguments, "\"" + name + "\"");
    EXPECT_EQ(s.directory, FolderOf(program));
    EXPECT_EQ(s.description, "PureBASIC Project");
    EXPECT_EQ(StoredShowCommand(lnkPath), SW_HIDE);
    EXPECT_EQ(s.hotKey, 0);
    EXPECT_EQ(s.iconFile, kShortcutIconFile);
    EXPECT_EQ(s.iconIndex, 169);
}

bool OpenThroughShell(const std::string& path, const std::string& directory) {
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS;
    sei.lpVerb = "open";
    sei.lpFile = path.c_str();
    sei.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&sei)) return false;
    if (sei.hProcess) CloseHandle(sei.hProcess);
    return true;
}

void ExpectShortcutOpensFiles(const std::string& lnkPath, const std::string& editor,
                              const std::vector<std::string>& files, const std::string& programFolder,
                              DWORD running) {
    ASSERT_TRUE(OpenThroughShell(lnkPath, FreshFolder("shortcut-opened-elsewhere")));
    bool sawProgram = false, sawWindow = false;
    WaitFor([&] {
        bool runs = false;
        for (DWORD id : ProcessesNamed("tarnwick.exe")) {
            if (id == running) continue;
            runs = sawProgram = true;
            if (!TopWindows(id).empty()) sawWindow = true;
        }
        return !runs && sawProgram && !ReadEditorLog(editor).empty();
    }, 15000, 5);
    EXPECT_TRUE(sawProgram);
    EXPECT_FALSE(sawWindow) << "the program shows no window on a shortcut's start";
    ASSERT_NO_FATAL_FAILURE(ExpectEditorRuns(editor, 1, files));
    EXPECT_EQ(ReadEditorLog(editor)[0].directory + "\\", programFolder);
}

}  // namespace drv
