#include "support/files.h"

#include <windows.h>

#include "support/unique.h"

namespace {
bool WriteAll(HANDLE file, std::string_view text) {
    while (!text.empty()) {
        DWORD chunk = text.size() > 0x40000000u ? 0x40000000u : DWORD(text.size());
        DWORD written = 0;
        if (!WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0) return false;
        text.remove_prefix(written);
    }
    return true;
}
}  // namespace

bool ReadWholeFile(const char* path, std::string& out) {
    out.clear();
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    out.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < out.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), out.data() + done, DWORD(out.size() - done), &got, nullptr)) return false;
        if (got == 0) break;  // shorter than reported: keep what is there
        done += got;
    }
    out.resize(done);
    return true;
}

AppendFile::AppendFile(const char* path)
    : file_(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {
    LARGE_INTEGER size{};
    if (!IsOpen() || !GetFileSizeEx(file_, &size) || size.QuadPart == 0) return;
    LARGE_INTEGER at;
    at.QuadPart = size.QuadPart - 1;
    unsigned char byte = 0;
    DWORD got = 0;
    if (SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) && ReadFile(file_, &byte, 1, &got, nullptr) && got == 1)
        last_ = byte;
}

AppendFile::~AppendFile() {
    if (IsOpen()) CloseHandle(file_);
}

bool AppendFile::IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }

bool AppendFile::Write(std::string_view text) {
    LARGE_INTEGER zero{};
    return IsOpen() && SetFilePointerEx(file_, zero, nullptr, FILE_END) && WriteAll(file_, text);
}

bool WriteNewFile(const char* path, std::string_view text) {
    UniqueFile file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    return WriteAll(file.get(), text);
}

bool ReplaceFileAtomically(const char* path, std::string_view text) {
    std::string temp = std::string(path) + ".new";
    {
        UniqueFile file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!WriteAll(file.get(), text) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileA(temp.c_str());
            return false;
        }
    }
    if (!MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}
