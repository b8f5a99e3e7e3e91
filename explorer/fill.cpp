// Reading a node's children when it is first opened: subfolders (with an
// expand button only when they hold something to show), then the files of
// each pattern in turn.
#include "explorer/tree_internal.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "support/codepage.h"
#include "support/core/text.h"
#include "support/unique.h"

namespace {

// One entry of a folder: its name as the tree shows and reports it.
struct Entry {
    std::string name;  // holds a '?' when the ANSI code page cannot hold it exactly
    bool folder;
};

// One enumeration of a search path ("C:\Dir\*.pb"); `each` gets every entry
// but "." and "..", and returns false to stop early.
template <class Each>
void Enumerate(const std::string& search, Each&& each) {
    // The ANSI file calls stop at the platform's path limit: a longer search
    // path is refused here rather than cut or passed on.
    if (!PathFits(search)) return;
    // Names are read wide: the ANSI calls hand back a look-alike for a
    // character the code page lacks (U+FF02 as '"', Wine as Windows), and a
    // collected path would then name other text than the file's.
    WIN32_FIND_DATAW data;
    UniqueFind find(FindFirstFileW(WideFrom(search, CP_ACP).c_str(), &data));
    if (!find) return;
    do {
        if (data.cFileName[0] == L'.' &&
            (data.cFileName[1] == 0 || (data.cFileName[1] == L'.' && data.cFileName[2] == 0)))
            continue;
        Entry entry{{}, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
        ExactBytes(data.cFileName, CP_ACP, entry.name);
        if (!each(entry)) break;
    } while (FindNextFileW(find.get(), &data));
}

// A folder earns an expand button when it holds a subfolder or a file of
// one of the patterns. `folder` ends in a backslash.
bool HoldsSomethingToShow(const std::string& folder, const std::vector<std::string>& patterns) {
    // The look for subfolders sees every file too: a name that plainly
    // matches a pattern settles it there, which spares one more search per
    // folder in the common case. Only the platform's own search says "no".
    bool found = false;
    Enumerate(folder + "*.*", [&](const Entry& e) {
        found = e.folder || std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) {
                    return SurelyMatches(e.name, p);
                });
        return !found;
    });
    for (size_t i = 0; !found && i < patterns.size(); ++i)
        Enumerate(folder + patterns[i], [&](const Entry& e) { return !(found = !e.folder); });
    return found;
}

int FileIcon(std::string_view path) {
    SHFILEINFOA info{};
    std::string file(path);
    UINT what = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (!PathFits(file) || HoldsReservedByte(file)) {
        // Too long to hand to the shell, or a name with a '?' that the shell
        // would take for a wildcard: ask by the name's type alone (a failed
        // answer would be cached for every file of the type).
        file = std::string(FilePart(file));
        what |= SHGFI_USEFILEATTRIBUTES;
    }
    if (!SHGetFileInfoA(file.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, what)) return 0;
    return info.iIcon;
}

}  // namespace

void FillNode(ExplorerTreeRecord& record, HTREEITEM item) {
    ExplorerLayer& x = Explorer();
    HWND tree = record.tree;
    const uint16_t itemTag = ItemTag(tree, item);
    const std::string path = ItemPath(tree, item);

    if (tag::IsDrive(itemTag)) {
        UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        DWORD sectors, bytes, freeClusters, clusters;
        BOOL ready = GetDiskFreeSpaceA(path.c_str(), &sectors, &bytes, &freeClusters, &clusters);
        DWORD error = ready ? 0 : GetLastError();
        SetErrorMode(oldMode);
        if (error == ERROR_NOT_READY) {
            // Left unfilled: the next expansion tries again.
            if (x.shell) OpenInsertDiskPrompt(record, tag::Kind(itemTag));
            return;
        }
    }

    // A folder whose name the ANSI code page cannot hold (its path holds a
    // '?') is shown but never read: no path below it names its files.
    if (!HoldsReservedByte(path)) {
        const std::vector<std::string> patterns = SplitPatterns(record.patterns);
        Enumerate(path + "*.*", [&](const Entry& e) {
            if (e.folder) {
                bool show = !HoldsReservedByte(e.name) && HoldsSomethingToShow(path + e.name + "\\", patterns);
                AppendItem(tree, item, e.name, x.folderImage, tag::kFolder, show);
            }
            return true;
        });
        for (const std::string& pattern : patterns) {
            Enumerate(path + pattern, [&](const Entry& e) {
                if (!e.folder) {
                    int icon = x.fileTypes.Lookup(path + e.name, FileIcon);
                    AppendItem(tree, item, e.name, icon, tag::kFile, false);
                }
                return true;
            });
        }
    }
    SetItemTag(tree, item, tag::Filled(itemTag));
}
