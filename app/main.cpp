// The main module: start-up, the command-line road, the main loop and its
// dispatch, the error report and the end sequence.
#include <windows.h>

#include "app/app.h"
#include "app/state.h"
#include "crashtrap/core/marker.h"
#include "crashtrap/trap.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/gadgets.h"
#include "support/prefs.h"
#include "support/program.h"
#include "support/window.h"

ApplicationState gApp;

namespace {

void StartUp(HINSTANCE instance) {
    MARK; gApp = ApplicationState{};
    MARK; gApp.instance = instance;
    // Every data path is relative to the program's folder, whatever folder
    // the program was started from.
    MARK; ProgramFolderInit();
    MARK; WinLayerInit(instance);
    MARK; GadgetLayerInit();
    MARK; TrapInstall();
    MARK; StatementMarker = 0;
    MARK; TrapSetTarget(ShowErrorReport);
}

// What the main loop does with a gadget event.
void DispatchGadget(int32_t gadget, int32_t subtype) {
    MARK; switch (gadget) {
        case kGadgetTree:        MARK; if (subtype == 2) AddTreeFile(); break;
        case kGadgetFileList:    MARK; if (subtype == 2) RemoveListedFile(); break;
        case kGadgetProjectList: MARK; if (subtype == 2) StartSelectedProject(); break;
        case kGadgetCreate:      MARK; CreateProject(); break;
        case kGadgetQuit:        MARK; gApp.quitRequested = 1; break;
        case kGadgetRemoveFile:  MARK; RemoveListedFile(); break;
        case kGadgetAddFile:     MARK; AddTreeFile(); break;
        case kGadgetStart:       MARK; StartSelectedProject(); break;
        case kGadgetDelete:      MARK; DeleteSelectedProject(); break;
        default:                 break;  // the frame (3), the label (10) and unknown numbers
    }
}

void MainLoop() {
    MARK; do {
        MARK; gApp.currentEvent = WinWaitEvent();
        MARK; if (gApp.currentEvent == EvGadget) {
            MARK; gApp.currentGadget = WinEventGadget();
            MARK; DispatchGadget(gApp.currentGadget, WinEventSubtype());
        }
    } while (gApp.currentEvent != EvCloseRequest && gApp.quitRequested != 1);
}

}  // namespace

void EndProgram() {
    MARK; PrefClose();
    MARK; TrapUninstall();
    MARK; WinCloseAll();
    MARK; ExitProcess(0);
}

// The crash trap's target: the faulting thread arrives here on a stack of
// the trap's own, so this also works after a stack overflow; the trap ends
// the process on any fault while this runs.
void ShowErrorReport() {
    MARK; static volatile LONG entered = 0;
    MARK; if (InterlockedExchange(&entered, 1) != 0) ExitProcess(0);  // never two reports
    MARK; char line[16];
    MARK; wsprintfA(line, "%ld", long(TrapErrorLine()));
    MARK; std::string text = TrapErrorDescription() + "\r" + TrapErrorModule() + "\rLine: " + line;
    MARK; DlgMessageBox("Error", text, MB_ICONERROR | MB_OK);
    MARK; EndProgram();
}

// The entry: start-up, then the command-line road or the window road; the
// process always ends in EndProgram.
[[noreturn]] void StartProgram(HINSTANCE instance) {
    MARK; StartUp(instance);
    MARK; gApp.commandLineProject = LowerName(TrimSpaces(NextProgramParameter()));
    MARK; if (!gApp.commandLineProject.empty()) {
        MARK; ReadLanguageSettingOnly();
        MARK; StartProject(gApp.commandLineProject);
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

// An exception that nothing catches: the program is built without exception
// handling, so that is one the runtime threw (out of memory, most likely).
// The runtime's default handler would pull in the C++ name demangler (a
// third of the program's size) and abort, ending with exit code 3 and the C
// runtime's own message; this ends as a fault does, with the report at the
// statement that was running. (No marker here: it would name this line.)
namespace __gnu_cxx {
void __verbose_terminate_handler() { TrapFail(STATUS_NO_MEMORY); }
}  // namespace __gnu_cxx
