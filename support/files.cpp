#include "support/files.h"

#include <cstdlib>

UniqueFile OpenToRead(const char* path) {
    return UniqueFile(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

UniqueFile CreateToWrite(const char* path) {
    return UniqueFile(
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

UniqueFile CreateNewToWrite(const char* path) {
    return UniqueFile(
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool ReadWholeFile(HANDLE file, FileBytes& out) {
    out = FileBytes{};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) return false;
    const size_t total = size_t(size.QuadPart);
    // malloc rather than a container: the program is built without
    // exceptions, and a container that cannot grow ends it.
    UniqueMemory bytes(static_cast<char*>(std::malloc(total + 1)));
    if (!bytes) return false;
    size_t done = 0;
    while (done < total) {
        DWORD got = 0;
        if (!ReadFile(file, bytes.get() + done, DWORD(total - done), &got, nullptr)) return false;
        if (got == 0) break;  // shorter than reported: keep what is there
        done += got;
    }
    out.bytes_ = std::move(bytes);
    out.size_ = done;
    return true;
}

bool ReadWholeFile(const char* path, FileBytes& out) {
    UniqueFile file = OpenToRead(path);
    return file && ReadWholeFile(file.get(), out);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : DWORD(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

AppendFile::AppendFile(const char* path)
    : file_(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {
    LARGE_INTEGER size{};
    if (!file_ || !GetFileSizeEx(file_.get(), &size) || size.QuadPart == 0) return;
    LARGE_INTEGER at;
    at.QuadPart = size.QuadPart - 1;
    unsigned char byte = 0;
    DWORD got = 0;
    if (SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN) && ReadFile(file_.get(), &byte, 1, &got, nullptr) &&
        got == 1)
        last_ = byte;
}

bool AppendFile::Write(std::string_view text) {
    LARGE_INTEGER zero{};
    return file_ && SetFilePointerEx(file_.get(), zero, nullptr, FILE_END) && WriteAll(file_.get(), text);
}

bool WriteNewFile(const char* path, std::string_view text) {
    UniqueFile file = CreateToWrite(path);
    return file && WriteAll(file.get(), text);
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
