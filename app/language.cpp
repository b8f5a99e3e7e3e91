// The language setting and catalogue lookups in the current language.
#include "app/app.h"
#include "app/core/catalogue.h"
#include "app/core/marker.h"
#include "app/state.h"

std::string CatalogueText(std::string_view key) {
    MARK; return CatalogueTextFor(key, gApp.language);
}
