#include "app/core/catalogue.h"

#include "crashtrap/core/marker.h"

constexpr CatalogueEntry MessageCatalogue[int(Msg::kCount)] = {
    {Msg::kTitle, "Tarnwick", {"Tarnwick", "Tarnwick"}},
    {Msg::kProjectName, "Projektname", {"Projektname", "Projectname"}},
    {Msg::kFiles, "Dateien", {"Dateien", "Files"}},
    {Msg::kCreateButton, "Neues Projekt", {"Neues Projekt erstellen", "Create new project"}},
    {Msg::kStartButton, "Projekt Starten", {"Projekt Starten", "Start project"}},
    {Msg::kDeleteButton, "Projekt l\xF6schen", {"Projekt l\xF6schen", "Delete project"}},
    {Msg::kQuitButton, "Beenden", {"Beenden", "Quit"}},
    {Msg::kDeleteQuestion, "Del P", {"Soll das das Projekt %name% wirklich aus der Liste entfernt werden?",
               "Do you really want to delete the selected file %name%?"}},
    {Msg::kAlreadyDeleted, "A Del P",
     {"Das ausgew\xE4hlte Projekt wurde bereits gel\xF6scht!", "This project doesn't exists!"}},
    {Msg::kNoneSelected, "S P", {"Es wurde kein Projekt ausgew\xE4hlt!", "No projects selected!"}},
    {Msg::kNamePrompt, "Name P", {"Bitte gebe einen Projektnamen ein.", "Please enter the new projectname."}},
    {Msg::kCannotCreate, "P Error", {"Das Projekt konnte nicht angelegt werden!", "Cannot create new project!"}},
    {Msg::kWriteProtected, "Schreib", {"Schreibgesch\xFCtzt?", "Please remove the write protection!"}},
    {Msg::kNameTaken, "A Name P", {"Dieser Projektname existiert bereits!", "This name already exists!"}},
    {Msg::kNameEmpty, "E Name P", {"Der Projektname ist leer!", "Projectname is empty!"}},
    {Msg::kNoProjects, "No P", {"Es sind keine Projekte vorhanden!", "There are no projects!"}},
    {Msg::kNotFound, "Find P",
     {"Das angegebene Projekt %name% konnte nicht gefunden werden!", "Cannot find the project %name%!"}},
    {Msg::kNoFiles, "No F", {"Es wurden keine Dateien f\xFCr das Projekt ausgew\xE4hlt!", "No files selected!"}},
    {Msg::kSeparatorInName, "Sep Name P",
     {"Der Projektname darf kein \xBF enthalten!", "The projectname must not contain \xBF!"}},
    {Msg::kCannotDelete, "Del Error", {"Das Projekt konnte nicht gel\xF6scht werden!", "Cannot delete the project!"}},
    {Msg::kUnholdableName, "Name F",
     {"Der Name dieser Datei enth\xE4lt Zeichen, die nicht gespeichert werden k\xF6nnen. Bitte benenne die "
                "Datei um!",
                "The name of this file holds characters that cannot be stored. Please rename the file!"}},
    {Msg::kInvalidLine, "Bad P",
     {"Der Eintrag des Projekts %name% in der Projektliste ist ung\xFCltig; es wurde nicht gestartet!",
               "The entry of the project %name% in the project list is not valid; it was not started!"}},
    {Msg::kNoEditor, "No E", {"Der Editor f\xFCr das Projekt %name% wurde nicht gefunden!",
              "Cannot find the editor for the project %name%!"}},
    {Msg::kUnreadablePath, "Path P",
     {"Das Projekt %name% konnte nicht gestartet werden: ein Pfad enth\xE4lt Zeichen, die der "
                "Befehlsinterpreter nicht lesen kann!",
                "Cannot start the project %name%: a path holds characters the command interpreter cannot read!"}},
    // The project list's context menu; "&" marks an item's access key.
    {Msg::kMenuStart, "M Start", {"Projekt &starten", "&Start project"}},
    {Msg::kMenuRename, "M Rename", {"&Umbenennen...", "&Rename..."}},
    {Msg::kMenuLoad, "M Load", {"&Dateien in die Liste laden", "&Load files into the list"}},
    {Msg::kMenuReplace, "M Replace", {"Dateien durch die Liste &ersetzen...", "Re&place files with the list..."}},
    {Msg::kMenuDelete, "M Delete", {"Projekt &l\xF6schen", "&Delete project"}},
    {Msg::kMenuFolder, "M Folder", {"Verkn\xFCpfungs&ordner \xF6" "ffnen", "&Open the shortcut folder"}},
    {Msg::kReplaceQuestion, "Rep P",
     {"Sollen die Dateien des Projekts %name% wirklich durch die Dateien der Liste ersetzt werden?",
               "Do you really want to replace the files of the project %name% with the files of the list?"}},
    {Msg::kCannotChange, "C Error", {"Das Projekt konnte nicht ge\xE4ndert werden!", "Cannot change the project!"}},
    {Msg::kNothingDropped, "Drop F",
     {"Es wurde nichts \xFC" "bernommen: nur *.pb- und *.pbi-Dateien werden gesammelt, keine Ordner und "
                "keine anderen Dateien.",
                "Nothing was taken: only *.pb and *.pbi files are collected, no folders and no other files."}},
    {Msg::kMissingFiles, "Miss F", {"Diese Dateien des Projekts %name% wurden nicht gefunden:",
                "These files of the project %name% cannot be found:"}},
    {Msg::kMoreMissing, "More F", {"... und %count% weitere", "... and %count% more"}},
    {Msg::kMissingEditor, "Miss E",
     {"Der Editor des Projekts %name% wurde nicht gefunden:", "The editor of the project %name% cannot be found:"}},
    {Msg::kFixEditor, "Fix E",
     {"Soll jetzt ein anderer Editor gew\xE4hlt werden? (Oder installiere diesen dort wieder.)",
               "Choose another editor now? (Or install this one there again.)"}},
    {Msg::kNotPrepared, "Prep F",
     {"Das Projekt %name% konnte nicht gestartet werden: der Start konnte nicht vorbereitet werden (in den "
                "Ordner Data kann nichts geschrieben werden).",
                "Cannot start the project %name%: the start could not be prepared (nothing can be written into the "
                "folder Data)."}},
    // Failures of the project list's changes, after the operation's own line.
    {Msg::kListInUse, "Use L",
     {"Die Projektliste wird gerade von einem anderen Programm benutzt. Bitte versuche es gleich noch einmal.",
      "The project list is in use by another program. Please try again in a moment."}},
    {Msg::kInTheWay, "Way F",
     {"%path% ist im Weg: dort braucht Tarnwick etwas anderes. Bitte benenne es um oder entferne es.",
      "%path% is in the way: Tarnwick needs something else there. Please rename or remove it."}},
    {Msg::kShortcutNotWritten, "Link F",
     {"Die Verkn\xFCpfung des Projekts %name% konnte nicht geschrieben werden.",
      "The shortcut of the project %name% could not be written."}},
    // Files and editors that moved: the answers to missing files, Locate,
    // choosing the editor.
    {Msg::kOpenOrLocate, "Open L",
     {"Sollen die anderen Dateien ge\xF6" "ffnet werden? Oder suchst du die fehlenden in einem anderen Ordner?",
      "Open the other files? Or locate the missing ones in another folder?"}},
    {Msg::kNoneOrLocate, "None L",
     {"Es wurde nichts ge\xF6" "ffnet. Suchst du die Dateien in einem anderen Ordner?",
      "Nothing was opened. Locate the files in another folder?"}},
    {Msg::kButtonOpen, "B Open", {"\xD6&ffnen", "&Open"}},
    {Msg::kButtonLocate, "B Locate", {"&Suchen...", "&Locate..."}},
    {Msg::kButtonCancel, "B Cancel", {"Abbrechen", "Cancel"}},
    {Msg::kLocateTitle, "Locate T",
     {"Wo sind die Dateien des Projekts %name% jetzt?", "Where are the files of the project %name% now?"}},
    {Msg::kNothingLocated, "None Found",
     {"Unter %path% wurde keine der fehlenden Dateien gefunden. Es wurde nichts ge\xE4ndert.",
      "None of the missing files was found below %path%. Nothing was changed."}},
    {Msg::kRepairOthers, "Rep O",
     {"%count% andere Projekte haben Dateien, die ebenso nach %path% gewandert sind. Sollen sie auch angepasst "
      "werden?",
      "%count% other projects have files that moved to %path% as well. Change them the same way?"}},
    {Msg::kChooseEditor, "Editor T", {"Editor w\xE4hlen (PureBasic.exe)", "Choose the editor (PureBasic.exe)"}},
    {Msg::kChooseEditorNow, "Choose E", {"Soll der Editor jetzt gew\xE4hlt werden?", "Choose the editor now?"}},
    {Msg::kEditorAlike, "Alike E",
     {"%count% andere Projekte nutzen auch den Editor %path%. Soll er dort ebenso ersetzt werden?",
      "%count% other projects use the editor %path% too. Replace it there as well?"}},
    {Msg::kMenuEditor, "M Editor", {"Edi&tor \xE4ndern...", "Change &editor..."}},
};

namespace {

// Each entry stands at the place its Msg names.
consteval bool InOrder() {
    for (int i = 0; i < int(Msg::kCount); ++i)
        if (int(MessageCatalogue[i].msg) != i) return false;
    return true;
}
static_assert(InOrder(), "an entry of the catalogue stands out of its Msg's place");

}  // namespace

int LanguageOf(int value) {
    MARK; return value < 0 ? 0 : value >= kLanguageCount ? kLanguageCount - 1 : value;
}

std::string CatalogueTextFor(Msg msg, int language) {
    MARK; return MessageCatalogue[int(msg)].texts[LanguageOf(language)];
}
