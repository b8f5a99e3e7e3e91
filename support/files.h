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

// A file opened for appending (created when missing), closed on destruction.
class AppendFile {
public:
    explicit AppendFile(const char* path);
    bool IsOpen() const { return bool(file_); }
    int LastByte() const { return last_; }  // -1 for an empty file
    bool Write(std::string_view text);     // at the end of the file

private:
    UniqueFile file_;
    int last_ = -1;
};

// Writes `text` to a temporary file beside `path`, then puts it in place of
// `path` in one step: readers see either the old or the new file, whole.
bool ReplaceFileAtomically(const char* path, std::string_view text);

// Creates (or empties) the file and writes `text`; false when it cannot be created.
bool WriteNewFile(const char* path, std::string_view text);
