#include "driver/driver.h"
#include "driver/remote_buffer.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdlib>

namespace drv {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

DWORD Scaled(DWORD ms) {
    static const double factor = [] {
        double f = std::atof(Env("TW_TIME_SCALE").c_str());
        return f > 0 ? f : 1.0;
    }();
    if (ms == INFINITE) return ms;
    double scaled = ms * factor;
    return scaled < double(INFINITE - 1) ? DWORD(scaled) : INFINITE - 1;
}

std::string WinPath(const std::string& unixPath) {
    std::string out = "Z:";
    for (char c : unixPath) out += c == '/' ? '\\' : c;
    return out;
}

void RemoveTree(const std::string& path) {
    std::string base = path;
    if (!base.empty() && base.back() == '\\') base.pop_back();
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((base + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = base + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    SetFileAttributesA(base.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(base.c_str());
}

static void MakeFolders(const std::string& path) {
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

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(f);
    return ok;
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

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Process::Process(Process&& o) noexcept : process_(o.process_), id_(o.id_) {
    o.process_ = nullptr;
    o.id_ = 0;
}
Process& Process::operator=(Process&& o) noexcept {
    std::swap(process_, o.process_);
    std::swap(id_, o.id_);
    return *this;
}
Process::~Process() {
    if (process_) CloseHandle(process_);
}
long Process::Wait(DWORD ms) {
    if (!process_ || WaitForSingleObject(process_, Scaled(ms)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return long(code);
}
bool Process::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
void Process::Kill() {
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, Scaled(5000));
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

WindowState StateOf(HWND hwnd) {
    WindowState s;
    s.exists = hwnd && IsWindow(hwnd);
    if (s.exists) {
        s.visible = IsWindowVisible(hwnd) != 0;
        s.enabled = IsWindowEnabled(hwnd) != 0;
    }
    return s;
}

HWND FindTopWindow(DWORD processId, const char* className) {
    auto all = TopWindows(processId, className, false);
    return all.empty() ? nullptr : all.front();
}

bool WaitGone(HWND hwnd, DWORD ms) {
    return WaitFor([&] { return !IsWindow(hwnd); }, ms);
}

bool WaitForeground(HWND hwnd, DWORD ms) {
    return WaitFor([&] { return GetForegroundWindow() == hwnd; }, ms);
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

namespace {
// The pixels of a 32 x 32 square: from the screen at (x, y), or of `icon`
// drawn on the dialog background. Icon handles are per process in Wine, so
// the box's icon is recognised by its picture.
std::string Pixels(int x, int y, HICON icon) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    if (icon) {
        RECT r{0, 0, 32, 32};
        FillRect(mem, &r, GetSysColorBrush(COLOR_3DFACE));
        DrawIconEx(mem, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    } else {
        BitBlt(mem, 0, 0, 32, 32, screen, x, y, SRCCOPY);
    }
    GdiFlush();
    std::string out(static_cast<const char*>(bits), 32 * 32 * 4);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}
}  // namespace

MessageBoxInfo WaitMessageBox(DWORD processId, DWORD ms) {
    return ReadMessageBox(WaitWindow(processId, "#32770", ms));
}

MessageBoxInfo WaitMessageBoxTitled(DWORD processId, const std::string& title, DWORD ms) {
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND hwnd : TopWindows(processId, "#32770"))
            if (WindowText(hwnd) == title) found = hwnd;
        return found != nullptr;
    }, ms);
    return ReadMessageBox(found);
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.hwnd = box;
    if (!info.hwnd) return info;
    WaitFor([&] { return IsWindowVisible(info.hwnd) && GetDlgItem(info.hwnd, 0xFFFF); }, 2000);
    info.title = WindowText(info.hwnd);
    info.text = WindowText(GetDlgItem(info.hwnd, 0xFFFF));
    info.hasOk = GetDlgItem(info.hwnd, IDOK) != nullptr;
    info.hasYes = GetDlgItem(info.hwnd, IDYES) != nullptr;
    info.hasNo = GetDlgItem(info.hwnd, IDNO) != nullptr;
    info.hasCancel = GetDlgItem(info.hwnd, IDCANCEL) != nullptr && !info.hasOk;
    // The icon control holds one of the shared system icons (id 20 on
    // Windows, 1088 in Wine's template).
    HWND iconCtl = GetDlgItem(info.hwnd, 20);
    if (!iconCtl) iconCtl = GetDlgItem(info.hwnd, 1088);
    if (iconCtl) {
        const struct { LPCSTR id; int flag; } kIcons[] = {
            {IDI_HAND, 16}, {IDI_QUESTION, 32}, {IDI_EXCLAMATION, 48}, {IDI_ASTERISK, 64}};
        WaitFor([&] {
            RECT r = WindowRectOf(iconCtl);
            std::string shown = Pixels(r.left, r.top, nullptr);
            for (const auto& k : kIcons)
                if (shown == Pixels(0, 0, LoadIconA(nullptr, k.id))) info.icon = k.flag;
            return info.icon != 0;
        }, 3000);
    }
    return info;
}

void PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button) PostMessageA(button, BM_CLICK, 0, 0);
}

void KeyTap(WORD vk, bool shift) {
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.wScan = WORD(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (shift) key(VK_SHIFT, false);
    key(vk, false);
    key(vk, true);
    if (shift) key(VK_SHIFT, true);
    SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
    Sleep(Scaled(30));
}

void TypeText(const std::string& text) {
    for (char c : text) {
        SHORT vk = VkKeyScanA(c);
        if (vk == -1) continue;
        KeyTap(LOBYTE(vk), (HIBYTE(vk) & 1) != 0);
    }
}

void ClickAt(int x, int y, bool twice) {
    SetCursorPos(x, y);
    Sleep(Scaled(30));
    for (int n = 0; n < (twice ? 2 : 1); ++n) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
        Sleep(Scaled(40));
    }
    Sleep(Scaled(60));
}

void RightClickAt(int x, int y, bool twice) {
    SetCursorPos(x, y);
    Sleep(Scaled(30));
    for (int n = 0; n < (twice ? 2 : 1); ++n) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
        SendInput(2, in, sizeof(INPUT));
        Sleep(Scaled(40));
    }
    Sleep(Scaled(60));
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

std::string UnixPath(const std::string& winPath) {
    std::string out;
    for (char c : winPath.substr(winPath.compare(0, 2, "Z:") == 0 || winPath.compare(0, 2, "z:") == 0 ? 2 : 0))
        out += c == '\\' ? '/' : c;
    return out;
}

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

void ClickWindow(HWND hwnd, bool twice) {
    RECT r = WindowRectOf(hwnd);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, twice);
}

bool FocusWindow(HWND hwnd) {
    SetForegroundWindow(hwnd);
    return WaitFor([&] { return GetForegroundWindow() == hwnd; }, 3000);
}

namespace {
constexpr size_t kRemoteText = 0x40000;  // room for a text after the structure
}  // namespace

int ListViewCount(HWND list) { return int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int ListViewSelected(HWND list) { return int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); }

std::string ListViewText(HWND list, int row, int column) {
    RemoteBuffer remote(list, 256 + kRemoteText);
    if (!remote) return {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remote.At(256);
    item.cchTextMax = int(kRemoteText);
    char zero = 0;
    remote.Write(256, &zero, 1);
    remote.Write(0, &item, sizeof item);
    int n = int(SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(remote.At(0))));
    std::string text(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) remote.Read(256, text.data(), text.size());
    return text;
}

std::string ListViewColumnTitle(HWND list, int column) {
    RemoteBuffer remote(list, 256 + 1024);
    if (!remote) return {};
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = remote.At(256);
    col.cchTextMax = 1024;
    remote.Write(0, &col, sizeof col);
    if (!SendMessageA(list, LVM_GETCOLUMNA, WPARAM(column), reinterpret_cast<LPARAM>(remote.At(0)))) return {};
    char buf[1025] = {};
    remote.Read(256, buf, 1024);
    return buf;
}

RECT ListViewRowRect(HWND list, int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    RemoteBuffer remote(list, sizeof r);
    if (!remote || !remote.Write(0, &r, sizeof r) ||
        !SendMessageA(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(remote.At(0))) ||
        !remote.Read(0, &r, sizeof r))
        return RECT{};
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<std::string> ListBoxItems(HWND listBox) {
    // Wine answers a cross-process LB_GETTEXTA in UTF-16: ask for UTF-16 and convert.
    std::vector<std::string> items;
    int count = int(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int n = int(SendMessageW(listBox, LB_GETTEXTLEN, WPARAM(i), 0));
        std::wstring w(size_t(n > 0 ? n : 0) + 1, L'\0');
        n = int(SendMessageW(listBox, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(w.data())));
        w.resize(size_t(n > 0 ? n : 0));
        int len = WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
        std::string out(size_t(len), '\0');
        WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), out.data(), len, nullptr, nullptr);
        items.push_back(out);
    }
    return items;
}

RECT RectInParent(HWND child) {
    RECT r = WindowRectOf(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Screenshot(const std::string& name) {
    std::string work = Env("TW_WORK");
    if (work.empty()) return;
    std::string dir = work + "/screenshots";
    MakeFolders(WinPath(dir));
    // Wine starts Unix programs given by their Unix path.
    std::string line = "/usr/bin/import -window root " + dir + "/" + name + ".png";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, Scaled(10000));
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
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

// Shell shortcuts, the shell, processes and the registry.

ShortcutInfo ReadShortcut(const std::string& lnkPath) {
    ShortcutInfo info;
    HRESULT init = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(lnkPath.size() + 1, L'\0');
            MultiByteToWideChar(CP_ACP, 0, lnkPath.c_str(), -1, wide.data(), int(wide.size()));
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
                info.loaded = true;
                char buf[4096];
                auto take = [&](HRESULT hr) { return SUCCEEDED(hr) ? std::string(buf) : std::string(); };
                buf[0] = 0;
                info.target = take(link->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH));
                buf[0] = 0;
                info.arguments = take(link->GetArguments(buf, sizeof buf));
                buf[0] = 0;
                info.directory = take(link->GetWorkingDirectory(buf, sizeof buf));
                buf[0] = 0;
                info.description = take(link->GetDescription(buf, sizeof buf));
                link->GetShowCmd(&info.showCommand);
                link->GetHotkey(&info.hotKey);
                buf[0] = 0;
                info.iconFile = take(link->GetIconLocation(buf, sizeof buf, &info.iconIndex));
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return info;
}

bool OpenThroughShell(const std::string& path, const std::string& directory) {
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS;
    sei.lpVerb = "open";
    sei.lpFile = path.c_str();
    sei.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&sei)) return false;
    if (sei.hProcess) CloseHandle(sei.hProcess);
    return true;
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

bool SetClassesRootDefault(const std::string& key, const std::string& text) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
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

namespace {

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

HWND FindDescendant(HWND parent, const char* className) {
    FindCtx ctx{className, nullptr};
    EnumChildWindows(parent, FindChildOfClass, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

std::vector<std::string> ListViewColumn(HWND list, int column) {
    std::vector<std::string> rows;
    int n = ListViewCount(list);
    for (int i = 0; i < n; ++i) rows.push_back(ListViewText(list, i, column));
    return rows;
}

bool ListBoxInsert(HWND listBox, int index, const std::string& text) {
    // The string of LB_INSERTSTRING is marshalled to the other process.
    LRESULT at = SendMessageA(listBox, LB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text.c_str()));
    return at != LB_ERR && at != LB_ERRSPACE;
}

}  // namespace drv
