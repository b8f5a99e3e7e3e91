// The file collection: files picked in the folder tree gathered in the file
// list, one row per file (app/core/file_list.h).
#include <string>

#include "app/app.h"
#include "app/core/file_list.h"
#include "crashtrap/core/marker.h"
#include "support/core/text.h"
#include "support/drop.h"
#include "support/gadgets.h"

void AddTreeFile() {
    MARK; std::string path = GadGetText(kGadgetTree);
    MARK; std::string row = FileListRow(path);
    MARK; if (row.empty()) return;  // a folder, a drive, the root or nothing
    // A name the ANSI code page cannot hold is shown with a '?' (the tree
    // reads names without look-alikes): no stored path would name the file.
    MARK; if (HoldsReservedByte(path)) {
        MARK; InfoMessage(CatalogueText(Msg::kUnholdableName));
        MARK; return;
    }
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

// A name the ANSI code page cannot hold is refused as in the tree; a drop
// that gave nothing else to collect says why.
void CollectDroppedFiles() {
    MARK; std::vector<DroppedFile> files = TakeDroppedFiles();
    MARK; int32_t last = -1;
    MARK; bool unholdable = false;
    MARK; for (const DroppedFile& file : files) {
        // A folder whose name ends in ".pb" is still a folder.
        MARK; if (file.folder || !IsSourceFileName(file.path)) continue;
        MARK; if (HoldsReservedByte(file.path)) {
            MARK; unholdable = true;
            MARK; continue;
        }
        MARK; last = GadAddItem(kGadgetFileList, -1, FileListRow(file.path));
    }
    MARK; if (last >= 0) GadSetState(kGadgetFileList, last);
    MARK; if (unholdable) {
        MARK; InfoMessage(CatalogueText(Msg::kUnholdableName));
    } else if (last < 0 && !files.empty()) {
        MARK; InfoMessage(CatalogueText(Msg::kNothingDropped));
    }
}
