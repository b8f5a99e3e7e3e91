// Whole-file reads and writes. Files are opened so that others may read them
// meanwhile but not write them, and closed before the call returns.
#pragma once
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

// Writes `text` to a temporary file beside `path` (`path` + ".new"), then
// puts it in place of `path` in one step: readers see either the old or the
// new file, whole. False, with `path` untouched and no temporary file left,
// when any step fails (a full disk, a read-only `path`).
bool ReplaceFileWhole(const char* path, std::string_view text);
// The same, and before that, the bytes `path` holds are kept as `path` +
// ".bak" (one generation, replaced each time; a missing `path` leaves it
// alone), so a mistaken change can be undone by hand. A backup that cannot
// be written (a full disk, a read-only one) fails the replace.
bool ReplaceFileAtomically(const char* path, std::string_view text);

// A lock shared by every process that opens the same `path`: the file
// (created when missing, never removed) opened with no sharing at all, so
// that a second opener gets a sharing violation until the first one closes
// it, however that one ends. Waits up to `waitMs` for a holder to let go;
// not open when the lock could not be had (the holder kept it, or the file
// cannot be created; GetLastError tells which).
UniqueFile TakeFileLock(const char* path, DWORD waitMs);

// Creates (or empties) the file and writes `text`; false when it cannot be created.
bool WriteNewFile(const char* path, std::string_view text);
