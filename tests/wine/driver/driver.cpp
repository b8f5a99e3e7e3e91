#include "driver/driver.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>

namespace drv {

// ---- Time

// TW_TIME_SCALE (default 1) stretches every span, for slower machines such
// as an emulated one; INFINITE stays INFINITE.
DWORD Span(DWORD ms) {
    static const double factor = [] {
        double f = std::atof(Env("TW_TIME_SCALE").c_str());
        return f > 0 ? f : 1.0;
    }();
    if (ms == INFINITE) return ms;
    double scaled = ms * factor;
    return scaled < double(INFINITE - 1) ? DWORD(scaled) : INFINITE - 1;
}

void Pause(DWORD ms) { Sleep(Span(ms)); }

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- Paths, folders and files

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string WinPath(const std::string& unixPath) {
    std::string out = "Z:";
    for (char c : unixPath) out += c == '/' ? '\\' : c;
    return out;
}

std::string UnixPath(const std::string& winPath) {
    std::string out;
    for (char c : winPath.substr(winPath.compare(0, 2, "Z:") == 0 || winPath.compare(0, 2, "z:") == 0 ? 2 : 0))
        out += c == '\\' ? '/' : c;
    return out;
}

namespace {

// Wide, so that names the ANSI code page cannot hold (some tests make them)
// go as well: a rerun starts from an empty folder.
void RemoveTreeW(const std::wstring& base) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = base + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTreeW(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SetFileAttributesW(base.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(base.c_str());
}

}  // namespace

void RemoveTree(const std::string& path) {
    std::string base = path;
    if (!base.empty() && base.back() == '\\') base.pop_back();
    std::wstring wide(base.size(), L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, base.data(), int(base.size()), wide.data(), int(wide.size()))));
    if (!wide.empty()) RemoveTreeW(wide);
}

void MakeFolders(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

std::string FreshFolder(const std::string& name) {
    std::string work = Env("TW_WORK");
    EXPECT_FALSE(work.empty()) << "TW_WORK is not set";
    std::string folder = WinPath(work) + "\\" + name;
    RemoveTree(folder);
    MakeFolders(folder);
    return folder + "\\";
}

std::string InstallProgram(const std::string& folder) {
    std::string target = folder + "tarnwick.exe";
    EXPECT_TRUE(CopyFileA(WinPath(Env("TW_EXE")).c_str(), target.c_str(), FALSE)) << "copy the program to " << target;
    return target;
}

std::string ToolPath(const std::string& exeName) { return WinPath(Env("TW_TOOLS")) + "\\" + exeName; }

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(f);
    return ok;
}

void MakeSources(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        MakeFolders(FolderOf(path));
        EXPECT_TRUE(WriteBytes(path, "; source\r\n")) << path;
    }
}

bool ReadBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(f);
    return true;
}

