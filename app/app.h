// The application shell's operations.
#pragma once
#include <string>
#include <string_view>

// Gadget numbers of the main window (window 0); a gadget's number is its control id.
enum MainGadget : int {
    kGadgetTree = 0,
    kGadgetFileList = 1,
    kGadgetProjectList = 2,
    kGadgetFrame = 3,
    kGadgetCreate = 4,
    kGadgetQuit = 5,
    kGadgetRemoveFile = 6,  // "<-"
    kGadgetAddFile = 7,     // "->"
    kGadgetStart = 8,
    kGadgetDelete = 9,
    kGadgetCopyright = 10,
};

void BuildMainWindow();

// Sets gApp.language from Language.ini; creates the file (German) when it
// cannot be read.
void ReadLanguageSetting();
// Reads Language.ini without ever creating or changing it (command-line road).
void ReadLanguageSettingOnly();
// The catalogue text of `key` in the current language.
std::string CatalogueText(std::string_view key);

void AddTreeFile();
void RemoveListedFile();
