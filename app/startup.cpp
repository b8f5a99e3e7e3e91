// Start-up, the end sequence and the error report.
#include "app/startup.h"

#include <cstdlib>
#include <new>

#include "app/state.h"
#include "crashtrap/core/fault_text.h"
#include "crashtrap/core/marker.h"
#include "crashtrap/trap.h"
#include "support/dialogs.h"
#include "support/gadgets.h"
#include "support/prefs.h"
#include "support/program.h"
#include "support/window.h"

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
    // Nothing on the way to the box allocates: the fault may be that memory
    // ran out.
    MARK; char text[kFaultReportSize];
    MARK; FaultReportText(TrapErrorDescription(), TrapErrorModule(), TrapErrorLine(), text);
    MARK; DlgMessageBox("Error", text, MB_ICONERROR | MB_OK);
    MARK; EndProgram();
}

// Memory that cannot be had ends as a fault does, with the report at the
// statement that was running, straight from here. The runtime's own
// allocation throws instead, and once memory has really run out the throw
// itself ends the program (the i686 unwinder allocates while it looks for
// its tables; under Wine: exit code 3, no report). Nothing here catches
// anyway: the program is built without exception handling. The nothrow form
// stays a failure as a value. (No marker here: it would name these lines.)
void* operator new(size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    TrapFail(STATUS_NO_MEMORY);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }

// Any other exception that nothing catches is one the runtime threw (a
// length past what a container can hold). The runtime's default handler
// would pull in the C++ name demangler (a third of the program's size) and
// abort, ending with exit code 3 and the C runtime's own message; this ends
// as a fault does.
namespace __gnu_cxx {
void __verbose_terminate_handler() { TrapFail(STATUS_NO_MEMORY); }
}  // namespace __gnu_cxx