std::string Bytes(const std::string& path) {
    std::string bytes;
    ReadBytes(path, bytes);
    return bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {
void ListInto(const std::string& folder, const std::string& prefix, bool deep, std::vector<std::string>& out) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        out.push_back(prefix + name);
        if (deep && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ListInto(folder + name + "\\", prefix + name + "\\", deep, out);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}
}  // namespace

std::vector<std::string> Listing(const std::string& folder, bool deep) {
    std::vector<std::string> out;
    ListInto(folder, "", deep, out);
    std::sort(out.begin(), out.end());
    return out;
}

// ---- Processes

Process::Process(Process&& o) noexcept : process_(o.process_), id_(o.id_) {
    o.process_ = nullptr;
    o.id_ = 0;
}
Process& Process::operator=(Process&& o) noexcept {
    std::swap(process_, o.process_);
    std::swap(id_, o.id_);
    return *this;
}
Process::~Process() { if (process_) CloseHandle(process_); }
long Process::Wait(DWORD ms) {
    if (!process_ || WaitForSingleObject(process_, Span(ms)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return long(code);
}
bool Process::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
void Process::Kill() {
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, Span(5000));
    }
}

Process Start(const std::string& exe, const std::string& args, const std::string& cwd) {
    std::string line = "\"" + exe + "\"";
    if (!args.empty()) line += " " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    Process p;
    if (CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        p.process_ = pi.hProcess;
        p.id_ = pi.dwProcessId;
    }
    return p;
}

std::vector<DWORD> ProcessesNamed(const std::string& exeName) {
    std::vector<DWORD> ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        std::string file = entry.szExeFile;
        file = file.substr(file.rfind('\\') + 1);
        if (lstrcmpiA(file.c_str(), exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snap);
    return ids;
}

Watched WatchUntilEnd(Process& process, DWORD ms) {
    Watched seen;
    WaitFor([&] {
        if (!TopWindows(process.Id()).empty()) seen.sawWindow = true;
        return !process.Running();
    }, ms, 5);
    seen.exitCode = process.Wait(0);
    return seen;
}

long RunUnix(const std::string& commandLine, DWORD ms) {
    // Wine starts Unix programs given by their Unix path, but hands back no
    // process handle to wait on: a shell runs the command and leaves its exit
    // code in a file, which appears whole (renamed) when the command is done.
    static unsigned serial = 0;
    std::string work = Env("TW_WORK");
    std::string status = (work.empty() ? std::string("/tmp") : work) + "/unix-run-" +
                         std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    std::string line = "/bin/sh -c \"" + commandLine + "; echo $? > '" + status + ".part' && mv '" + status +
                       ".part' '" + status + "'\"";
    // Wine reuses process ids: a run that timed out may have left this name.
    DeleteFileA(WinPath(status).c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    std::string text;
    if (!WaitFor([&] { return ReadBytes(WinPath(status), text); }, ms)) return -1;
    DeleteFileA(WinPath(status).c_str());
    return std::atol(text.c_str());
}

long RunTestUnderShim(const std::string& shim, DWORD ms) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return RunUnix("LD_PRELOAD='" + Env("TW_TOOLS") + "/$LIB/libtw_" + shim + ".so' TW_UNDER_SHIM=1 " +
                       Env("TW_WINE") + " '" + self + "' --gtest_filter=" + test->test_suite_name() + "." +
                       test->name(),
                   ms);
}

// ---- Windows of other processes

namespace {
struct EnumCtx {
    DWORD pid;
    const char* cls;
    bool visibleOnly;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<EnumCtx*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ctx->pid) return TRUE;
    if (ctx->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    if (ctx->cls && ClassName(hwnd) != ctx->cls) return TRUE;
    ctx->found.push_back(hwnd);
    return TRUE;
}

struct FindCtx {
    const char* cls;
    HWND found;
};
BOOL CALLBACK FindChildOfClass(HWND hwnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<FindCtx*>(lp);
    if (ClassName(hwnd) == ctx->cls) {
        ctx->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::vector<HWND> TopWindows(DWORD processId, const char* className, bool visibleOnly) {
    EnumCtx ctx{processId, className, visibleOnly, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND WaitWindow(DWORD processId, const char* className, DWORD ms) {
    HWND found = nullptr;
    WaitFor([&] {
        auto all = TopWindows(processId, className);
        found = all.empty() ? nullptr : all.front();
        return found != nullptr;
    }, ms);
    return found;
}

HWND FindTopWindow(DWORD processId, const char* className) {
    auto all = TopWindows(processId, className, false);
    return all.empty() ? nullptr : all.front();
}

bool WaitGone(HWND hwnd, DWORD ms) {
    return WaitFor([&] { return !IsWindow(hwnd); }, ms);
}

bool Settle(HWND hwnd, DWORD ms) {
    // A sent message is answered only from the owner's message loop.
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_BLOCK, Span(ms), &result) != 0;
}

std::string WindowText(HWND hwnd) {
    // Cross-process WM_GETTEXT is marshalled; ask in UTF-16 and convert to the
    // ANSI code page so byte comparisons with Windows-1252 texts hold.
    int n = int(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring w(size_t(n) + 1, L'\0');
    n = int(SendMessageW(hwnd, WM_GETTEXT, WPARAM(w.size()), reinterpret_cast<LPARAM>(w.data())));
    w.resize(size_t(n > 0 ? n : 0));
    if (w.empty()) return {};
    int len = WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(len), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), out.data(), len, nullptr, nullptr);
    return out;
}

std::string ClassName(HWND hwnd) {
    char buf[256] = {};
    GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

bool SameClass(const std::string& a, const char* b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b, -1) == CSTR_EQUAL;
}

RECT WindowRectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT ClientRectOnScreen(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT RectInParent(HWND child) {
    RECT r = WindowRectOf(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND FindDescendant(HWND parent, const char* className) {
    FindCtx ctx{className, nullptr};
    EnumChildWindows(parent, FindChildOfClass, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

WindowState StateOf(HWND hwnd) {
    WindowState s;
    s.exists = hwnd && IsWindow(hwnd);
    if (s.exists) {
        s.visible = IsWindowVisible(hwnd) != 0;
        s.enabled = IsWindowEnabled(hwnd) != 0;
    }
    return s;
}

bool WaitForeground(HWND hwnd, DWORD ms) {
    return WaitFor([&] { return GetForegroundWindow() == hwnd; }, ms);
}

bool FocusWindow(HWND hwnd) {
    SetForegroundWindow(hwnd);
    return WaitForeground(hwnd, 3000);
}

HWND FocusOfThreadOf(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool WaitFocus(HWND hwnd, DWORD ms) {
    return WaitFor([&] { return FocusOfThreadOf(hwnd) == hwnd; }, ms);
}

std::vector<ChildInfo> Children(HWND parent) {
    std::vector<ChildInfo> out;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ChildInfo c;
        c.hwnd = child;
        c.className = ClassName(child);
        c.id = GetDlgCtrlID(child);
        c.text = WindowText(child);
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&c.rect), 2);
        c.style = GetWindowLongA(child, GWL_STYLE);
        c.exStyle = GetWindowLongA(child, GWL_EXSTYLE);
        out.push_back(c);
    }
    return out;
}

int EditLength(HWND edit) { return int(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0)); }

void EditSelection(HWND edit, int* start, int* end) {
    // With null pointers EM_GETSEL answers in its result (16 bits each), so
    // nothing needs marshalling into the other process.
    DWORD sel = DWORD(SendMessageA(edit, EM_GETSEL, 0, 0));
    *start = LOWORD(sel);
    *end = HIWORD(sel);
}

// ---- Real input

void KeyTap(WORD vk, WORD modifier) {
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.wScan = WORD(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (modifier) key(modifier, false);
    key(vk, false);
    key(vk, true);
    if (modifier) key(modifier, true);
    SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
    Pause(30);
}

void TypeText(const std::string& text) {
    for (char c : text) {
        SHORT vk = VkKeyScanA(c);
        if (vk == -1) continue;
        KeyTap(LOBYTE(vk), (HIBYTE(vk) & 1) ? VK_SHIFT : 0);
    }
}

namespace {
// Where and when the last click of this process went.
struct LastClick {
    bool any = false;
    POINT at{};
    DWORD tick = 0;
} gLastClick;

// The system pairs two clicks into a double-click when the second comes
// within the double-click time and rectangle of the first.
void KeepApartFromLastClick(int x, int y) {
    if (!gLastClick.any || std::abs(x - gLastClick.at.x) > GetSystemMetrics(SM_CXDOUBLECLK) ||
        std::abs(y - gLastClick.at.y) > GetSystemMetrics(SM_CYDOUBLECLK))
        return;
    const DWORD apart = GetDoubleClickTime() + 50, since = GetTickCount() - gLastClick.tick;
    if (since < apart) Pause(apart - since);
}

void Click(DWORD down, DWORD up, int x, int y, bool twice) {
    KeepApartFromLastClick(x, y);
    SetCursorPos(x, y);
    Pause(30);
    for (int n = 0; n < (twice ? 2 : 1); ++n) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = down;
        in[1].mi.dwFlags = up;
        SendInput(2, in, sizeof(INPUT));
        Pause(40);
    }
    gLastClick = {true, {x, y}, GetTickCount()};
    Pause(60);
}
}  // namespace

void ClickAt(int x, int y, bool twice) { Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, x, y, twice); }

void RightClickAt(int x, int y, bool twice) { Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, x, y, twice); }

void ClickWindow(HWND hwnd, bool twice) {
    RECT r = WindowRectOf(hwnd);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, twice);
}

// ---- The system

namespace {
std::string DosDevice(char letter) {
    std::string prefix = Env("WINEPREFIX");
    if (prefix.empty()) prefix = Env("HOME") + "/.wine";
    return prefix + "/dosdevices/" + char(letter | 0x20) + ":";
}
}  // namespace

bool MapDrive(char letter, const std::string& folder) {
    // Wine reaches a drive's files through the prefix's dosdevices link but
    // counts the drives (GetLogicalDrives) from the wineserver's device
    // names, which the link does not update while the server runs: both are made.
    std::string target = UnixPath(folder);
    while (target.size() > 1 && target.back() == '/') target.pop_back();
    if (RunUnix("/bin/ln -sfn '" + target + "' '" + DosDevice(letter) + "'") != 0) return false;
    const char device[] = {letter, ':', 0};
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, device, nullptr);
    return DefineDosDeviceA(0, device, folder.c_str()) != 0;
}

void UnmapDrive(char letter) {
    const char device[] = {letter, ':', 0};
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, device, nullptr);
    RunUnix("/bin/rm -f '" + DosDevice(letter) + "'");
}

bool SetClassesRootDefault(const std::string& key, const std::string& text, DWORD type) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(k, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                             DWORD(text.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

void DeleteClassesRootTree(const std::string& key) {
    // RegDeleteTree is Vista+; delete the leaves first by hand.
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | KEY_WRITE, &k) == ERROR_SUCCESS) {
        char sub[512];
        for (;;) {
            DWORD n = sizeof sub;
            if (RegEnumKeyExA(k, 0, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            DeleteClassesRootTree(key + "\\" + sub);
        }
        RegCloseKey(k);
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
}

std::vector<DWORD> ScreenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + w * h);
    for (DWORD& p : pixels) p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void Screenshot(const std::string& name) {
    std::string work = Env("TW_WORK");
    if (work.empty()) return;
    MakeFolders(WinPath(work + "/screenshots"));
    // Through the shell, which says when the picture is written: a Unix
    // program started from Wine gives no handle to wait for its end.
    RunUnix("/usr/bin/import -window root '" + work + "/screenshots/" + name + ".png'", 10000);
}

}  // namespace drv
