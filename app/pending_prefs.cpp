// Placeholders until the preference files, the language setting and the
// dialogs land. This file goes away with them.
#include "app/app.h"
#include "support/dialogs.h"
#include "support/prefs.h"

void PrefClose() {}
void ReadLanguageSetting() {}
void ReadLanguageSettingOnly() {}
int DlgMessageBox(const std::string& title, const std::string& message, unsigned flags) {
    return MessageBoxA(nullptr, message.c_str(), title.c_str(), flags);
}
