// Whole-file reads and writes. Files are opened so that others may read them
// meanwhile but not write them, and closed before the call returns.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "support/unique.h"

// A file's bytes, read whole.
class FileBytes {
public:
    std::string_view Text() const { return {bytes_.get(), size_}; }

private:
    friend bool ReadWholeFile(HANDLE file, FileBytes& out);
    UniqueMemory bytes_;
    size_t size_ = 0;
};

// The file opened for reading (others may read it meanwhile), or created
// anew (emptied when it exists) for writing; not open when that fails.
UniqueFile OpenToRead(const char* path);
UniqueFile CreateToWrite(const char* path);
// The file created for writing only when nothing of that name exists yet.
UniqueFile CreateNewToWrite(const char* path);

// Reads an open file from its current position to its end. False when the
// file cannot be read or its bytes cannot be held: a file too large for
// memory is a failed read, never the end of the program.
bool ReadWholeFile(HANDLE file, FileBytes& out);
// Opens, reads and closes the file; false when it cannot be opened or read.
bool ReadWholeFile(const char* path, FileBytes& out);

// Writes all of `bytes` at the file's position; false when a write fails.
bool WriteAll(HANDLE file, std::string_view bytes);

// Reads the file whole. A sharing violation (another program holding it
// open without sharing it, for a moment as a rule) is waited out for up to
// `waitMs`, the window answering meanwhile. False when it cannot be read;
// GetLastError tells why (ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND: it
// is not there; ERROR_SHARING_VIOLATION: still held).
bool ReadSharedFile(const char* path, FileBytes& out, DWORD waitMs);

// Puts `text` in place of `path` (its bytes written beside it as `path` +
// ".new", then moved over it in one step): readers see the old or the new
// file, whole. When `old` is given (the bytes `path` holds now), they are
// kept as `path` + ".bak" (one generation), replaced only once the new file
// is in place, so a failed change leaves the older backup whole; a backup
// that cannot be written stops the change. A reader that keeps `path` open
// (Windows refuses to replace a file with any other handle open, whatever
// it shares) is waited for a moment; then, with the backup in place, the new
// bytes are written into `path` itself, which such readers share. False,
// with `path` and the backup as they were and no temporary file left, when
// it fails (a full disk, a read-only `path` or backup, a holder that shares
// nothing); GetLastError tells why.
// `placed`, when given, runs the moment the new file is in place (before
// the backup is), for what must follow it at once.
bool ReplaceWhole(const char* path, std::string_view text, std::optional<std::string_view> old = std::nullopt,
                  const std::function<void()>& placed = nullptr);

// Writes `text` into a new file `temp` (replacing one there) and flushes it
// to the disk; false, with no `temp` left, when any step fails.
bool WriteFlushed(const std::string& temp, std::string_view text);
// Puts `temp` in place of `path` in one step, waiting a moment for readers
// that hold `path`.
bool MoveInPlace(const std::string& temp, const std::string& path);

// A lock shared by every process that opens the same `path`: the file
// (created when missing, never removed) opened with no sharing at all, so
// that a second opener gets a sharing violation until the first one closes
// it, however that one ends. Waits up to `waitMs` for a holder to let go,
// the window answering meanwhile; not open when the lock could not be had
// (the holder kept it, or the file cannot be created; GetLastError tells
// which).
UniqueFile TakeFileLock(const char* path, DWORD waitMs);

// Creates (or empties) the file and writes `text`; false when it cannot be created.
bool WriteNewFile(const char* path, std::string_view text);

// Whether a file (not a folder) is there.
bool IsFile(const char* path);
