// Memory inside another process, for control messages whose arguments are
// pointers (the system does not marshal them between processes).
#pragma once
#include <windows.h>

#include <cstddef>

namespace drv {

// A block of memory inside the process that owns `hwnd`; freed on destruction.
class RemoteBuffer {
public:
    RemoteBuffer(HWND hwnd, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    explicit operator bool() const { return address_ != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t n) const {
        return offset + n <= size_ && WriteProcessMemory(process_, At(offset), data, n, nullptr);
    }
    bool Read(size_t offset, void* data, size_t n) const {
        return offset + n <= size_ && ReadProcessMemory(process_, At(offset), data, n, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};


}  // namespace drv
