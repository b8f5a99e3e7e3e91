#include "app/core/catalogue.h"

#include "crashtrap/core/marker.h"

const CatalogueEntry MessageCatalogue[kCatalogueSize] = {
    {"Tarnwick", {"Tarnwick", "Tarnwick"}},
    {"Projektname", {"Projektname", "Projectname"}},
    {"Dateien", {"Dateien", "Files"}},
    {"Neues Projekt", {"Neues Projekt erstellen", "Create new project"}},
    {"Projekt Starten", {"Projekt Starten", "Start project"}},
    {"Projekt l\xF6schen", {"Projekt l\xF6schen", "Delete project"}},
    {"Beenden", {"Beenden", "Quit"}},
    {"Del P", {"Soll das das Projekt %name% wirklich aus der Liste entfernt werden?",
               "Do you really want to delete the selected file %name%?"}},
    {"A Del P", {"Das ausgew\xE4hlte Projekt wurde bereits gel\xF6scht!", "This project doesn't exists!"}},
    {"S P", {"Es wurde kein Projekt ausgew\xE4hlt!", "No projects selected!"}},
    {"Name P", {"Bitte gebe einen Projektnamen ein.", "Please enter the new projectname."}},
    {"P Error", {"Das Projekt konnte nicht angelegt werden!", "Cannot create new project!"}},
    {"Schreib", {"Schreibgesch\xFCtzt?", "Please remove the write protection!"}},
    {"A Name P", {"Dieser Projektname existiert bereits!", "This name already exists!"}},
    {"E Name P", {"Der Projektname ist leer!", "Projectname is empty!"}},
    {"No P", {"Es sind keine Projekte vorhanden!", "There are no projects!"}},
    {"Find P", {"Das angegebene Projekt %name% konnte nicht gefunden werden!", "Cannot find the project %name%!"}},
    {"No F", {"Es wurden keine Dateien f\xFCr das Projekt ausgew\xE4hlt!", "No files selected!"}},
    {"Sep Name P", {"Der Projektname darf kein \xBF enthalten!", "The projectname must not contain \xBF!"}},
    {"Del Error", {"Das Projekt konnte nicht gel\xF6scht werden!", "Cannot delete the project!"}},
};

std::string CatalogueTextFor(std::string_view key, int language) {
    MARK; if (language < 0) return {};
    MARK; int column = language > 1 ? 1 : language;
    MARK; for (const CatalogueEntry& entry : MessageCatalogue) {
        MARK; if (key == entry.key) return entry.texts[column];
    }
    MARK; return {};
}
