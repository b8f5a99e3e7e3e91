// The main module: the entry, the command-line road, the main loop and its
// dispatch. Start-up, the end and the error report are in startup.cpp.
#include <windows.h>

#include "app/app.h"
#include "app/startup.h"
#include "crashtrap/core/marker.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/gadgets.h"
#include "support/program.h"
#include "support/window.h"

namespace {

// The project list sorted by a column: the names by the store's name rule,
// the files as text. Only the view changes.
void SortProjectList(int32_t column) {
    MARK; GadSortByColumn(kGadgetProjectList, column, column == 0 ? CompareNames : CompareTexts);
}

// Input of the lists beyond clicks: their keys, the project list's context
// menu and files dropped from the shell; false for any other event.
bool DispatchListInput(int32_t gadget, int32_t subtype) {
    MARK; if (subtype == kSubtypeDrop && (gadget == kGadgetFileList || gadget == kGadgetTree)) {
        MARK; CollectDroppedFiles();
        MARK; return true;
    }
    MARK; if (gadget == kGadgetFileList && subtype == kSubtypeKeyDelete) {
        MARK; RemoveListedFile();
        MARK; return true;
    }
    MARK; if (gadget != kGadgetProjectList) return false;
    MARK; switch (subtype) {
        case kSubtypeRightClick: MARK; ShowProjectMenu(false); return true;
        case kSubtypeKeyMenu: MARK; ShowProjectMenu(true); return true;
        case kSubtypeKeyDelete: MARK; DeleteSelectedProject(); return true;
        case kSubtypeKeyF2: MARK; RenameSelectedProject(); return true;
        case kSubtypeColumnClick: MARK; SortProjectList(WinEventColumn()); return true;
        default: MARK; return false;
    }
}

// What the main loop does with a gadget event; false for the Quit button.
bool DispatchGadget(int32_t gadget, int32_t subtype) {
    MARK; if (DispatchListInput(gadget, subtype)) return true;
    MARK; switch (gadget) {
        case kGadgetTree:        MARK; if (subtype == kSubtypeDoubleClick) AddTreeFile(); break;
        case kGadgetFileList:    MARK; if (subtype == kSubtypeDoubleClick) RemoveListedFile(); break;
        case kGadgetProjectList: MARK; if (subtype == kSubtypeDoubleClick) StartSelectedProject(); break;
        case kGadgetCreate:      MARK; CreateProject(); break;
        case kGadgetQuit:        MARK; return false;
        case kGadgetRemoveFile:  MARK; RemoveListedFile(); break;
        case kGadgetAddFile:     MARK; AddTreeFile(); break;
        case kGadgetStart:       MARK; StartSelectedProject(); break;
        case kGadgetDelete:      MARK; DeleteSelectedProject(); break;
        default:                 break;  // the frame (3), the label (10) and unknown numbers
    }
    MARK; return true;
}

// The shortcuts in Projects follow the program: after its folder was moved
// or renamed they name the old one. Once the window is ready, they are looked
// at in short steps, one step per timer event (which comes only when nothing
// else is queued), so that neither the window's start nor any input waits.
constexpr int32_t kShortcutTimer = 1;
constexpr uint32_t kShortcutTickMs = 10;
constexpr DWORD kShortcutStepMs = 4;

struct ShortcutCheck {
    bool started = false;
    std::vector<std::string> names;  // of the projects, read at the first step
    size_t next = 0;
};

// One step: the project names at first, then shortcuts until the step's
// time is up. False when every shortcut has been looked at.
bool CheckShortcuts(ShortcutCheck& check) {
    MARK; if (!check.started) {
        MARK; check.started = true;
        MARK; check.names = ProjectNames();
        MARK; return !check.names.empty();
    }
    MARK; const DWORD start = GetTickCount();
    MARK; while (check.next < check.names.size()) {
        MARK; RefreshProjectShortcut(check.names[check.next++]);
        MARK; if (GetTickCount() - start >= kShortcutStepMs) break;
    }
    MARK; return check.next < check.names.size();
}

// Runs until the window is asked to close or the Quit button is pressed.
void MainLoop() {
    MARK; ShortcutCheck shortcuts;
    MARK; WinAddTimer(0, kShortcutTimer, kShortcutTickMs);
    MARK; for (;;) {
        MARK; int32_t event = WinWaitEvent();
        MARK; if (event == EvCloseRequest) return;
        MARK; if (event == EvTimer && WinEventTimer() == kShortcutTimer && !CheckShortcuts(shortcuts))
            WinRemoveTimer(0, kShortcutTimer);
        MARK; if (event == EvGadget && !DispatchGadget(WinEventGadget(), WinEventSubtype())) return;
    }
}

}  // namespace

// The entry: start-up, then the command-line road or the window road; the
// process always ends in EndProgram.
[[noreturn]] void StartProgram(HINSTANCE instance) {
    MARK; StartUp(instance);
    MARK; std::string project = LowerName(TrimSpaces(NextProgramParameter()));
    MARK; if (!project.empty()) {
        MARK; ReadLanguageSettingOnly();
        MARK; StartNamedProject(project);
        MARK; EndProgram();
    }
    MARK; BuildMainWindow();
    // Without its window the loop would wait for events that never come.
    MARK; if (!WinLastOpened()) EndProgram();
    MARK; MainLoop();
    MARK; EndProgram();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    MARK; StartProgram(instance);
}
