#include "support/files.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

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

bool WriteNewFile(const char* path, std::string_view text) {
    UniqueFile file = CreateToWrite(path);
    return file && WriteAll(file.get(), text);
}

namespace {

// Runs `attempt` until it succeeds, fails for a reason other than those in
// `transient`, or `waitMs` have passed.
template <class Attempt>
bool Retry(Attempt attempt, std::initializer_list<DWORD> transient, DWORD waitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (attempt()) return true;
        DWORD error = GetLastError();
        if (std::find(transient.begin(), transient.end(), error) == transient.end()) return false;
        if (GetTickCount() - start >= waitMs) return false;
        Sleep(5);
        SetLastError(error);
    }
}

// Writes `text` into a new file `temp` and flushes it to the disk; false,
// with no `temp` left, when any step fails.
bool WriteFlushed(const std::string& temp, std::string_view text) {
    UniqueFile file(
        CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (WriteAll(file.get(), text) && FlushFileBuffers(file.get())) return true;
    file.reset();
    DeleteFileA(temp.c_str());
    return false;
}

// Puts `temp` in place of `path` in one step; false, with no `temp` left,
// when that fails.
bool MoveInPlace(const std::string& temp, const std::string& path) {
    // A reader that has the old file open (without FILE_SHARE_DELETE) keeps
    // Windows from replacing it; readers hold it only for one read.
    auto move = [&] {
        return MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    };
    bool moved = Retry(move, {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}, 2000);
    if (!moved) DeleteFileA(temp.c_str());
    return moved;
}

// A read-only file is write-protected: Windows refuses to replace it, and
// so does this code wherever it runs (Wine's rename does not look).
bool ReadOnly(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// `path`'s bytes as they are now, whole, in place of `backup` (itself
// replaced in one step, so it always holds one whole generation). True
// when there is no `path`: there is nothing to keep, and an older backup
// stays.
bool KeepBackup(const char* path, const std::string& backup) {
    FileBytes old;
    if (!ReadWholeFile(path, old)) return GetLastError() == ERROR_FILE_NOT_FOUND;
    if (ReadOnly(backup)) return false;
    const std::string temp = backup + ".new";
    return WriteFlushed(temp, old.Text()) && MoveInPlace(temp, backup);
}

bool Replace(const char* path, std::string_view text, bool keepBackup) {
    if (ReadOnly(path)) return false;
    const std::string temp = std::string(path) + ".new";
    if (!WriteFlushed(temp, text)) return false;
    // Kept last before the move, so that a full disk fails the new text first.
    if (keepBackup && !KeepBackup(path, std::string(path) + ".bak")) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return MoveInPlace(temp, path);
}

}  // namespace

bool ReplaceFileWhole(const char* path, std::string_view text) { return Replace(path, text, false); }

bool ReplaceFileAtomically(const char* path, std::string_view text) { return Replace(path, text, true); }

UniqueFile TakeFileLock(const char* path, DWORD waitMs) {
    UniqueFile lock;
    Retry(
        [&] {
            lock = UniqueFile(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            return bool(lock);
        },
        {ERROR_SHARING_VIOLATION}, waitMs);
    return lock;
}
