#include "driver/program.h"

#include <gtest/gtest.h>

#include "driver/remote_controls.h"

namespace drv {

std::string ProjectLine(const std::string& name, const std::string& editor, const std::vector<std::string>& files) {
    std::string line = name + '\xBF' + editor + " ";
    for (const std::string& f : files) line += "\"" + f + "\" ";
    return line + "\r\n";
}

std::string FileListRow(const std::string& path) {
    return path.substr(path.rfind('\\') + 1) + std::string(100, ' ') + path;
}

std::string LanguageIni(int language) {
    return "[Language]\r\nLanguage = " + std::to_string(language) + "\r\n";
}

std::vector<EditorRun> ReadEditorLog(const std::string& editorExePath) {
    std::vector<EditorRun> runs;
    std::string log;
    if (!ReadBytes(editorExePath + ".log", log)) return runs;
    size_t pos = 0;
    while (pos < log.size()) {
        size_t end = log.find('\n', pos);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(pos, end - pos);
        size_t tab = line.rfind('\t');
        runs.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
        pos = end + 1;
    }
    return runs;
}

bool InstallEditor(const std::string& path) {
    MakeFolders(path.substr(0, path.rfind('\\')));
    DeleteFileA((path + ".log").c_str());
    return CopyFileA(ToolPath("fake_editor.exe").c_str(), path.c_str(), FALSE);
}

Program::Program(const std::string& name, const ProgramSetup& setup) {
    parent = FreshFolder(name);
    folder = parent + "app\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    exe = InstallProgram(folder);
    if (!setup.editorFolder.empty()) {
        editor = folder + setup.editorFolder + "\\PureBasic.exe";
        EXPECT_TRUE(InstallEditor(editor)) << editor;
    }
    if (setup.language) {
        EXPECT_TRUE(WriteBytes(folder + "Language.ini", *setup.language));
    }
    if (setup.data) CreateDirectoryA((folder + "Data").c_str(), nullptr);
    DeleteClassesRootTree("Applications\\PureBasic.exe");
}

Program::~Program() {
    if (process.Running()) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (process.Wait(5000) != 0) process.Kill();
    }
}

void Program::SetProjects(const std::string& bytes) {
    CreateDirectoryA((folder + "Data").c_str(), nullptr);
    EXPECT_TRUE(WriteBytes(folder + "Data\\Projects.twp", bytes));
}

std::string Program::ProjectFile() const { return Bytes(folder + "Data\\Projects.twp"); }

void Program::SetEditorCommand(const std::string& command) {
    EXPECT_TRUE(SetClassesRootDefault(kEditorKey, command));
}

void Program::RegisterEditor() { SetEditorCommand("\"" + editor + "\" \"%1\""); }

bool Program::Start(const std::string& args) {
    process = drv::Start(exe, args, folder);
    if (!process.Started()) {
        ADD_FAILURE() << "cannot start " << exe;
        return false;
    }
    window = WaitWindow(process.Id(), "WindowClass_0", 20000);
    // Wine signals input idle before the window is built (WaitForInputIdle
    // returns early), and the window shows before its gadgets are made:
    // wait for the last gadget, then for the program's loop.
    if (!window || !WaitFor([&] { return Gadget(kGadgetCopyright) != nullptr; })) {
        ADD_FAILURE() << "the main window was not built";
        return false;
    }
    Settle();
    return true;
}

Process Program::Run(const std::string& args, const std::string& cwd) const {
    Process p = drv::Start(exe, args, cwd.empty() ? folder : cwd);
    EXPECT_TRUE(p.Started()) << exe << " " << args;
    return p;
}

HWND Program::Tree() const { return FindDescendant(window, "SysTreeView32"); }

int Program::FileCount() const { return int(SendMessageA(FileList(), LB_GETCOUNT, 0, 0)); }

void Program::Settle() const { drv::Settle(window); }

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

bool Program::AnswerInfo(const std::string& text, UINT flags, int answer) const {
    return AnswerBox(process.Id(), "Info", text, flags, answer);
}

void Program::Quit() {
    Click(kGadgetQuit);
    EXPECT_EQ(process.Wait(10000), 0) << "Quit ends the program with exit code 0";
    if (process.Running()) process.Kill();
}

}  // namespace drv
