// COM on the calling thread for the length of one call.
#pragma once
#include <objbase.h>

// A failed initialisation (another apartment model already set on this
// thread) is not balanced by an uninitialisation, which would otherwise tear
// down the apartment of whoever set it up.
class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (ok_) CoUninitialize();
    }

private:
    bool ok_;
};
