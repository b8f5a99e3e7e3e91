// Waiting on the window's thread without freezing the window: a wait that
// lasts longer than a moment serves the thread's messages (painting, moves,
// a drag passing over), with the thread's windows disabled meanwhile so that
// no input starts anything else. Without windows (the command-line road) it
// is a plain wait.
#pragma once
#include <windows.h>

#include <vector>

class KeepAnswering {
public:
    KeepAnswering() : start_(GetTickCount()) {}
    ~KeepAnswering();
    KeepAnswering(const KeepAnswering&) = delete;
    KeepAnswering& operator=(const KeepAnswering&) = delete;

    // Lets `ms` pass.
    void Sleep(DWORD ms);
    // Waits until every one of `handles` is signalled or `ms` have passed;
    // true when all are.
    bool WaitAll(std::vector<HANDLE> handles, DWORD ms);

private:
    // Until the whole wait has lasted this long, the messages wait too: a
    // short wait leaves the windows as they are.
    static constexpr DWORD kGraceMs = 20;
    void StartServing();
    bool Wait(std::vector<HANDLE> handles, DWORD ms, bool sleeping);
    DWORD start_;
    bool busy_ = false;
    HWND focus_ = nullptr;
};
