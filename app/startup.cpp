// Start-up, the end sequence and the error report.
#include "app/startup.h"

#include "app/state.h"
#include "crashtrap/core/marker.h"
#include "crashtrap/trap.h"
#include "support/dialogs.h"
#include "support/gadgets.h"
#include "support/prefs.h"
#include "support/program.h"
#include "support/window.h"

ApplicationState gApp;

void StartUp(HINSTANCE instance) {
    MARK; gApp = ApplicationState{};
    // Every data path is relative to the program's folder, whatever folder
    // the program was started from.
    MARK; ProgramFolderInit();
    MARK; WinLayerInit(instance);
    MARK; GadgetLayerInit();
    MARK; TrapInstall();
    MARK; StatementMarker = 0;
    MARK; TrapSetTarget(ShowErrorReport);
}

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

// An exception that nothing catches: the program is built without exception
// handling, so that is one the runtime threw (out of memory, most likely).
// The runtime's default handler would pull in the C++ name demangler (a
// third of the program's size) and abort, ending with exit code 3 and the C
// runtime's own message; this ends as a fault does, with the report at the
// statement that was running. (No marker here: it would name this line.)
namespace __gnu_cxx {
void __verbose_terminate_handler() { TrapFail(STATUS_NO_MEMORY); }
}  // namespace __gnu_cxx
