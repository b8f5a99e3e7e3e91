// Starting a project: its editor command goes into Data\tmp.bat, which the
// shell runs hidden and which deletes itself.
#include "crashtrap/core/marker.h"
#include "projects/core/store_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/files.h"
#include "support/program.h"
#include "support/shell.h"

StartResult StartProject(const std::string& name) {
    MARK; if (name.empty()) return StartResult::kNoName;
    MARK; FileBytes file;
    MARK; if (!ReadWholeFile(kProjectFile, file)) return StartResult::kNoProjectFile;
    MARK; for (const StoreLine& line : SplitStoreLines(file.Text())) {
        MARK; if (!SameName(ProjectNameOf(line.text), name)) continue;
        // A batch file that cannot be written lets a later line of the same name win.
        MARK; if (!WriteNewFile(kBatchFile, BatchFileText(line.text))) continue;
        // Run where its own line "del Data\tmp.bat" finds it: in the program's
        // folder, not in Data (the folder of its name).
        MARK; ShellRun(kBatchFile, "", ProgramFolder(), kShellRunHidden);
        MARK; return StartResult::kStarted;
    }
    MARK; return StartResult::kNotFound;
}
