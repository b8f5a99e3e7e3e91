// Project shortcuts, written in this process and opened through the shell.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/driver.h"
#include "projects/projects.h"

namespace {

const char kIconFile[] = "%SystemRoot%\\system32\\SHELL32.dll";

std::string OwnPath() {
    char buf[2000] = {};
    GetModuleFileNameA(nullptr, buf, sizeof buf);
    return buf;
}

bool EqualPaths(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

// The show command as the file stores it (the link header's field at 0x3C):
// readers of the link report anything but normal, maximised and minimised as
// normal, so the stored value is what tells.
int StoredShowCommand(const std::string& lnk) {
    std::string bytes;
    if (!drv::ReadBytes(lnk, bytes) || bytes.size() < 0x4C) return -1;
    return int(uint8_t(bytes[0x3C]) | uint8_t(bytes[0x3D]) << 8 | uint8_t(bytes[0x3E]) << 16 |
               uint32_t(uint8_t(bytes[0x3F])) << 24);
}

// Everything below `folder`, as relative paths, sorted.
void ListTree(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        out.push_back(prefix + name);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(folder + name + "\\", prefix + name + "\\", out);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(out.begin(), out.end());
}

std::vector<std::string> Tree(const std::string& folder) {
    std::vector<std::string> out;
    ListTree(folder, "", out);
    return out;
}

// Runs `body` with `folder` as the current directory, as the program runs with its own folder.
template <class F>
void InFolder(const std::string& folder, F body) {
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, old);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    body();
    SetCurrentDirectoryA(old);
}

TEST(ProjectShortcut, CarriesEveryPropertyForNamesThatAreOneFile) {
    // Nested one level deeper, so a shortcut escaping "Projects" with "..\" would land in a folder we watch.
    std::string top = drv::FreshFolder("shortcut-props");
    std::string base = top + "base\\";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((base + "Projects").c_str(), nullptr));

    const std::string names[] = {"Demo", "My Project", "\xE4" "bc \xDF", "v1.2"};
    InFolder(base, [&] {
        for (const std::string& n : names) CreateProjectShortcut(n);
        // None of these is a single file name in "Projects": no shortcut anywhere.
        for (const char* bad : {"..\\x", "..\\..\\x", "a/b", "a\\b", "say \"hi\"", "C:x", "..", ".", "NUL", "a*"})
            CreateProjectShortcut(bad);
    });

    std::vector<std::string> expected = {"base", "base\\Projects"};
    for (const std::string& n : names) expected.push_back("base\\Projects\\" + n + ".lnk");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Tree(top), expected);

    const std::string self = OwnPath();
    for (const std::string& n : names) {
        SCOPED_TRACE(n);
        drv::ShortcutInfo s = drv::ReadShortcut(base + "Projects\\" + n + ".lnk");
        ASSERT_TRUE(s.loaded);
        EXPECT_TRUE(EqualPaths(s.target, self)) << s.target;
        EXPECT_EQ(s.arguments, "\"" + n + "\"");
        EXPECT_EQ(s.directory, Folder(self));
        EXPECT_EQ(s.description, "PureBASIC Project");
        EXPECT_EQ(StoredShowCommand(base + "Projects\\" + n + ".lnk"), SW_HIDE);
        EXPECT_EQ(s.hotKey, 0);
        EXPECT_EQ(s.iconFile, kIconFile);
        EXPECT_EQ(s.iconIndex, 169);
    }

    // A second shortcut of the same name replaces the first.
    InFolder(base, [&] {
        EXPECT_EQ(CreateShellLink("C:\\other.exe", "Projects\\Demo.lnk", "x", "d", "C:\\", SW_SHOWNORMAL, 0, "", 0), 1);
    });
    EXPECT_EQ(drv::ReadShortcut(base + "Projects\\Demo.lnk").target, "C:\\other.exe");
}

TEST(ProjectShortcut, MissingFolderOrImpossiblePathWritesNothing) {
    std::string base = drv::FreshFolder("shortcut-nofolder");
    InFolder(base, [&] {
        CreateProjectShortcut("Demo");  // no "Projects" folder yet
        CreateProjectShortcut(std::string(10000, 'n'));
    });
    EXPECT_TRUE(Tree(base).empty());
    ASSERT_TRUE(CreateDirectoryA((base + "Projects").c_str(), nullptr));
    InFolder(base, [&] { CreateProjectShortcut(std::string(10000, 'n')); });
    EXPECT_EQ(Tree(base), std::vector<std::string>{"Projects"});
}

TEST(ProjectShortcut, OpeningItRunsTheProgramHiddenAndTheEditorGetsTheFiles) {
    std::string base = drv::FreshFolder("shortcut-open");
    std::string exe = drv::InstallProgram(base);
    std::string editor = base + "Pure Basic\\PureBasic.exe";
    ASSERT_TRUE(drv::InstallEditor(editor));
    ASSERT_TRUE(CreateDirectoryA((base + "Data").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((base + "Projects").c_str(), nullptr));
    const std::string a = base + "src\\main.pb", b = base + "src\\inc.pbi";
    ASSERT_TRUE(drv::WriteBytes(base + "Data\\Projects.twp",
                                "My Project\xBF" + editor + " \"" + a + "\" \"" + b + "\" \r\n"));

    // The same link the program makes for itself, with the program as its target.
    InFolder(base, [&] {
        ASSERT_EQ(CreateShellLink(exe, "Projects\\My Project.lnk", "\"My Project\"", "PureBASIC Project", base,
                                  SW_HIDE, 0, kIconFile, 169), 1);
    });

    // Opened from another folder: the link's working directory must make the program find its data.
    std::string elsewhere = drv::FreshFolder("shortcut-open-elsewhere");
    bool sawProgram = false, sawWindow = false;
    InFolder(elsewhere, [&] {
        ASSERT_TRUE(drv::OpenThroughShell(base + "Projects\\My Project.lnk"));
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 15000) {
            auto running = drv::ProcessesNamed("tarnwick.exe");
            for (DWORD id : running) {
                sawProgram = true;
                if (!drv::TopWindows(id).empty()) sawWindow = true;
            }
            if (running.empty() && sawProgram && !drv::ReadEditorLog(editor).empty()) break;
            Sleep(5);
        }
    });
    EXPECT_TRUE(sawProgram);
    EXPECT_FALSE(sawWindow) << "the program shows no window on a shortcut's start";

    ASSERT_TRUE(drv::WaitFor([&] { return !drv::ReadEditorLog(editor).empty(); }, 15000));
    auto runs = drv::ReadEditorLog(editor);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].commandLine.find("\"" + a + "\" \"" + b + "\""), std::string::npos) << runs[0].commandLine;
    EXPECT_EQ(runs[0].directory + "\\", base);
}

}  // namespace
