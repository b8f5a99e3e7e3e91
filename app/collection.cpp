// The file collection: files picked in the folder tree gathered in the file
// list, one row per file (app/core/file_list.h).
#include <string>

#include "app/app.h"
#include "app/core/file_list.h"
#include "crashtrap/core/marker.h"
#include "support/core/text.h"
#include "support/gadgets.h"

void AddTreeFile() {
    MARK; std::string path = GadGetText(kGadgetTree);
    MARK; std::string row = FileListRow(path);
    MARK; if (row.empty()) return;  // a folder, a drive, the root or nothing
    // A name the ANSI code page cannot hold is shown with a '?' (the tree
    // reads names without look-alikes): no stored path would name the file.
    MARK; if (HoldsReservedByte(path)) {
        MARK; InfoMessage(CatalogueText("Name F"));
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
