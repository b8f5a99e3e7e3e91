// The file collection: files picked in the folder tree gathered in the file
// list, one row per file (app/core/file_list.h).
#include <windows.h>

#include <string>

#include "app/app.h"
#include "app/core/file_list.h"
#include "crashtrap/core/marker.h"
#include "support/drop.h"
#include "support/gadgets.h"

void AddTreeFile() {
    MARK; std::string row = FileListRow(GadGetText(kGadgetTree));
    MARK; if (row.empty()) return;  // a folder, a drive, the root or nothing
    MARK; int32_t index = GadAddItem(kGadgetFileList, -1, row);
    MARK; GadSetState(kGadgetFileList, index);
}

void RemoveListedFile() {
    MARK; int32_t selected = GadGetState(kGadgetFileList);
    MARK; GadRemoveItem(kGadgetFileList, selected);
    MARK; GadSetState(kGadgetFileList, selected - 1);
}

std::vector<std::string> CollectedPaths() {
    MARK; std::vector<std::string> paths;
    MARK; int32_t rows = GadCountItems(kGadgetFileList);
    MARK; for (int32_t row = 0; row < rows; ++row) {
        MARK; paths.emplace_back(FileListRowPath(GadGetItemText(kGadgetFileList, row, 0)));
    }
    MARK; return paths;
}

void CollectDroppedFiles() {
    MARK; std::vector<DroppedFile> files = TakeDroppedFiles();
    MARK; int32_t last = -1;
    MARK; for (const DroppedFile& file : files) {
        MARK; if (!file.exact || !IsSourceFileName(file.path)) continue;
        // A folder whose name ends in ".pb" is still a folder.
        MARK; DWORD attributes = GetFileAttributesA(file.path.c_str());
        MARK; if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        MARK; last = GadAddItem(kGadgetFileList, -1, FileListRow(file.path));
    }
    MARK; if (last >= 0) {
        MARK; GadSetState(kGadgetFileList, last);
    } else if (!files.empty()) {
        MARK; InfoMessage(CatalogueText("Drop F"));
    }
}
