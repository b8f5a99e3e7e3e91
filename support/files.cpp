#include "support/files.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "support/wait.h"

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

bool IsFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// How long a rename waits for readers that hold the file for one read.
constexpr DWORD kReplaceWaitMs = 2000;

// Runs `attempt` until it succeeds, fails for a reason other than those in
// `transient`, or `waitMs` have passed; the window answers meanwhile.
template <class Attempt>
bool Retry(Attempt attempt, std::initializer_list<DWORD> transient, DWORD waitMs) {
    KeepAnswering wait;
    const DWORD start = GetTickCount();
    for (;;) {
        if (attempt()) return true;
        DWORD error = GetLastError();
        if (std::find(transient.begin(), transient.end(), error) == transient.end()) return false;
        if (GetTickCount() - start >= waitMs) return false;
        wait.Sleep(5);
        SetLastError(error);
    }
}

// Deletes `path` and leaves the last error as it was.
void Discard(const std::string& path) {
    DWORD error = GetLastError();
    DeleteFileA(path.c_str());
    SetLastError(error);
}

// A read-only file is write-protected: Windows refuses to replace it, and
// so does this code wherever it runs (Wine's rename does not look). Nor is
// a folder replaced by a file.
bool Unreplaceable(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    SetLastError(ERROR_ACCESS_DENIED);
    return true;
}

// The file `path` opened for writing over it, shared with whoever holds it.
UniqueFile OpenToOverwrite(const std::string& path) {
    return UniqueFile(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

bool WriteFlushed(const std::string& temp, std::string_view text) {
    UniqueFile file(
        CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (WriteAll(file.get(), text) && FlushFileBuffers(file.get())) return true;
    file.reset();
    Discard(temp);
    return false;
}

bool MoveInPlace(const std::string& temp, const std::string& path) {
    return Retry(
        [&] {
            return MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        },
        {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}, kReplaceWaitMs);
}

// The order keeps a whole list and a whole earlier list at every moment: the
// new list and the backup are written beside them first; the list is put in
// place, and only then the backup. A kill leaves the list old or new and the
// backup the list before it or the one before that (temporary files that
// the next change writes anew). Written in place, a kill halfway leaves a
// part of the new list, with the old one whole in the backup.
bool ReplaceWhole(const char* path, std::string_view text, std::optional<std::string_view> old,
                  const std::function<void()>& placed) {
    const std::string target(path), temp = target + ".new", backup = target + ".bak", backupTemp = backup + ".new";
    if (Unreplaceable(target) || (old && Unreplaceable(backup))) return false;
    if (!WriteFlushed(temp, text)) return false;
    if (old && !WriteFlushed(backupTemp, *old)) {
        Discard(temp);
        return false;
    }
    if (MoveInPlace(temp, target)) {
        if (placed) placed();
        // The change stands; a backup that cannot follow leaves the older one.
        if (old && !MoveInPlace(backupTemp, backup)) Discard(backupTemp);
        return true;
    }
    // Held by a reader that does not let go (a sync client, a scanner, an
    // editor showing it): with the backup in place, written in place. A
    // holder that shares nothing refuses the opening, and nothing changes.
    const DWORD error = GetLastError();
    UniqueFile held;
    if ((error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) && IsFile(path))
        held = OpenToOverwrite(target);
    else
        SetLastError(error);
    const bool written = held && (!old || MoveInPlace(backupTemp, backup)) && WriteAll(held.get(), text) &&
                         SetEndOfFile(held.get()) && FlushFileBuffers(held.get());
    if (written && placed) placed();
    Discard(temp);
    if (old) Discard(backupTemp);
    return written;
}

bool ReadSharedFile(const char* path, FileBytes& out, DWORD waitMs) {
    UniqueFile file;
    Retry([&] { return bool(file = OpenToRead(path)); }, {ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION}, waitMs);
    return file && ReadWholeFile(file.get(), out);
}

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
