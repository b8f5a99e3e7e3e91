// Move-only owners for Win32 handles: one type per handle kind.
#pragma once
#include <windows.h>

#include <cstdlib>
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
    T operator->() const { return v_; }  // for pointers to objects (COM)
    explicit operator bool() const { return v_ != T(Invalid); }

private:
    T v_;
};

template <class T>
void ReleaseInterface(T* p) {
    p->Release();
}

using UniqueFile = Unique<HANDLE, CloseHandle, -1>;  // INVALID_HANDLE_VALUE
using UniqueHandle = Unique<HANDLE, CloseHandle>;    // null when empty
using UniqueFind = Unique<HANDLE, FindClose, -1>;    // INVALID_HANDLE_VALUE
using UniqueAccel = Unique<HACCEL, DestroyAcceleratorTable>;
using UniqueMenu = Unique<HMENU, DestroyMenu>;
using UniqueKey = Unique<HKEY, RegCloseKey>;
using UniqueIcon = Unique<HICON, DestroyIcon>;
using UniqueMemory = Unique<char*, std::free>;  // from malloc
template <class T>
using UniqueCom = Unique<T*, ReleaseInterface<T>>;  // one reference to a COM object
