// Reading a node's children when it is first opened: subfolders (with an
// expand button only when they hold something to show), then the files of
// each pattern in turn.
#include "explorer/tree_internal.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "support/core/text.h"

namespace {

// One enumeration of a search path ("C:\Dir\*.pb"); `each` gets every entry
// but "." and "..", and returns false to stop early.
template <class Each>
void Enumerate(const std::string& search, Each&& each) {
    // The ANSI file calls stop at the platform's path limit: a longer search
    // path is refused here rather than cut or passed on.
    if (!PathFits(search)) return;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(search.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (data.cFileName[0] == '.' &&
            (data.cFileName[1] == 0 || (data.cFileName[1] == '.' && data.cFileName[2] == 0)))
            continue;
        if (!each(data)) break;
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

bool IsFolder(const WIN32_FIND_DATAA& data) { return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// A folder earns an expand button when it holds a subfolder or a file of
// one of the patterns. `folder` ends in a backslash.
bool HoldsSomethingToShow(const std::string& folder, const std::vector<std::string>& patterns) {
    // The look for subfolders sees every file too: a name that plainly
    // matches a pattern settles it there, which spares one more search per
    // folder in the common case. Only the platform's own search says "no".
    bool found = false;
    Enumerate(folder + "*.*", [&](const WIN32_FIND_DATAA& d) {
        found = IsFolder(d) || std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) {
                    return SurelyMatches(d.cFileName, p);
                });
        return !found;
    });
    for (size_t i = 0; !found && i < patterns.size(); ++i)
        Enumerate(folder + patterns[i], [&](const WIN32_FIND_DATAA& d) { return !(found = !IsFolder(d)); });
    return found;
}

int FileIcon(std::string_view path) {
    SHFILEINFOA info{};
    std::string file(path);
    UINT what = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (!PathFits(file)) {
        // Too long to hand to the shell: ask by the name's type alone.
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

    const std::vector<std::string> patterns = SplitPatterns(record.patterns);
    Enumerate(path + "*.*", [&](const WIN32_FIND_DATAA& d) {
        if (IsFolder(d)) {
            bool show = HoldsSomethingToShow(path + d.cFileName + "\\", patterns);
            AppendItem(tree, item, d.cFileName, x.folderImage, tag::kFolder, show);
        }
        return true;
    });
    for (const std::string& pattern : patterns) {
        Enumerate(path + pattern, [&](const WIN32_FIND_DATAA& d) {
            if (!IsFolder(d)) {
                int icon = x.fileTypes.Lookup(path + d.cFileName, FileIcon);
                AppendItem(tree, item, d.cFileName, icon, tag::kFile, false);
            }
            return true;
        });
    }
    SetItemTag(tree, item, tag::Filled(itemTag));
}
