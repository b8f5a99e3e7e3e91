// Starting a project: its editor command goes into Data\tmp.bat, which the
// shell runs hidden and which deletes itself.
#include "crashtrap/core/marker.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/files.h"
#include "support/shell.h"

StartResult StartProject(const std::string& name) {
    MARK; if (name.empty()) return StartResult::kNoName;
    MARK; std::string file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return StartResult::kNoProjectFile;
    MARK; for (const StoreLine& line : SplitStoreLines(file)) {
        MARK; if (!SameName(ProjectNameOf(line.text), name)) continue;
        // A batch file that cannot be written lets a later line of the same name win.
        MARK; if (!WriteNewFile(kBatchFile, BatchFileText(line.text))) continue;
        MARK; HANDLE process = ShellRun("Data/tmp.bat", "", "", kShellRunHidden);
        // Without a process handle ShellRun answers the call's success value (1).
        MARK; if (process && process != HANDLE(1)) CloseHandle(process);
        MARK; return StartResult::kStarted;
    }
    MARK; return StartResult::kNotFound;
}
