#include "driver/program.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/core/catalogue.h"
#include "app/core/missing_files.h"
#include "driver/remote_controls.h"
#include "support/core/text.h"

namespace drv {

std::string ProjectLine(const std::string& name, const std::string& editor, const std::vector<std::string>& files) {
    std::string line = name + '\xBF' + editor + " ";
    for (const std::string& f : files) line += "\"" + f + "\" ";
    return line + "\r\n";
}

std::string FileListRow(const std::string& path) {
    return path.substr(path.rfind('\\') + 1) + std::string(100, ' ') + path;
}

std::string LanguageIni(int language) { return "[Language]\r\nLanguage = " + std::to_string(language) + "\r\n"; }

std::string MissingFilesBox(int language, const std::string& name, const std::vector<std::string>& missing,
                            bool none) {
    return MissingFilesMessage(InsertQuotedName(CatalogueTextFor(Msg::kMissingFiles, language), name), missing,
                               CatalogueTextFor(Msg::kMoreMissing, language),
                               CatalogueTextFor(none ? Msg::kNoneOrLocate : Msg::kOpenOrLocate, language));
}

std::vector<EditorRun> ReadEditorLog(const std::string& editorExePath) {
    // One line per start: the command line, a tab, the current directory.
    std::vector<EditorRun> runs;
    std::string log = Bytes(editorExePath + ".log");
    for (size_t pos = 0; pos < log.size();) {
        size_t end = std::min(log.find('\n', pos), log.size());
        std::string line = log.substr(pos, end - pos);
        size_t tab = line.rfind('\t');
        runs.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
        pos = end + 1;
    }
    return runs;
}

void ExpectEditorRuns(const std::string& editorExePath, size_t count, const std::vector<std::string>& files) {
    ASSERT_TRUE(WaitFor([&] { return ReadEditorLog(editorExePath).size() >= count; }, 20000)) << "no start " << count;
    ASSERT_TRUE(Stays([&] { return ReadEditorLog(editorExePath).size() == count; }, 500)) << "one start only";
    std::string quoted;
    for (const std::string& f : files) quoted += (quoted.empty() ? "\"" : " \"") + f + "\"";
    std::string line = ReadEditorLog(editorExePath).back().commandLine;
    EXPECT_NE(line.find(quoted), std::string::npos) << line;
}

Program::Program(const std::string& name) : parent(FreshFolder(name)), folder(parent + "app\\") {
    CreateDirectoryA(folder.c_str(), nullptr);
    exe = InstallProgram(folder);
    DeleteClassesRootTree("Applications\\PureBasic.exe");
}

Program::~Program() {
    if (process.Running()) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (process.Wait(5000) != 0) process.Kill();
    }
}

void Program::Put(const std::string& file, const std::string& bytes) {
    MakeFolders(FolderOf(folder + file));
    EXPECT_TRUE(WriteBytes(folder + file, bytes)) << file;
}

void Program::AddEditor(const std::string& editorFolder, const std::string& tool) {
    editor = folder + editorFolder + "\\PureBasic.exe";
    MakeFolders(FolderOf(editor));
    EXPECT_TRUE(CopyFileA(ToolPath(tool).c_str(), editor.c_str(), FALSE)) << editor;
}

void Program::SetEditorCommand(const std::string& command, DWORD type) {
    EXPECT_TRUE(SetClassesRootDefault("Applications\\PureBasic.exe\\shell\\open\\command", command, type));
}

bool Program::Start(const std::string& args) {
    process = drv::Start(exe, args, folder);
    window = WaitWindow(process.Id(), "WindowClass_0", 20000);
    // Wine signals input idle before the window is built (WaitForInputIdle
    // returns early), and the window shows before its gadgets are made:
    // wait for the last gadget, then for the program's loop.
    if (!window || !WaitFor([&] { return Gadget(kGadgetCopyright) != nullptr; })) {
        ADD_FAILURE() << "the main window of " << exe << " " << args << " was not built";
        return false;
    }
    Settle();
    EXPECT_TRUE(Tree() && FileList() && ProjectList()) << "the tree, the file list and the project list";
    return true;
}

Process Program::Run(const std::string& args, const std::string& cwd) const {
    Process p = drv::Start(exe, args, cwd.empty() ? folder : cwd);
    EXPECT_TRUE(p.Started()) << exe << " " << args;
    return p;
}

void Program::ExpectRefusal(const std::string& args, const std::string& text, const std::string& cwd) const {
    Process p = Run(args, cwd);
    ASSERT_TRUE(AnswerBox(p.Id(), "Info", text, MB_ICONINFORMATION | MB_OK));
    EXPECT_EQ(p.Wait(), 0);
}

bool Program::Flush() {
    // The marker is a harmless value that only the program's own thread can
    // set: the file list's horizontal extent, narrower than the list, so no
    // scroll bar shows. When it reads back, the queue before it is done.
    const WPARAM marker = 1 + flushes_++ % 100;
    PostMessageA(FileList(), LB_SETHORIZONTALEXTENT, marker, 0);
    return WaitFor([&] { return WPARAM(SendMessageA(FileList(), LB_GETHORIZONTALEXTENT, 0, 0)) == marker; }, 5000);
}

void Program::Front() {
    if (GetForegroundWindow() != window) FocusWindow(window);
    Settle();
}

void Program::Click(int gadget) {
    Front();
    ClickWindow(Gadget(gadget));
}

bool Program::ClickForBox(int gadget) {
    bool shown = ClickFor(gadget, [&] { return !TopWindows(process.Id(), "#32770").empty(); });
    EXPECT_TRUE(shown) << "a click on gadget " << gadget << " shows a box";
    return shown;
}

void Program::ClickRow(int row, bool twice) {
    RECT r = ListIconRowRect(ProjectList(), row);
    EXPECT_LT(r.left, r.right) << "row " << row;
    Front();
    ClickAt(r.left + 30, (r.top + r.bottom) / 2, twice);
}

bool Program::SelectRow(int row) {
    bool selected = Twice([&] { ClickRow(row); }, [&] { return ListIconSelected(ProjectList()) == row; }, 3000);
    EXPECT_TRUE(selected) << "row " << row << " is selected";
    return selected;
}

DWORD Program::ReportAnswers(const char* what, DWORD took, DWORD longest) {
    std::printf("%s: %lu ms; longest wait for a window message: %lu ms\n", what, (unsigned long)took,
                (unsigned long)longest);
    EXPECT_LT(longest, Span(150)) << what;
    return took;
}

void Program::Quit() {
    Click(kGadgetQuit);
    EXPECT_EQ(process.Wait(), 0) << "Quit ends the program with exit code 0";
    if (process.Running()) process.Kill();
}

}  // namespace drv
