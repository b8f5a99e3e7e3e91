// The file collection: files picked in the folder tree gathered in the file
// list, one entry per file: its name, 100 spaces (which push the path out of
// sight), then its full path.
#include <string>

#include "app/app.h"
#include "crashtrap/core/marker.h"
#include "projects/core/create_text.h"
#include "support/core/text.h"
#include "support/gadgets.h"

void AddTreeFile() {
    MARK; std::string name(FilePart(GadGetText(kGadgetTree)));
    MARK; if (name.empty()) return;  // a folder, a drive, the root or nothing
    MARK; std::string entry = name + std::string(100, ' ') + GadGetText(kGadgetTree);
    MARK; int32_t index = GadAddItem(kGadgetFileList, -1, entry);
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
