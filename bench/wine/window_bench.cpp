// The main window under Wine, each figure against a bare Win32 baseline
// measured alternately in the same run:
//  - start to idle with 1,000 projects: from process start until the project
//    list answers from the program's event loop with all its rows, against
//    bare_list_window.exe in two forms: one window with the report list and a
//    folder tree filled as the program's is at its start (the floor: the
//    shell's image list and icons cost the same in any such window), and
//    with the report list alone;
//  - refresh of 10,000 projects: clearing the project list and
//    RefreshProjectList, against filling the same rows into a bare report list.
// Both baselines fill their list with drawing held, as a careful Win32
// program does; without that Wine redraws the scroll bars on every insert.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench/wine/bench_util.h"
#include "projects/core/store_text.h"
#include "support/gadgets.h"
#include "support/shell_link.h"
#include "support/window.h"

namespace {

using namespace bench;

std::string ProjectFile(int count) {
    std::string file;
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        file += "Project " + n + "\xBF" "C:\\PureBasic\\PureBasic.exe \"C:\\src\\p" + n + "\\main.pb\" \"C:\\src\\p" +
                n + "\\inc.pbi\" \r\n";
    }
    return file;
}

struct Row {
    std::string name, files;
};

// The shortcuts of the first `count` projects of ProjectFile in
// `work`Projects, as the program makes them when it runs as `program`.
void WriteShortcuts(const std::string& work, const std::string& program, int count) {
    CreateDirectoryA((work + "Projects").c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string name = "Project " + std::to_string(i);
        CreateShellLink(program, work + "Projects\\" + name + ".lnk", "\"" + name + "\"", "PureBASIC Project",
                        Dir(program), SW_HIDE, 0, "%SystemRoot%\\system32\\SHELL32.dll", 169);
    }
}

std::string gLastShortcut;  // the shortcut a rewrite reaches last
std::string gProgram;

// Whether the last project's shortcut names `gProgram` again.
bool LastShortcutFollows() {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = {};
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring wide(gLastShortcut.begin(), gLastShortcut.end());
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        file->Release();
    }
    link->Release();
    return lstrcmpiA(target, gProgram.c_str()) == 0;
}

std::vector<Row> RowsOf(const std::string& file) {
    std::vector<Row> rows;
    for (const StoreLine& line : SplitStoreLines(file)) {
        std::string text = ProjectRowText(line.text);
        size_t lf = text.find('\n');
        rows.push_back({text.substr(0, lf), text.substr(lf + 1)});
    }
    return rows;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct FindCtx {
    DWORD pid;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<FindCtx*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == ctx->pid && IsWindowVisible(hwnd) && lstrcmpA(cls, ctx->cls) == 0) {
        ctx->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// What happens after the window is idle: for `watchMs`, how late the
// program answers a message sent every few milliseconds (the longest wait),
// and when `until` first held (-1: never), both from the moment it was idle.
struct AfterIdle {
    double watchMs = 0;
    bool (*until)() = nullptr;
    double longestAnswerMs = 0;
    double untilMs = -1;
};

// Starts the program and waits until its report list (control 2 of its window
// of class `cls`) answers with `rows` rows: a sent message is answered only
// once the program takes messages again. Returns the milliseconds, or -1.
double StartToIdle(const std::string& exe, const std::string& cwd, const char* cls, int rows,
                   const std::string& args = "", AfterIdle* after = nullptr) {
    std::string line = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    double start = NowMs();
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, cwd.c_str(),
                        &si, &pi))
        return -1;
    double result = -1;
    FindCtx ctx{pi.dwProcessId, cls, nullptr};
    while (NowMs() - start < 30000) {
        if (!ctx.found) EnumWindows(FindTop, reinterpret_cast<LPARAM>(&ctx));
        HWND list = ctx.found ? GetDlgItem(ctx.found, 2) : nullptr;
        DWORD_PTR count = 0;
        if (list && SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 30000, &count) &&
            int(count) == rows) {
            result = NowMs() - start;
            break;
        }
        Sleep(1);
    }
    if (after && result >= 0) {
        HWND list = GetDlgItem(ctx.found, 2);
        const double idle = NowMs();
        while (NowMs() - idle < after->watchMs) {
            const double sent = NowMs();
            DWORD_PTR count = 0;
            SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 30000, &count);
            after->longestAnswerMs = std::max(after->longestAnswerMs, NowMs() - sent);
            if (after->until && after->untilMs < 0 && after->until()) after->untilMs = NowMs() - idle;
            Sleep(2);
        }
    }
    if (ctx.found) PostMessageA(ctx.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

HWND BareList(HWND parent) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", 0x50010041 | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 20,
                                220, 520, 160, parent, reinterpret_cast<HMENU>(2), nullptr, nullptr);
    SendMessageA(list, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<char*>("Name");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = 350;
    column.pszText = const_cast<char*>("Files");
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    return list;
}

