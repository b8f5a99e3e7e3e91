// Project shortcuts, written in this process and opened through the shell.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/program.h"
#include "driver/shortcut.h"
#include "projects/projects.h"
#include "support/shell_link.h"

namespace {

std::string OwnPath() {
    char buf[2000] = {};
    GetModuleFileNameA(nullptr, buf, sizeof buf);
    return buf;
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
    EXPECT_EQ(drv::Listing(top, true), expected);

    for (const std::string& n : names) {
        SCOPED_TRACE(n);
        drv::ExpectProjectShortcut(base + "Projects\\" + n + ".lnk", n, OwnPath());
    }

    // A second shortcut of the same name replaces the first.
    InFolder(base, [&] {
        EXPECT_EQ(CreateShellLink("C:\\other.exe", "Projects\\Demo.lnk", "x", "d", "C:\\", SW_SHOWNORMAL, 0, "", 0), 1);
    });
    EXPECT_EQ(drv::ReadShortcut(base + "Projects\\Demo.lnk").target, "C:\\other.exe");
}

// The folder is made for the first shortcut; a save that fails (a name
// too long for the file system, "Projects" a file) writes nothing and is
// reported as failed.
TEST(ProjectShortcut, AFailedSaveWritesNothingAndIsReported) {
    std::string base = drv::FreshFolder("shortcut-nofolder");
    InFolder(base, [&] { EXPECT_EQ(CreateProjectShortcut(std::string(10000, 'n')), ShortcutResult::kFailed); });
    EXPECT_EQ(drv::Listing(base, true), std::vector<std::string>{"Projects"});
    ASSERT_TRUE(RemoveDirectoryA((base + "Projects").c_str()) && drv::WriteBytes(base + "Projects", "a file"));
    InFolder(base, [&] { EXPECT_EQ(CreateProjectShortcut("Demo"), ShortcutResult::kFailed); });
    EXPECT_EQ(drv::Listing(base, true), std::vector<std::string>{"Projects"});
}

TEST(ProjectShortcut, OpeningItRunsTheProgramHiddenAndTheEditorGetsTheFiles) {
    drv::Program app("shortcut-open");
    app.AddEditor();
    const std::string a = app.folder + "src\\main.pb", b = app.folder + "src\\inc.pbi";
    app.SetProjects(drv::ProjectLine("My Project", app.editor, {a, b}));
    drv::MakeSources({a, b});
    ASSERT_TRUE(CreateDirectoryA((app.folder + "Projects").c_str(), nullptr));

    // The same link the program makes for itself, with the program as its target.
    InFolder(app.folder, [&] {
        ASSERT_EQ(CreateShellLink(app.exe, "Projects\\My Project.lnk", "\"My Project\"", "PureBASIC Project",
                                  app.folder, SW_HIDE, 0, drv::kShortcutIconFile, 169), 1);
    });
    // Opened from another folder: the link's working directory must make the
    // program find its data.
    drv::ExpectShortcutOpensFiles(app.folder + "Projects\\My Project.lnk", app.editor, {a, b}, app.folder);
}

}  // namespace
