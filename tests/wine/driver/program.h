// The real program in a fresh folder of its own, as its user has it: with
// the stand-in editor, Language.ini, Data\Projects.twp and the editor's
// registry key as a test asks; started, waited for until its window is
// ready, clicked as a user clicks, and ended.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "driver/driver.h"
#include "driver/message_box.h"

namespace drv {

// A line of the project file: the name, the separator byte 0xBF, the editor,
// a space, then each file in double quotes followed by a space; CR LF.
std::string ProjectLine(const std::string& name, const std::string& editor, const std::vector<std::string>& files);
// An entry of the file list: the file's name, 100 spaces, its full path.
std::string FileListRow(const std::string& path);
// The bytes of a Language.ini that chooses `language`.
std::string LanguageIni(int language);

// The box of a start that cannot find the `missing` files of the project
// `name` (as the start was asked for it) in `language`: it asks whether to
// open the others or locate them (buttons Yes, No, Cancel), or, when none is
// there (`none`), whether to locate them (Ok, Cancel).
std::string MissingFilesBox(int language, const std::string& name, const std::vector<std::string>& missing,
                            bool none);
inline constexpr UINT kMissingFilesFlags = MB_ICONQUESTION | MB_YESNOCANCEL;
inline constexpr UINT kNoFilesFlags = MB_ICONQUESTION | MB_OKCANCEL;

// The stand-in editor's log (tools/fake_editor): a record per start.
struct EditorRun {
    std::string commandLine, directory;
};
std::vector<EditorRun> ReadEditorLog(const std::string& editorExePath);
// Waits for the stand-in editor's `count`-th start and checks that no other
// follows and that it got `files`, each in quotes, in their order.
void ExpectEditorRuns(const std::string& editorExePath, size_t count, const std::vector<std::string>& files);

class Program {
public:
    // A fresh folder TW_WORK\<name> holding only "app\", the program's folder.
    // The editor's registry key is removed: a test that wants one sets it.
    explicit Program(const std::string& name);
    ~Program();  // closes the program if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Puts a file into the program's folder, making its folders
    // (Language.ini, Data\Projects.twp, ...).
    void Put(const std::string& file, const std::string& bytes);
    void SetProjects(const std::string& bytes) { Put("Data\\Projects.twp", bytes); }
    std::string ProjectFile() const { return Bytes(folder + "Data\\Projects.twp"); }
    // The stand-in editor (a tool, tools/fake_editor by default) at
    // <folder><editorFolder>\PureBasic.exe.
    void AddEditor(const std::string& editorFolder = "Pure Basic", const std::string& tool = "fake_editor.exe");
    std::vector<EditorRun> EditorRuns() const { return ReadEditorLog(editor); }
    // The editor's registry key says `command` (a REG_SZ or REG_EXPAND_SZ
    // value); RegisterEditor names the stand-in editor as an editor's
    // installation does.
    void SetEditorCommand(const std::string& command, DWORD type = REG_SZ);
    void RegisterEditor() { SetEditorCommand("\"" + editor + "\" \"%1\""); }

    // Starts the program in its folder and waits until its window is built
    // and its loop idle; false (with the failure added) when it is not.
    bool Start(const std::string& args = "");
    // The command-line road: started with `args` in `cwd` (its own folder
    // when empty), not waited for.
    Process Run(const std::string& args, const std::string& cwd = "") const;
    // Runs the command-line road, which refuses with `text` in its
    // information box and ends with 0 once the box is answered.
    void ExpectRefusal(const std::string& args, const std::string& text, const std::string& cwd = "") const;

    HWND Gadget(int number) const { return GetDlgItem(window, number); }
    HWND Tree() const { return FindDescendant(window, "SysTreeView32"); }
    HWND FileList() const { return Gadget(kGadgetFileList); }
    HWND ProjectList() const { return Gadget(kGadgetProjectList); }
    int FileCount() const { return int(SendMessageA(FileList(), LB_GETCOUNT, 0, 0)); }

    // Until `done` holds (at most `ms`), asks the window for a message again
    // and again; prints and checks how long the longest answer took (the
    // goal is 100 ms; the bound leaves room for a loaded machine), and
    // returns how long `done` took.
    template <class Pred>
    DWORD AnswersUntil(Pred done, const char* what, DWORD ms = 20000) const {
        const DWORD begin = GetTickCount();
        DWORD longest = 0;
        while (!done() && GetTickCount() - begin < Span(ms)) {
            const DWORD sent = GetTickCount();
            Settle();
            longest = std::max(longest, GetTickCount() - sent);
            Sleep(10);
        }
        return ReportAnswers(what, GetTickCount() - begin, longest);
    }
    // Waits until the program is idle in its loop again.
    void Settle() const { drv::Settle(window); }
    // Every message posted to the program before this call has been handled
    // when it returns (posted actions keep their order in its queue).
    bool Flush();
    // Brings the window to the front (without a window manager a click can
    // otherwise go to activation only) and waits for its loop.
    void Front();
    // A user's click on a gadget, at the front.
    void Click(int gadget);
    // Clicks and waits for `done`; clicks once more when that click was lost.
    template <class Pred>
    bool ClickFor(int gadget, Pred done, DWORD ms = 4000) {
        return Twice([&] { Click(gadget); }, done, ms);
    }
    // The same for a click at a point of the screen.
    template <class Pred>
    bool ClickAtFor(POINT at, bool twice, Pred done, DWORD ms = 4000) {
        return Twice([&] { Front(); ClickAt(at.x, at.y, twice); }, done, ms);
    }
    // Clicks a gadget whose click shows a message box (once more when lost).
    bool ClickForBox(int gadget);
    // Clicks a row of the project list (twice: a double-click).
    void ClickRow(int row, bool twice = false);
    // Clicks a row and waits until it is the selected one (once more when lost).
    bool SelectRow(int row);

    // The program's box titled "Info", checked and answered (AnswerBox).
    bool AnswerInfo(const std::string& text, UINT flags, int answer = IDOK) const {
        return AnswerBox(process.Id(), "Info", text, flags, answer);
    }
    // Clicks Quit and expects the program to end with exit code 0.
    void Quit();

    std::string parent;  // the fresh folder
    std::string folder;  // the program's folder in it, "<parent>app\"
    std::string exe;     // the program
    std::string editor;  // the stand-in editor, if any
    Process process;
    HWND window = nullptr;

private:
    static DWORD ReportAnswers(const char* what, DWORD took, DWORD longest);
    template <class Act, class Pred>
    static bool Twice(Act act, Pred done, DWORD ms) {
        act();
        if (WaitFor(done, ms)) return true;
        act();  // a click lost on its way: a user clicks again
        return WaitFor(done, ms);
    }
    unsigned flushes_ = 0;
};

}  // namespace drv