void FillBare(HWND list, std::vector<Row>& rows) {
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = int(i);
        item.pszText = rows[i].name.data();
        int index = int(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        item.iSubItem = 1;
        item.pszText = rows[i].files.data();
        SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: window_bench <tarnwick.exe> <work folder> [runs] [another tarnwick.exe]\n");
        return 2;
    }
    const std::string work = std::string(argv[2]) + "\\";
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA((work + "Data").c_str(), nullptr);
    const std::string program = work + "tarnwick.exe";
    const std::string bare = SelfDir() + "bare_list_window.exe";
    CopyFileA(argv[1], program.c_str(), FALSE);
    // Another build of the program, in the same folder so that it reads the same list.
    const std::string other = argc > 4 ? work + "tarnwick-other.exe" : "";
    if (!other.empty()) CopyFileA(argv[4], other.c_str(), FALSE);
    CoInitialize(nullptr);

    // ---- Start to idle, 1,000 projects and their shortcuts
    WriteShortcuts(work, program, 1000);
    std::string thousand = ProjectFile(1000);
    WriteFileBytes(work + "Data\\Projects.twp", thousand);
    WriteFileBytes(work + "Language.ini", "[Language]\r\nLanguage = 0\r\n");
    std::string rowsText;
    for (const Row& r : RowsOf(thousand)) rowsText += r.name + "\t" + r.files + "\n";
    WriteFileBytes(work + "rows.txt", rowsText);
    std::vector<double> ours, floor, listOnly, others;
    StartToIdle(program, work, "WindowClass_0", 1000);  // warm the caches once
    StartToIdle(bare, work, "BareListWindow", 1000, "tree");
    StartToIdle(bare, work, "BareListWindow", 1000);
    for (int i = 0; i < runs; ++i) {
        ours.push_back(StartToIdle(program, work, "WindowClass_0", 1000));
        floor.push_back(StartToIdle(bare, work, "BareListWindow", 1000, "tree"));
        listOnly.push_back(StartToIdle(bare, work, "BareListWindow", 1000));
        if (!other.empty()) others.push_back(StartToIdle(other, work, "WindowClass_0", 1000));
    }
    double o = Median(ours), b = Median(floor), l = Median(listOnly);
    std::printf("start to idle with 1,000 projects and their shortcuts, %d alternating runs, medians:\n", runs);
    std::printf("  tarnwick.exe                   %7.1f ms\n", o);
    std::printf("  bare window, tree, report list %7.1f ms\n", b);
    std::printf("  bare window with report list   %7.1f ms\n", l);
    std::printf("  ratio to the floor with the tree %.2f (goal <= 1.15), to the list alone %.2f\n", o / b, o / l);
    if (!other.empty())
        std::printf("  %s %7.1f ms; ratio of tarnwick.exe to it %.3f\n", argv[4], Median(others), o / Median(others));

    // ---- The shortcuts after the program's folder moved: 100 of them name
    // another program. After the window is idle: how long until the last of
    // them is written again, and the longest the window takes to answer
    // meanwhile (and with every shortcut right, and for the other build).
    gProgram = program;
    gLastShortcut = work + "Projects\\Project 99.lnk";
    WriteShortcuts(work, "C:\\Old Place\\tarnwick.exe", 100);
    AfterIdle moved{5000, LastShortcutFollows};
    const double movedIdle = StartToIdle(program, work, "WindowClass_0", 1000, "", &moved);
    AfterIdle still{2000, nullptr}, otherStill{2000, nullptr};
    StartToIdle(program, work, "WindowClass_0", 1000, "", &still);
    std::printf("100 of the shortcuts naming another program, one run:\n");
    std::printf("  start to idle %7.1f ms; all written again %7.1f ms after it (-1: not within 5 s)\n", movedIdle,
                moved.untilMs);
    std::printf("  longest answer of the window meanwhile %5.1f ms; with every shortcut right %5.1f ms\n",
                moved.longestAnswerMs, still.longestAnswerMs);
    if (!other.empty()) {
        StartToIdle(other, work, "WindowClass_0", 1000, "", &otherStill);
        std::printf("  %s: longest answer %5.1f ms\n", argv[4], otherStill.longestAnswerMs);
    }

    // ---- Refresh of 10,000 projects, in this process
    std::string tenThousand = ProjectFile(10000);
    WriteFileBytes(work + "Data\\Projects.twp", tenThousand);
    SetCurrentDirectoryA(work.c_str());
    std::vector<Row> rows = RowsOf(tenThousand);
    WinLayerInit(GetModuleHandleA(nullptr));
    GadgetLayerInit();
    HWND mainWindow = WinOpen(0, 448, 322, 570, 420, 0xCA0000, "Tarnwick");
    GadgetListUse(mainWindow);
    GadListIcon(kGadgetProjectList, 20, 220, 520, 160, "Projektname", 120, 0x40010008);
    GadAddColumn(kGadgetProjectList, 1, "Dateien", 350);
    HWND bareWindow = WinOpen(1, 0, 0, 570, 420, 0xCA0000, "Bare");
    HWND bareList = BareList(bareWindow);
    Pump();
    std::vector<double> refresh, fill;
    for (int i = 0; i <= runs; ++i) {
        double t0 = NowMs();
        GadClearItems(kGadgetProjectList);
        RefreshProjectList();
        Pump();
        UpdateWindow(mainWindow);
        double t1 = NowMs();
        FillBare(bareList, rows);
        Pump();
        UpdateWindow(bareWindow);
        double t2 = NowMs();
        if (i == 0) continue;  // warm-up
        refresh.push_back(t1 - t0);
        fill.push_back(t2 - t1);
    }
    if (GadCountItems(kGadgetProjectList) != 10000 || SendMessageA(bareList, LVM_GETITEMCOUNT, 0, 0) != 10000)
        std::printf("  (row counts differ from 10,000: the figures below are void)\n");
    double r = Median(refresh), f = Median(fill);
    std::printf("refresh of 10,000 projects, %d alternating runs, medians:\n", runs);
    std::printf("  clear + RefreshProjectList     %7.1f ms\n", r);
    std::printf("  bare report list fill          %7.1f ms\n", f);
    std::printf("  ratio %.2f (goal <= 1.20)\n", r / f);
    WinCloseAll();
    return 0;
}
