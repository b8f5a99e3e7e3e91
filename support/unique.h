// Move-only owners for Win32 handles: one type per handle kind.
#pragma once
#include <windows.h>

#include <utility>

template <class T, auto Close, auto Invalid = T{}>
class Unique {
public:
    explicit Unique(T v = T(Invalid)) : v_(v) {}
    Unique(Unique&& o) noexcept : v_(std::exchange(o.v_, T(Invalid))) {}
    Unique& operator=(Unique&& o) noexcept {
        reset(std::exchange(o.v_, T(Invalid)));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }
    void reset(T v = T(Invalid)) {
        if (v_ != T(Invalid)) Close(v_);
        v_ = v;
    }
    T release() { return std::exchange(v_, T(Invalid)); }
    T get() const { return v_; }
    explicit operator bool() const { return v_ != T(Invalid); }

private:
    T v_;
};

inline void CloseFileHandle(HANDLE h) { CloseHandle(h); }
inline void DestroyAccel(HACCEL h) { DestroyAcceleratorTable(h); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }

using UniqueFile = Unique<HANDLE, CloseFileHandle, -1>;  // INVALID_HANDLE_VALUE
using UniqueHandle = Unique<HANDLE, CloseFileHandle>;    // null when empty
using UniqueAccel = Unique<HACCEL, DestroyAccel>;
using UniqueIcon = Unique<HICON, DestroyIconHandle>;
