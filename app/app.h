// The application shell's operations.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "app/core/catalogue.h"
#include "projects/projects.h"

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
// The catalogue text of `msg` in the current language.
std::string CatalogueText(Msg msg);

// The file collection (collection.cpp).
void AddTreeFile();
void RemoveListedFile();
// The full paths of the file list's entries, in list order.
std::vector<std::string> CollectedPaths();
// Collects the *.pb and *.pbi files of a drop on the file list or the tree,
// as "->" does, in the order of the drop.
void CollectDroppedFiles();

// The project list and the project operations (project_list.cpp,
// create_project.cpp), and their information box: title "Info", Ok.
void InfoMessage(const std::string& text);
// Tells the user why a change of the project list did not happen, `cannot`
// ("Cannot create new project!", ...) first where it failed; true when it
// happened.
bool ChangeMade(StoreResult result, Msg cannot);
// The message that `path` (relative to the program's folder) is in the way.
std::string InTheWay(const std::string& path);
// Tells the user when a project's shortcut could not be written because
// "Projects" is not a folder.
void SayShortcut(ShortcutResult result, const std::string& name);
// Fills the project list (gadget 2) afresh from the project file, one row
// per line.
void RefreshProjectList();
void CreateProject();
// Starts the project of that name, or tells the user why it cannot start.
void StartNamedProject(const std::string& name);
void StartSelectedProject();
void DeleteSelectedProject();
// The name in the project list's selected row; empty when no row is
// selected (or the row's line has no name).
std::string SelectedProjectName();
// Selects the first row of the project list whose name is `name`.
void SelectProjectRow(const std::string& name);

// Files and editors that moved (repair.cpp). What to do about a project's
// files that cannot be found: open the others, locate them, start nothing.
MissingAnswer AskAboutMissingFiles(const std::string& name, const std::vector<std::string>& missing,
                                   size_t fileCount);
// Looks for the project's `missing` files below a folder the user chooses
// and puts those found into its line, and, after a question, the files of
// other projects that moved the same way; true when the start should be
// tried again.
bool LocateFiles(const std::string& name, const std::vector<std::string>& missing);
// Asks for a program with the file dialog; empty when cancelled.
std::string PickEditor();
// Asks for the project's editor and puts it into its line, and after a
// question into those of the projects with the same editor; true when done.
bool ChangeEditor(const std::string& name);
// The project's editor is not at `editor`: says so, and offers to choose
// another (ChangeEditor); true when one was chosen.
bool ChooseMissingEditor(const std::string& name, const std::string& editor);
// No editor is registered for a project made without one: offers to choose
// one, remembered for every such project; true when one was chosen.
bool ChooseEditorForAll(const std::string& name);

// The project list's context menu (project_menu.cpp): at the mouse, or
// below the selected row when the keyboard asked for it.
void ShowProjectMenu(bool byKeyboard);
// Changes of an existing project (project_edit.cpp).
void RenameSelectedProject();
void LoadSelectedProjectFiles();
void ReplaceSelectedProjectFiles();
void ChangeSelectedProjectEditor();

