// The message catalogue: every user text of the application, by key, in
// German (language 0) and English (language 1), as Windows-1252 bytes.
#pragma once
#include <string>
#include <string_view>

struct CatalogueEntry {
    const char* key;
    const char* texts[2];  // German, English
};

inline constexpr int kCatalogueSize = 40;
extern const CatalogueEntry MessageCatalogue[kCatalogueSize];

// The entry's text for `language` (0 German, 1 English); keys are compared
// byte for byte. A negative language gives the empty text for every key; a
// language above 1 gives the English text. An unknown key gives the empty text.
std::string CatalogueTextFor(std::string_view key, int language);
