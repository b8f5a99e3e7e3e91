// A stand-in application for the dialog and language tests. It shows a window
// of its own (plus a hidden one and a disabled one), then works through the
// requests on its command line and writes what came back into files:
//   dialog_host.exe <out folder> <request>...
//   lang            ReadLanguageSetting; lang.txt = "<language>\n<text of "Beenden">"
//   ask[=<file>]    DlgAskText with the default text read from <out folder>\<file>;
//                   ask<n>.txt = the result
//   box=<flags>     DlgMessageBox("Info", "Message <n>", flags); box<n>.txt = the result
// After request n, state<n>.txt holds the state of the three windows and of
// the dialog class; inside<n>.txt what the host saw of the dialog when the
// test posted WM_APP to its window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "app/state.h"
#include "support/dialogs.h"
#include "support/program.h"

namespace {

std::string gOut;
int gRequest = 0;
HWND gMain = nullptr, gHidden = nullptr, gDisabled = nullptr;

// Written under another name and then renamed: the test polls for the file
// and must never find it open or half written.
void WriteOut(const std::string& name, const std::string& bytes) {
    const std::string part = gOut + name + ".part";
    HANDLE f = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(f);
    MoveFileExA(part.c_str(), (gOut + name).c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string ReadIn(const std::string& name) {
    std::string bytes;
    HANDLE f = CreateFileA((gOut + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) bytes.append(buf, got);
    CloseHandle(f);
    return bytes;
}

// "VE": visible and enabled; a dash for each that does not hold.
std::string Flags(HWND hwnd) {
    std::string s;
    s += IsWindowVisible(hwnd) ? 'V' : '-';
    s += IsWindowEnabled(hwnd) ? 'E' : '-';
    return s;
}

std::string Windows() {
    return "main=" + Flags(gMain) + " hidden=" + Flags(gHidden) + " disabled=" + Flags(gDisabled);
}

std::string Name(HWND hwnd) {
    if (!hwnd) return "none";
    if (hwnd == gMain) return "main";
    return "other";
}

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lp) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId() && IsWindowVisible(hwnd) &&
        (lstrcmpA(cls, "InputRequester") == 0 || lstrcmpA(cls, "#32770") == 0)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// What only the dialog's own process can see: the owner, the fonts, the
// class. The test asks for it with WM_APP once the dialog is up; the modal
// loops of both dialogs dispatch posted messages to the other windows.
void LookInside() {
    HWND dialog = nullptr;
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    std::string s = Windows() + "\nowner=" + Name(GetWindow(dialog, GW_OWNER)) + "\n";
    char cls[64] = {};
    GetClassNameA(dialog, cls, sizeof cls);
    if (lstrcmpA(cls, "InputRequester") == 0) {
        HGDIOBJ stock = GetStockObject(ANSI_VAR_FONT);
        bool fonts = true;
        for (int id : {0, 10, 1000})
            fonts = fonts && HGDIOBJ(SendMessageA(GetDlgItem(dialog, id), WM_GETFONT, 0, 0)) == stock;
        s += std::string("fonts=") + (fonts ? "stock" : "other") + "\n";
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        if (GetClassInfoExA(GetModuleHandleA(nullptr), "InputRequester", &wc)) {
            LOGBRUSH brush{};
            GetObjectA(wc.hbrBackground, sizeof brush, &brush);
            char line[200];
            std::snprintf(line, sizeof line, "style=%u icon=%d cursor=%d menu=%d brush=%d\n", unsigned(wc.style),
                          wc.hIcon != nullptr, wc.hCursor == LoadCursorA(nullptr, IDC_ARROW),
                          wc.lpszMenuName != nullptr,
                          brush.lbStyle == BS_SOLID && brush.lbColor == GetSysColor(COLOR_BTNFACE));
            s += line;
        }
        s += std::string("focus=") + (GetFocus() == GetDlgItem(dialog, 10) ? "edit" : "other") + "\n";
    }
    WriteOut("inside" + std::to_string(gRequest) + ".txt", s);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
        LookInside();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeWindow(const char* cls, const char* title, DWORD style, int x) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, title, WS_OVERLAPPEDWINDOW | style, x, 10, 200, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

void Run(const std::string& request) {
    std::string n = std::to_string(gRequest);
    if (request == "lang") {
        ReadLanguageSetting();
        WriteOut("lang.txt", std::to_string(gApp.language) + "\n" + CatalogueText(Msg::kQuitButton));
    } else if (request.rfind("ask", 0) == 0) {
        std::string defaultText = request.size() > 4 ? ReadIn(request.substr(4)) : "";
        WriteOut("ask" + n + ".txt",
                 DlgAskText(CatalogueText(Msg::kProjectName), CatalogueText(Msg::kNamePrompt), defaultText));
    } else if (request.rfind("box=", 0) == 0) {
        int result = DlgMessageBox("Info", ("Message " + n).c_str(), unsigned(std::atoi(request.c_str() + 4)));
        WriteOut("box" + n + ".txt", std::to_string(result));
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    bool registered = GetClassInfoExA(GetModuleHandleA(nullptr), "InputRequester", &wc);
    WriteOut("state" + n + ".txt", Windows() + " class=" + (registered ? "1" : "0"));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Back to the folder we were started in: Language.ini must still land
    // beside the program.
    char startFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, startFolder);
    ProgramFolderInit();
    SetCurrentDirectoryA(startFolder);
    gOut = NextProgramParameter();
    if (!gOut.empty() && gOut.back() != '\\') gOut += '\\';

    gMain = MakeWindow("DialogHostWindow", "Dialog host", WS_VISIBLE, 10);
    gHidden = MakeWindow("DialogHostHidden", "Hidden", 0, 220);
    gDisabled = MakeWindow("DialogHostDisabled", "Disabled", WS_VISIBLE | WS_DISABLED, 430);
    SetForegroundWindow(gMain);

    for (std::string request = NextProgramParameter(); !request.empty(); request = NextProgramParameter()) {
        ++gRequest;
        Run(request);
    }
    return 0;
}
