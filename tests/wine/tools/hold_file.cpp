// Holds a file open as other programs do (a sync client, a virus scanner, an
// editor showing it, another copy of the program holding its lock):
//   hold_file PATH SHARE MS     SHARE: none, rw (read and write) or rwd (and delete)
// Opens PATH for reading (made when missing), sets the event "TwHeld" once
// it is open, and lets go after MS milliseconds. Exit code 1 when it cannot
// open the file.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    DWORD share = 0;
    if (std::strcmp(argv[2], "rw") == 0) share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (std::strcmp(argv[2], "rwd") == 0) share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    if (HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, "TwHeld")) {
        SetEvent(held);
        CloseHandle(held);
    }
    Sleep(DWORD(std::atol(argv[3])));
    CloseHandle(file);
    return 0;
}
