// Starting a project from the main window of the real program, with real
// clicks and keys: what starts it, what does not, and the refusal without a row.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"

namespace {

struct Bed {
    std::string folder;
    std::string editor;
    drv::Process process;
    HWND window = nullptr;
    HWND Gadget(int number) const { return GetDlgItem(window, number); }
};

std::string Line(const std::string& name, const std::string& editor, const std::vector<std::string>& files) {
    std::string line = name + "\xBF" + editor + " ";
    for (const auto& f : files) line += "\"" + f + "\" ";
    return line + "\r\n";
}

const std::vector<std::string> kFiles[3] = {
    {"C:\\src\\zero.pb"},
    {"C:\\src\\one.pb", "C:\\src\\one.pbi"},
    {"C:\\src\\two.pb"},
};

Bed Launch(const std::string& name) {
    Bed b;
    b.folder = drv::FreshFolder(name);
    std::string exe = drv::InstallProgram(b.folder);
    b.editor = b.folder + "Pure Basic\\PureBasic.exe";
    EXPECT_TRUE(drv::InstallEditor(b.editor));
    CreateDirectoryA((b.folder + "Data").c_str(), nullptr);
    std::string file;
    for (int i = 0; i < 3; ++i) file += Line("Project " + std::to_string(i), b.editor, kFiles[i]);
    EXPECT_TRUE(drv::WriteBytes(b.folder + "Data\\Projects.twp", file));
    b.process = drv::Start(exe, "", b.folder);
    b.window = drv::WaitWindow(b.process.Id(), "WindowClass_0", 20000);
    // Wine signals input idle before the window is built: wait for the last
    // gadget, then for an answer from the program's event loop.
    if (b.window && drv::WaitFor([&] { return b.Gadget(10) != nullptr; })) SendMessageA(b.window, WM_NULL, 0, 0);
    return b;
}

void ClickRow(const Bed& b, int row, bool twice = false) {
    Sleep(GetDoubleClickTime() + 100);  // never a double-click with the click before
    RECT r = drv::ListViewRowRect(b.Gadget(2), row);
    ASSERT_LT(r.left, r.right);
    drv::ClickAt(r.left + 30, (r.top + r.bottom) / 2, twice);
}

// Waits for the stand-in editor's `count`-th start and checks its files.
void ExpectStart(const Bed& b, size_t count, int project) {
    ASSERT_TRUE(drv::WaitFor([&] { return drv::ReadEditorLog(b.editor).size() >= count; }, 20000))
        << "no start of project " << project;
    Sleep(500);
    std::vector<drv::EditorRun> runs = drv::ReadEditorLog(b.editor);
    ASSERT_EQ(runs.size(), count) << "one start only";
    for (const std::string& f : kFiles[project])
        EXPECT_NE(runs.back().commandLine.find("\"" + f + "\""), std::string::npos) << runs.back().commandLine;
    for (int other = 0; other < 3; ++other) {
        if (other == project) continue;
        EXPECT_EQ(runs.back().commandLine.find(kFiles[other][0]), std::string::npos) << runs.back().commandLine;
    }
}

void Quit(Bed& b) {
    drv::ClickWindow(b.Gadget(5));
    EXPECT_EQ(b.process.Wait(10000), 0);
    if (b.process.Running()) b.process.Kill();
}

TEST(MainWindowStart, DoubleClickEnterAndTheStartButtonStartTheRowAClickDoesNot) {
    Bed b = Launch("start-ways");
    ASSERT_NE(b.window, nullptr);
    HWND list = b.Gadget(2);

    ClickRow(b, 1);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewSelected(list) == 1; }, 3000));
    Sleep(1500);
    EXPECT_TRUE(drv::ReadEditorLog(b.editor).empty()) << "a single click starts nothing";
    EXPECT_TRUE(drv::TopWindows(b.process.Id(), "#32770").empty()) << "and asks nothing";

    ClickRow(b, 1, true);
    ExpectStart(b, 1, 1);

    ClickRow(b, 2);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewSelected(list) == 2; }, 3000));
    drv::KeyTap(VK_RETURN);
    ExpectStart(b, 2, 2);

    ClickRow(b, 0);
    drv::ClickWindow(b.Gadget(8));
    ExpectStart(b, 3, 0);

    if (HasFailure()) drv::Screenshot("start-ways");
    Quit(b);
}

TEST(MainWindowStart, TheStartButtonWithoutARowSaysSo) {
    Bed b = Launch("start-none");
    ASSERT_NE(b.window, nullptr);
    HWND list = b.Gadget(2);
    // A click below the rows selects nothing.
    RECT r = drv::WindowRectOf(list);
    drv::ClickAt((r.left + r.right) / 2, r.bottom - 10);
    EXPECT_EQ(drv::ListViewSelected(list), -1);

    drv::ClickWindow(b.Gadget(8));
    drv::MessageBoxInfo box = drv::WaitMessageBox(b.process.Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.title, "Info");
    EXPECT_EQ(box.text, "Es wurde kein Projekt ausgew\xE4hlt!");
    EXPECT_TRUE(box.hasOk);
    EXPECT_EQ(box.icon, 64);
    drv::PressButton(box.hwnd, IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(box.hwnd); }, 5000));
    EXPECT_TRUE(b.process.Running()) << "the window stays after the message";
    EXPECT_TRUE(drv::ReadEditorLog(b.editor).empty());
    Quit(b);
}

}  // namespace
