// The test bed for Wine tests: fresh folders with a copy of the program,
// starting it and other programs, finding and working their windows, and
// screenshots of the virtual screen when something fails.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace drv {

// A Windows path for a Unix path (through drive Z:).
std::string WinPath(const std::string& unixPath);
// Environment variables the test command sets (Unix paths); empty if unset.
std::string Env(const char* name);

// A fresh, empty folder for one test: TW_WORK/<test name>, as a Windows path
// with a trailing backslash. The folder of the previous run is removed first.
std::string FreshFolder(const std::string& name);
// Copies the program (TW_EXE) into `folder`; returns the copy's full path.
std::string InstallProgram(const std::string& folder);
// The full Windows path of a test tool built beside the tests (TW_TOOLS).
std::string ToolPath(const std::string& exeName);

// File helpers (Windows paths).
bool WriteBytes(const std::string& path, const std::string& bytes);
bool ReadBytes(const std::string& path, std::string& bytes);
bool Exists(const std::string& path);
void RemoveTree(const std::string& path);

// A started process; closes its handles on destruction (it is not killed).
class Process {
public:
    Process() = default;
    Process(Process&& o) noexcept;
    Process& operator=(Process&& o) noexcept;
    ~Process();
    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    // Waits for the end; returns the exit code, or -1 on timeout.
    long Wait(DWORD ms);
    bool Running() const;
    void Kill();

private:
    friend Process Start(const std::string&, const std::string&, const std::string&);
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Starts `exe` with the command-line tail `args` in `cwd` (empty: inherit).
Process Start(const std::string& exe, const std::string& args, const std::string& cwd = "");

// A wait of `ms` milliseconds stretched by the factor in TW_TIME_SCALE
// (default 1) for slower machines, such as an emulated one. Every wait and
// timeout of the tests goes through it; INFINITE stays INFINITE.
DWORD Scaled(DWORD ms);

// Waits until `pred` holds, pumping this thread's messages; false on timeout.
template <class Pred>
bool WaitFor(Pred pred, DWORD ms = 10000) {
    const DWORD start = GetTickCount(), limit = Scaled(ms);
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start > limit) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

// Top-level windows of a process (visible or not), optionally by class name.
std::vector<HWND> TopWindows(DWORD processId, const char* className = nullptr, bool visibleOnly = true);
// Waits for a visible top-level window of the process with that class.
HWND WaitWindow(DWORD processId, const char* className, DWORD ms = 10000);

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
RECT WindowRectOf(HWND hwnd);
RECT ClientRectOnScreen(HWND hwnd);

// A window's state as another process sees it.
struct WindowState {
    bool exists = false, visible = false, enabled = false;
};
WindowState StateOf(HWND hwnd);
// The first top-level window of the process with that class, shown or not,
// without waiting; null if there is none.
HWND FindTopWindow(DWORD processId, const char* className);
// Waits until the window is gone (destroyed, or its process ended).
bool WaitGone(HWND hwnd, DWORD ms = 10000);
// Waits until `hwnd` is the foreground window (where real keys go).
bool WaitForeground(HWND hwnd, DWORD ms = 5000);

// The window that has the keyboard focus in the thread that owns `hwnd`
// (where that thread's key messages go), read from outside.
HWND FocusOfThreadOf(HWND hwnd);
// Waits until `hwnd` has the keyboard focus of its thread.
bool WaitFocus(HWND hwnd, DWORD ms = 5000);

// A child window as seen from outside: rect in the parent's client coordinates.
struct ChildInfo {
    HWND hwnd = nullptr;
    std::string className;
    int id = 0;
    std::string text;
    RECT rect{};
    LONG style = 0, exStyle = 0;
};
// The direct children of `parent`, in z-order.
std::vector<ChildInfo> Children(HWND parent);
// An edit control's text length and selection (start, end), read across processes.
int EditLength(HWND edit);
void EditSelection(HWND edit, int* start, int* end);

// A platform message box shown by another process, as the user sees it.
struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string title;
    std::string text;
    bool hasOk = false, hasYes = false, hasNo = false, hasCancel = false;
    int icon = 0;  // 16 error, 32 question, 48 warning, 64 information, 0 none
};
// Waits for a message box of the process; hwnd is null on timeout.
MessageBoxInfo WaitMessageBox(DWORD processId, DWORD ms = 10000);
// The same for the process's message box with that title (a process may show several).
MessageBoxInfo WaitMessageBoxTitled(DWORD processId, const std::string& title, DWORD ms = 10000);
// Reads a message box found otherwise; an empty record for a null handle.
MessageBoxInfo ReadMessageBox(HWND box);
// Presses a button of a dialog (IDOK, IDYES, ...).
void PressButton(HWND dialog, int id);

