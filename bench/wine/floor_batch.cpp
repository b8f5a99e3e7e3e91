// The floor of starting a project: write the same two-line batch file and
// hand it to the shell hidden, nothing else.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static char line[32768];
    DWORD n = GetEnvironmentVariableA("TW_BENCH_BATCH", line, sizeof line);
    HANDLE f = CreateFileA("Data\\tmp.bat", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, line, n, &written, nullptr);
    CloseHandle(f);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "Open";
    // As the program runs it: the batch by its path, in the current folder.
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    info.lpFile = "Data\\tmp.bat";
    info.lpParameters = "";
    info.lpDirectory = folder;
    info.nShow = SW_HIDE;
    if (ShellExecuteExA(&info) && info.hProcess) CloseHandle(info.hProcess);
    return 0;
}
