// Starting a project from the main window of the real program, with real
// clicks and keys: what starts it, what does not, and the refusal without a row.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/catalogue.h"
#include "driver/program.h"
#include "driver/remote_controls.h"

namespace {

const std::vector<std::string> kFiles[3] = {
    {"C:\\src\\zero.pb"},
    {"C:\\src\\one.pb", "C:\\src\\one.pbi"},
    {"C:\\src\\two.pb"},
};

// The program with three projects of the stand-in editor, started.
class Bed : public drv::Program {
public:
    explicit Bed(const std::string& name) : Program(name) {
        AddEditor();
        std::string file;
        for (int i = 0; i < 3; ++i) {
            file += drv::ProjectLine("Project " + std::to_string(i), editor, kFiles[i]);
            drv::MakeSources(kFiles[i]);
        }
        SetProjects(file);
    }

    // The stand-in editor's `count`-th start, alone, with the files of
    // `project` and of no other.
    void ExpectStart(size_t count, int project) {
        ASSERT_NO_FATAL_FAILURE(drv::ExpectEditorRuns(editor, count, kFiles[project])) << "project " << project;
        std::string line = EditorRuns().back().commandLine;
        for (int other = 0; other < 3; ++other) {
            if (other != project) { EXPECT_EQ(line.find(kFiles[other][0]), std::string::npos) << line; }
        }
    }
};

TEST(MainWindowStart, DoubleClickEnterAndTheStartButtonStartTheRowAClickDoesNot) {
    Bed b("start-ways");
    ASSERT_TRUE(b.Start());

    ASSERT_TRUE(b.SelectRow(1));
    EXPECT_TRUE(drv::Stays([&] {
        return b.EditorRuns().empty() && drv::TopWindows(b.process.Id(), "#32770").empty();
    }, 1500)) << "a single click starts nothing and asks nothing";

    b.ClickRow(1, true);
    ASSERT_NO_FATAL_FAILURE(b.ExpectStart(1, 1));

    ASSERT_TRUE(b.SelectRow(2));
    drv::KeyTap(VK_RETURN);
    ASSERT_NO_FATAL_FAILURE(b.ExpectStart(2, 2));

    ASSERT_TRUE(b.SelectRow(0));
    b.Click(kGadgetStart);
    ASSERT_NO_FATAL_FAILURE(b.ExpectStart(3, 0));

    b.Quit();
}

TEST(MainWindowStart, TheStartButtonWithoutARowSaysSo) {
    Bed b("start-none");
    ASSERT_TRUE(b.Start());
    HWND list = b.ProjectList();
    // A click below the rows selects nothing.
    RECT r = drv::WindowRectOf(list);
    b.Front();
    drv::ClickAt((r.left + r.right) / 2, r.bottom - 10);
    EXPECT_EQ(drv::ListIconSelected(list), -1);

    ASSERT_TRUE(b.ClickForBox(kGadgetStart));
    ASSERT_TRUE(b.AnswerInfo(CatalogueTextFor(Msg::kNoneSelected, 0), MB_ICONINFORMATION | MB_OK));
    EXPECT_TRUE(b.process.Running()) << "the window stays after the message";
    EXPECT_TRUE(b.EditorRuns().empty());
    b.Quit();
}

}  // namespace
