// A stand-in for the outside editor: appends one record per start to
// "<own path>.log": its full command line, a tab, its current directory.
// When it was started from a batch file Data\tmp.bat in its current
// directory, it keeps a copy of that file's bytes as "<own path>.bat",
// made before the log record so that the record means both are there.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The copy comes first: tests read it as soon as the log record appears.
    char batCopy[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, batCopy, MAX_PATH);
    lstrcatA(batCopy, ".bat");
    CopyFileA("Data\\tmp.bat", batCopy, FALSE);

    char self[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    lstrcatA(self, ".log");
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 100 && log == INVALID_HANDLE_VALUE; ++tries) {
        log = CreateFileA(self, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE) Sleep(20);
    }
    if (log == INVALID_HANDLE_VALUE) return 1;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(log, line, lstrlenA(line), &written, nullptr);
    WriteFile(log, "\t", 1, &written, nullptr);
    WriteFile(log, cwd, lstrlenA(cwd), &written, nullptr);
    WriteFile(log, "\n", 1, &written, nullptr);
    CloseHandle(log);
    return 0;
}
