// Whole-file reads and writes. Files are opened so that others may read them
// meanwhile but not write them, and closed before the call returns.
#pragma once
#include <string>
#include <string_view>

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const char* path, std::string& out);

// A file opened for appending (created when missing), closed on destruction.
class AppendFile {
public:
    explicit AppendFile(const char* path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    bool IsOpen() const;
    int LastByte() const { return last_; }  // -1 for an empty file
    bool Write(std::string_view text);     // at the end of the file

private:
    void* file_;
    int last_ = -1;
};

// Writes `text` to a temporary file beside `path`, then puts it in place of
// `path` in one step: readers see either the old or the new file, whole.
bool ReplaceFileAtomically(const char* path, std::string_view text);

// Creates (or empties) the file and writes `text`; false when it cannot be created.
bool WriteNewFile(const char* path, std::string_view text);
