// The message catalogue: every user text of the application, by key, in
// German (language 0) and English (language 1), as Windows-1252 bytes.
#pragma once
#include <string>
#include <string_view>

// The texts, in the catalogue's order. A key that is not here does not
// compile; the table's size follows from kCount.
enum class Msg : int {
    kTitle,
    kProjectName,
    kFiles,
    kCreateButton,
    kStartButton,
    kDeleteButton,
    kQuitButton,
    kDeleteQuestion,
    kAlreadyDeleted,
    kNoneSelected,
    kNamePrompt,
    kCannotCreate,
    kWriteProtected,
    kNameTaken,
    kNameEmpty,
    kNoProjects,
    kNotFound,
    kNoFiles,
    kSeparatorInName,
    kCannotDelete,
    kUnholdableName,
    kInvalidLine,
    kNoEditor,
    kUnreadablePath,
    kMenuStart,
    kMenuRename,
    kMenuLoad,
    kMenuReplace,
    kMenuDelete,
    kMenuFolder,
    kReplaceQuestion,
    kCannotChange,
    kNothingDropped,
    kMissingFiles,
    kMoreMissing,
    kMissingEditor,
    kFixEditor,
    kNotPrepared,
    kListInUse,
    kInTheWay,
    kShortcutNotWritten,
    kOpenOrLocate,
    kNoneOrLocate,
    kButtonOpen,
    kButtonLocate,
    kButtonCancel,
    kLocateTitle,
    kNothingLocated,
    kRepairOthers,
    kChooseEditor,
    kChooseEditorNow,
    kEditorAlike,
    kMenuEditor,
    kCount
};

inline constexpr int kLanguageCount = 2;  // 0 German, 1 English

struct CatalogueEntry {
    Msg msg;           // its place in the table
    const char* key;   // the key the texts were first written under
    const char* texts[kLanguageCount];
};

extern const CatalogueEntry MessageCatalogue[int(Msg::kCount)];

// The language a setting's value chooses: below 0 German, above 1 English.
int LanguageOf(int value);

// The entry's text in `language` (as LanguageOf reads it).
std::string CatalogueTextFor(Msg msg, int language);