// Real input through the system's input queue (as a user's keyboard and mouse).
void KeyTap(WORD vk, bool shift = false);
void TypeText(const std::string& text);
void ClickAt(int x, int y, bool twice = false);
void ClickWindow(HWND hwnd, bool twice = false);  // the centre of the window
bool FocusWindow(HWND hwnd);

// The right mouse button, as ClickAt.
void RightClickAt(int x, int y, bool twice = false);

// Runs a command line of the Unix shell (no double quotes in it; quote with
// single quotes) and waits for it: its exit code, or -1.
long RunUnix(const std::string& commandLine, DWORD ms = 60000);
// The Unix path of a Windows path on drive Z: (the inverse of WinPath).
std::string UnixPath(const std::string& winPath);
// Gives this Wine prefix a drive `letter` (e.g. 'T') showing `folder` (a Z:
// path), for this process and every later one; UnmapDrive takes it away.
bool MapDrive(char letter, const std::string& folder);
void UnmapDrive(char letter);

// Controls of another process. Messages whose arguments point to memory are
// given a buffer inside that process.
int ListViewCount(HWND list);
int ListViewSelected(HWND list);  // first selected row, -1 for none
std::string ListViewText(HWND list, int row, int column);
std::string ListViewColumnTitle(HWND list, int column);  // empty when there is no such column
RECT ListViewRowRect(HWND list, int row);                // screen coordinates; empty on failure
std::vector<std::string> ListBoxItems(HWND listBox);
// A child window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

// Saves a PNG of the whole virtual screen into TW_WORK/screenshots/<name>.png.
void Screenshot(const std::string& name);

// The stand-in editor's log: one record per start, "cmdline\tcwd".
struct EditorRun {
    std::string commandLine;
    std::string directory;
};
std::vector<EditorRun> ReadEditorLog(const std::string& editorExePath);
// Copies the stand-in editor to `path` (creating its folders).
bool InstallEditor(const std::string& path);

// A shell shortcut's properties, read back through the shell link object.
struct ShortcutInfo {
    bool loaded = false;
    std::string target, arguments, directory, description, iconFile;
    int showCommand = -1, iconIndex = -1;
    WORD hotKey = 0xFFFF;
};
ShortcutInfo ReadShortcut(const std::string& lnkPath);

// Opens a file through the shell ("open" verb), as a double-click in the
// shell or `start` would; false when the shell refuses. Wine gives no process
// handle for a shortcut, so watch for the started program by its file.
bool OpenThroughShell(const std::string& path, const std::string& directory = "");

// Ids of the running processes whose program file is named `exeName`
// (no folder, case ignored).
std::vector<DWORD> ProcessesNamed(const std::string& exeName);

// Sets the default value of a HKEY_CLASSES_ROOT key (created when missing) to
// `text` as REG_SZ with its terminating zero, as `reg add` stores it.
bool SetClassesRootDefault(const std::string& key, const std::string& text);
// Removes a HKEY_CLASSES_ROOT key and everything below it.
void DeleteClassesRootTree(const std::string& key);

// More of another process's controls.
HWND FindDescendant(HWND parent, const char* className);
std::vector<std::string> ListViewColumn(HWND list, int column = 0);
// Inserts an entry into a list box, as the program's own code would (for
// bulk input that a user could only make slowly).
bool ListBoxInsert(HWND listBox, int index, const std::string& text);

}  // namespace drv
