#include "app/core/catalogue.h"

#include <gtest/gtest.h>

#include "support/core/text.h"

namespace {

TEST(Catalogue, EntriesAreWindows1252Bytes) {
    // Key, German, English, in table order; umlauts spelt as their byte values.
    const char* const expected[][3] = {
        {"Tarnwick", "Tarnwick", "Tarnwick"},
        {"Projektname", "Projektname", "Projectname"},
        {"Dateien", "Dateien", "Files"},
        {"Neues Projekt", "Neues Projekt erstellen", "Create new project"},
        {"Projekt Starten", "Projekt Starten", "Start project"},
        {"Projekt l\xF6schen", "Projekt l\xF6schen", "Delete project"},
        {"Beenden", "Beenden", "Quit"},
        {"Del P", "Soll das das Projekt %name% wirklich aus der Liste entfernt werden?",
         "Do you really want to delete the selected file %name%?"},
        {"A Del P", "Das ausgew\xE4hlte Projekt wurde bereits gel\xF6scht!", "This project doesn't exists!"},
        {"S P", "Es wurde kein Projekt ausgew\xE4hlt!", "No projects selected!"},
        {"Name P", "Bitte gebe einen Projektnamen ein.", "Please enter the new projectname."},
        {"P Error", "Das Projekt konnte nicht angelegt werden!", "Cannot create new project!"},
        {"Schreib", "Schreibgesch\xFCtzt?", "Please remove the write protection!"},
        {"A Name P", "Dieser Projektname existiert bereits!", "This name already exists!"},
        {"E Name P", "Der Projektname ist leer!", "Projectname is empty!"},
        {"No P", "Es sind keine Projekte vorhanden!", "There are no projects!"},
        {"Find P", "Das angegebene Projekt %name% konnte nicht gefunden werden!", "Cannot find the project %name%!"},
        {"No F", "Es wurden keine Dateien f\xFCr das Projekt ausgew\xE4hlt!", "No files selected!"},
        {"Sep Name P", "Der Projektname darf kein \xBF enthalten!", "The projectname must not contain \xBF!"},
        {"Del Error", "Das Projekt konnte nicht gel\xF6scht werden!", "Cannot delete the project!"},
        {"Name F",
         "Der Name dieser Datei enth\xE4lt Zeichen, die nicht gespeichert werden k\xF6nnen. Bitte benenne die Datei "
         "um!",
         "The name of this file holds characters that cannot be stored. Please rename the file!"},
        {"Bad P", "Der Eintrag des Projekts %name% in der Projektliste ist ung\xFCltig; es wurde nicht gestartet!",
         "The entry of the project %name% in the project list is not valid; it was not started!"},
        {"No E", "Der Editor f\xFCr das Projekt %name% wurde nicht gefunden!",
         "Cannot find the editor for the project %name%!"},
        {"Path P",
         "Das Projekt %name% konnte nicht gestartet werden: ein Pfad enth\xE4lt Zeichen, die der Befehlsinterpreter "
         "nicht lesen kann!",
         "Cannot start the project %name%: a path holds characters the command interpreter cannot read!"},
        {"M Start", "Projekt &starten", "&Start project"},
        {"M Rename", "&Umbenennen...", "&Rename..."},
        {"M Load", "&Dateien in die Liste laden", "&Load files into the list"},
        {"M Replace", "Dateien durch die Liste &ersetzen...", "Re&place files with the list..."},
        {"M Delete", "Projekt &l\xF6schen", "&Delete project"},
        {"M Folder", "Verkn\xFCpfungs&ordner \xF6" "ffnen", "&Open the shortcut folder"},
        {"Rep P", "Sollen die Dateien des Projekts %name% wirklich durch die Dateien der Liste ersetzt werden?",
         "Do you really want to replace the files of the project %name% with the files of the list?"},
        {"C Error", "Das Projekt konnte nicht ge\xE4ndert werden!", "Cannot change the project!"},
        {"Drop F",
         "Es wurde nichts \xFC" "bernommen: nur *.pb- und *.pbi-Dateien werden gesammelt, keine Ordner und keine "
         "anderen Dateien.",
         "Nothing was taken: only *.pb and *.pbi files are collected, no folders and no other files."},
        {"Miss F", "Diese Dateien des Projekts %name% wurden nicht gefunden:",
         "These files of the project %name% cannot be found:"},
        {"More F", "... und %count% weitere", "... and %count% more"},
        {"Open F", "Sollen die anderen Dateien ge\xF6" "ffnet werden?", "Open the other files?"},
        {"None F", "Es wurde nichts ge\xF6" "ffnet.", "Nothing was opened."},
        {"Miss E", "Der Editor des Projekts %name% wurde nicht gefunden:", "The editor of the project %name% cannot be found:"},
        {"Fix E", "Bitte installiere den Editor dort wieder oder lege das Projekt mit dem jetzt installierten Editor neu an.",
         "Please install the editor there again, or create the project anew with the editor installed now."},
        {"Prep F", "Das Projekt %name% konnte nicht gestartet werden: der Start konnte nicht vorbereitet werden (in den "
         "Ordner Data kann nichts geschrieben werden).",
         "Cannot start the project %name%: the start could not be prepared (nothing can be written into the folder "
         "Data)."},
    };
    ASSERT_EQ(std::size(expected), size_t(kCatalogueSize));
    for (int i = 0; i < kCatalogueSize; ++i) {
        EXPECT_STREQ(MessageCatalogue[i].key, expected[i][0]) << "entry " << i + 1;
        EXPECT_EQ(CatalogueTextFor(expected[i][0], 0), expected[i][1]);
        EXPECT_EQ(CatalogueTextFor(expected[i][0], 1), expected[i][2]);
    }
}

TEST(Catalogue, MenuItemsHaveOneAccessKeyEachAndNoneTwice) {
    for (int language : {0, 1}) {
        std::string keys;
        for (const char* item : {"M Start", "M Rename", "M Load", "M Replace", "M Delete", "M Folder"}) {
            std::string text = CatalogueTextFor(item, language);
            size_t amp = text.find('&');
            ASSERT_NE(amp, std::string::npos) << text;
            ASSERT_EQ(text.find('&', amp + 1), std::string::npos) << text;
            std::string key = LowerName(text.substr(amp + 1, 1));
            EXPECT_EQ(keys.find(key), std::string::npos) << "access key " << key << " twice, language " << language;
            keys += key;
        }
    }
}

TEST(Catalogue, KeysCompareByteForByte) {
    EXPECT_EQ(CatalogueTextFor("Projekt l\xF6schen", 1), "Delete project");
    for (const char* miss : {"projekt l\xF6schen", "Projekt loschen", "Projekt l\xD6schen", "Beenden ", "beenden",
                             "S  P", "", "Neues Projekt erstellen"})
        EXPECT_EQ(CatalogueTextFor(miss, 0), "") << miss;
}

TEST(Catalogue, LanguagesOutsideTheTable) {
    EXPECT_EQ(CatalogueTextFor("Beenden", -1), "");
    EXPECT_EQ(CatalogueTextFor("Tarnwick", -2147483647 - 1), "");
    EXPECT_EQ(CatalogueTextFor("Beenden", 2), "Quit");
    EXPECT_EQ(CatalogueTextFor("Beenden", 2147483647), "Quit");
}

TEST(Catalogue, NameGoesIntoThePlaceholderInQuotes) {
    // The catalogue leaves the placeholder alone; the caller fills it in.
    EXPECT_EQ(CatalogueTextFor("Del P", 0), "Soll das das Projekt %name% wirklich aus der Liste entfernt werden?");
    std::string find = CatalogueTextFor("Find P", 1);
    EXPECT_EQ(find, "Cannot find the project %name%!");
    const struct {
        const char* message;
        const char* name;
        const char* expected;
    } cases[] = {
        {find.c_str(), "x", "Cannot find the project \"x\"!"},
        {"%name%%name%", "", "\"\"\"\""},
        {"%%name%%", "b", "%\"b\"%"},
        {"%n\xC1me%", "c", "%n\xC1me%"},  // only ASCII letters fold
        {"no placeholder", "x", "no placeholder"},
    };
    for (const auto& c : cases) EXPECT_EQ(InsertQuotedName(c.message, c.name), c.expected) << c.message;
}

}  // namespace
