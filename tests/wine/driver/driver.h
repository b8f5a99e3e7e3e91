// The test bed for Wine tests: fresh folders with a copy of the program,
// starting it and other programs, finding and working their windows, and
// screenshots of the virtual screen when something fails. The program's own
// fixture is in program.h, message boxes in message_box.h, shortcuts in
// shortcut.h, controls of other processes in remote_controls.h.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Rectangles compare and print by their sides (left, top, right, bottom).
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace drv {

// ---- Time. Every wait and timeout of the test bed passes through Span: the
// one place to stretch them all for a slower machine (TW_TIME_SCALE).
DWORD Span(DWORD ms);
// Lets `ms` pass where time itself is the condition (a double-click's
// interval, the moment to kill a process at); never to wait for something.
void Pause(DWORD ms);
// Handles every message queued for this thread now, without waiting.
void Pump();

// Waits until `pred` holds, pumping this thread's messages; false on timeout.
template <class Pred>
bool WaitFor(Pred pred, DWORD ms = 10000, DWORD pollMs = 20) {
    const DWORD start = GetTickCount(), limit = Span(ms);
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start > limit) return false;
        Pump();
        Sleep(pollMs);
    }
}
// Whether `pred` holds all through `ms` (for what must not happen: a second
// start, another message box); pumps as WaitFor does.
template <class Pred>
bool Stays(Pred pred, DWORD ms) {
    return !WaitFor([&] { return !pred(); }, ms);
}

// ---- Paths, folders and files (Windows paths unless named otherwise).

// A Windows path for a Unix path (through drive Z:).
std::string WinPath(const std::string& unixPath);
// The Unix path of a Windows path on drive Z: (the inverse of WinPath).
std::string UnixPath(const std::string& winPath);
// Environment variables the test command sets (Unix paths); empty if unset.
std::string Env(const char* name);

// A fresh, empty folder for one test: TW_WORK/<test name>, as a Windows path
// with a trailing backslash. The folder of the previous run is removed first.
std::string FreshFolder(const std::string& name);
// Creates `path` and every folder above it that is missing.
void MakeFolders(const std::string& path);
// Copies the program (TW_EXE) into `folder`; returns the copy's full path.
std::string InstallProgram(const std::string& folder);
// The full Windows path of a test tool built beside the tests (TW_TOOLS).
std::string ToolPath(const std::string& exeName);
// The folder of a path, with its trailing backslash.
std::string FolderOf(const std::string& path);

bool WriteBytes(const std::string& path, const std::string& bytes);
// Source files a project can name (a start looks for each), with their folders.
void MakeSources(const std::vector<std::string>& paths);
bool ReadBytes(const std::string& path, std::string& bytes);
// The file's bytes; empty when it cannot be read.
std::string Bytes(const std::string& path);
bool Exists(const std::string& path);
void RemoveTree(const std::string& path);
// The names in `folder` (with its trailing backslash), sorted; `deep`:
// everything below it, as relative paths ("a", "a\\b.lnk").
std::vector<std::string> Listing(const std::string& folder, bool deep = false);

// ---- Processes.

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
    long Wait(DWORD ms = 10000);
    bool Running() const;
    void Kill();

private:
    friend Process Start(const std::string&, const std::string&, const std::string&);
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Starts `exe` with the command-line tail `args` in `cwd` (empty: inherit).
Process Start(const std::string& exe, const std::string& args, const std::string& cwd = "");

// Ids of the running processes whose program file is named `exeName`
// (no folder, case ignored).
std::vector<DWORD> ProcessesNamed(const std::string& exeName);

// Watches a process until it ends: whether it ever showed a top-level
// window. Polls often, so that even a window shown for a moment is seen.
struct Watched {
    long exitCode = -1;  // -1: still running when the time was up
    bool sawWindow = false;
};
Watched WatchUntilEnd(Process& process, DWORD ms = 20000);

// Runs a command line of the Unix shell (no double quotes in it; quote with
// single quotes) and waits for it: its exit code, or -1.
long RunUnix(const std::string& commandLine, DWORD ms = 60000);

// Runs the current test again in a new process of this test program, with
// the Linux library tools/$LIB/libtw_<shim>.so (tests/wine/shims) preloaded
// into it and every process it starts, and TW_UNDER_SHIM=1: its exit code,
// or -1. Its output goes where this program's goes.
long RunTestUnderShim(const std::string& shim, DWORD ms = 120000);
inline bool UnderShim() { return Env("TW_UNDER_SHIM") == "1"; }

// ---- Windows of other processes.

// Top-level windows of a process (visible or not), optionally by class name.
std::vector<HWND> TopWindows(DWORD processId, const char* className = nullptr, bool visibleOnly = true);
// Waits for a visible top-level window of the process with that class.
HWND WaitWindow(DWORD processId, const char* className, DWORD ms = 10000);
// The first top-level window of the process with that class, shown or not,
// without waiting; null if there is none.
HWND FindTopWindow(DWORD processId, const char* className);
// Waits until the window is gone (destroyed, or its process ended).
bool WaitGone(HWND hwnd, DWORD ms = 10000);
// Waits until the thread that owns the window is idle in its message loop.
bool Settle(HWND hwnd, DWORD ms = 5000);

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
// Class names compared as the system does: case ignored.
bool SameClass(const std::string& a, const char* b);
RECT WindowRectOf(HWND hwnd);
RECT ClientRectOnScreen(HWND hwnd);
// A child window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
HWND FindDescendant(HWND parent, const char* className);

// A window's state as another process sees it.
struct WindowState {
    bool exists = false, visible = false, enabled = false;
};
WindowState StateOf(HWND hwnd);

// Waits until `hwnd` is the foreground window (where real keys go).
bool WaitForeground(HWND hwnd, DWORD ms = 5000);
// Brings `hwnd` to the front and waits until it is there.
bool FocusWindow(HWND hwnd);
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

// ---- Real input through the system's input queue (as a user's keyboard and
// mouse). A click never pairs with the one before into a double-click unless
// asked to (`twice`): where it would, the double-click time passes first.
void KeyTap(WORD vk, WORD modifier = 0);  // modifier: VK_SHIFT, VK_MENU, ... held meanwhile
void TypeText(const std::string& text);
void ClickAt(int x, int y, bool twice = false);
void RightClickAt(int x, int y, bool twice = false);
void ClickWindow(HWND hwnd, bool twice = false);  // the centre of the window

// ---- The system.

// Gives this Wine prefix a drive `letter` (e.g. 'T') showing `folder` (a Z:
// path), for this process and every later one; UnmapDrive takes it away.
bool MapDrive(char letter, const std::string& folder);
void UnmapDrive(char letter);

// Sets the default value of a HKEY_CLASSES_ROOT key (created when missing) to
// `text` with its terminating zero, as `reg add` stores it; `type` REG_SZ or
// REG_EXPAND_SZ.
bool SetClassesRootDefault(const std::string& key, const std::string& text, DWORD type = REG_SZ);
// Removes a HKEY_CLASSES_ROOT key and everything below it.
void DeleteClassesRootTree(const std::string& key);

// The pixels of a rectangle of the screen, whatever process drew them, row
// by row from the top, as 0x00RRGGBB.
std::vector<DWORD> ScreenPixels(const RECT& r);

// Saves a PNG of the whole virtual screen into TW_WORK/screenshots/<name>.png.
// Every failing test gets one at its first failure (main.cpp).
void Screenshot(const std::string& name);

}  // namespace drv
