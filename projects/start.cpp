// Starting a project: its editor command goes into Data\tmp.bat, which the
// shell runs hidden and which deletes itself.
#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/dialogs.h"
#include "support/files.h"
#include "support/gadgets.h"
#include "support/shell.h"

void InfoMessage(const std::string& text) {
    MARK; DlgMessageBox("Info", text, MB_ICONINFORMATION | MB_OK);
}

std::string StartProject(const std::string& name) {
    MARK; if (name.empty()) {
        MARK; InfoMessage(CatalogueText("S P"));
        MARK; return {};
    }
    MARK; std::string file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) {
        MARK; InfoMessage(CatalogueText("No P"));
        MARK; return {};
    }
    MARK; for (const StoreLine& line : SplitStoreLines(file)) {
        MARK; if (!SameName(ProjectNameOf(line.text), name)) continue;
        // A batch file that cannot be written lets a later line of the same name win.
        MARK; if (!WriteNewFile(kBatchFile, BatchFileText(line.text))) continue;
        MARK; HANDLE process = ShellRun("Data/tmp.bat", "", "", kShellRunHidden);
        // Without a process handle ShellRun answers the call's success value (1).
        MARK; if (process && process != HANDLE(1)) CloseHandle(process);
        MARK; return name;
    }
    MARK; InfoMessage(InsertQuotedName(CatalogueText("Find P"), name));
    MARK; return {};
}

void StartSelectedProject() {
    MARK; int32_t row = GadGetState(kGadgetProjectList);
    MARK; StartProject(row < 0 ? std::string() : GadGetItemText(kGadgetProjectList, row, 0));
}
