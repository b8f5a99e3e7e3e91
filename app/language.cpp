// The language setting and catalogue lookups in the current language.
#include "app/app.h"
#include "app/core/catalogue.h"
#include "app/state.h"
#include "crashtrap/core/marker.h"
#include "projects/core/folders.h"
#include "support/prefs.h"

namespace {

const char kLanguageGroup[] = "Language";
const char kLanguageKey[] = "Language";

// Takes the language from Language.ini; false when the file cannot be read.
bool ReadLanguageFile() {
    MARK; if (!PrefOpenRead(kSettingsFile)) return false;
    // A missing group or key leaves the default: German.
    MARK; PrefSelectGroup(kLanguageGroup);
    MARK; gApp.language = LanguageOf(PrefReadNumber(kLanguageKey, 0));
    MARK; PrefClose();
    MARK; return true;
}

}  // namespace

void ReadLanguageSetting() {
    MARK; if (ReadLanguageFile()) return;
    MARK; if (!PrefCreate(kSettingsFile)) return;  // e.g. a write-protected folder: stay German
    MARK; PrefSelectGroup(kLanguageGroup);
    MARK; PrefWriteNumber(kLanguageKey, 0);
    // The key "(0" is never asked for: the line reads as a note on the values.
    MARK; PrefWriteText("(0", "Deutsch; 1 = English)");
    // Closed at once, so the user can switch the language in an editor while
    // the program runs; the change takes effect at the next start.
    MARK; PrefClose();
}

void ReadLanguageSettingOnly() {
    MARK; ReadLanguageFile();
}

std::string CatalogueText(Msg msg) {
    MARK; return CatalogueTextFor(msg, gApp.language);
}
