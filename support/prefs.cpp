// Preference files on disk: one file in use at a time, either read whole into
// memory and searched there, or created and written line by line.
#include "support/prefs.h"

#include <windows.h>

#include "support/core/pref_text.h"
#include "support/files.h"
#include "support/program.h"

namespace {

struct PreferenceState {
    UniqueFile file;        // held open: nobody writes the file while it is read
    FileBytes bytes;        // read mode: the file's bytes
    std::string_view text;  // the readable part of `bytes`
    size_t cursor = kNoGroup;
    bool writing = false;
};

PreferenceState gPref;

// Write errors are not reported: the caller has no way to act on them.
void Write(std::string_view bytes) { WriteAll(gPref.file.get(), bytes); }

}  // namespace

bool PrefOpenRead(const std::string& fileName) {
    PrefClose();
    EnterProgramFolder();
    UniqueFile file = OpenToRead(fileName.c_str());
    FileBytes bytes;
    if (!file || !ReadWholeFile(file.get(), bytes)) return false;
    gPref.text = PrefReadableText(bytes.Text());
    gPref.bytes = std::move(bytes);
    gPref.file = std::move(file);
    gPref.cursor = 0;  // the unnamed region before the first group
    gPref.writing = false;
    return true;
}

bool PrefCreate(const std::string& fileName) {
    PrefClose();
    EnterProgramFolder();
    UniqueFile file = CreateToWrite(fileName.c_str());
    if (!file) return false;
    gPref.file = std::move(file);
    gPref.writing = true;
    return true;
}

int PrefSelectGroup(const std::string& group) {
    gPref.cursor = kNoGroup;
    if (!gPref.file) return 0;
    if (gPref.writing) {
        Write(PrefGroupLine(group));
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
    Write(PrefKeyLine(key, value));
}

void PrefClose() {
    gPref.file.reset();
    gPref.bytes = FileBytes{};
    gPref.text = {};
}
