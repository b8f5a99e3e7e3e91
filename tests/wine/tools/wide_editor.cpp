// A stand-in for the outside editor that sees what a Unicode program sees:
// appends one record per start to "<own path>.wide.log", its command line
// as the system hands it over wide (in UTF-8), a tab and the OEM code page
// it runs under. Start number n stays open while "<own path>.hold<n>"
// exists, as an editor stays open until the user closes it.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const wchar_t* wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? size_t(n) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring log = std::wstring(self) + L".wide.log";
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 100 && file == INVALID_HANDLE_VALUE; ++tries) {
        file = CreateFileW(log.c_str(), GENERIC_READ | FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) Sleep(20);
    }
    if (file == INVALID_HANDLE_VALUE) return 1;
    // This start's number: one more than the records before it.
    unsigned number = 1;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; ++i) number += buffer[i] == '\n';
    const std::string record = Utf8(GetCommandLineW()) + "\t" + std::to_string(GetOEMCP()) + "\n";
    DWORD written = 0;
    WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
    CloseHandle(file);

    const std::wstring hold = std::wstring(self) + L".hold" + std::to_wstring(number);
    while (GetFileAttributesW(hold.c_str()) != INVALID_FILE_ATTRIBUTES) Sleep(20);
    return 0;
}
