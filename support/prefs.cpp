// Preference files on disk: one file in use at a time, either read whole into
// memory and searched there, or created and written line by line.
#include "support/prefs.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "support/core/pref_text.h"
#include "support/program.h"
#include "support/unique.h"

namespace {

struct FreeBytes {
    void operator()(char* p) const { std::free(p); }
};

struct PreferenceState {
    UniqueFile file;
    std::unique_ptr<char, FreeBytes> bytes;  // read mode: the file's bytes and a zero byte
    std::string_view text;                   // the readable part of `bytes`
    size_t cursor = kNoGroup;
    bool writing = false;
};

PreferenceState gPref;

void WriteAll(std::string_view bytes) {
    // Write errors are not reported: the caller has no way to act on them.
    DWORD written = 0;
    WriteFile(gPref.file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

}  // namespace

bool PrefOpenRead(const std::string& fileName) {
    PrefClose();
    EnterProgramFolder();
    UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || uint64_t(size) + 2 > SIZE_MAX) return false;
    // malloc rather than a container: a size that cannot be had is a failed
    // open, not an abort (the program is built without exceptions).
    std::unique_ptr<char, FreeBytes> bytes(static_cast<char*>(std::malloc(size_t(size) + 2)));
    if (!bytes) return false;
    DWORD total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.get() + total, size - total, &got, nullptr) || got == 0) break;
        total += got;
    }
    bytes.get()[total] = '\0';
    gPref.text = PrefReadableText(std::string_view(bytes.get(), total));
    gPref.bytes = std::move(bytes);
    gPref.file = std::move(file);
    gPref.cursor = 0;  // the unnamed region before the first group
    gPref.writing = false;
    return true;
}

bool PrefCreate(const std::string& fileName) {
    PrefClose();
    EnterProgramFolder();
    UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    gPref.file = std::move(file);
    gPref.writing = true;
    return true;
}

int PrefSelectGroup(const std::string& group) {
    gPref.cursor = kNoGroup;
    if (!gPref.file) return 0;
    if (gPref.writing) {
        WriteAll(PrefGroupLine(group));
        return 1;
    }
    gPref.cursor = PrefFindGroup(gPref.text, group);
    return gPref.cursor == kNoGroup ? 0 : 1;
}

int32_t PrefReadNumber(const std::string& key, int32_t defaultValue) {
    if (!gPref.file || gPref.writing) return defaultValue;
    return PrefFindNumber(gPref.text, gPref.cursor, key, defaultValue);
}

void PrefWriteNumber(const std::string& key, int32_t value) { PrefWriteText(key, PrefNumberText(value)); }

void PrefWriteText(const std::string& key, const std::string& value) {
    if (!gPref.file || key.empty()) return;
    // After PrefOpenRead the handle has no write access and this fails silently.
    WriteAll(PrefKeyLine(key, value));
}

void PrefClose() {
    gPref.file.reset();
    gPref.bytes.reset();
    gPref.text = {};
}
