#include "support/shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "support/codepage.h"
#include "support/com.h"
#include "support/files.h"
#include "support/unique.h"

namespace {

template <class I>
UniqueCom<I> Query(IUnknown* object, REFIID id) {
    void* found = nullptr;
    if (FAILED(object->QueryInterface(id, &found))) found = nullptr;
    return UniqueCom<I>(static_cast<I*>(found));
}

// A new shell link object; empty when none can be made.
UniqueCom<IShellLinkA> NewShellLink() {
    IShellLinkA* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&created))))
        return UniqueCom<IShellLinkA>();
    return UniqueCom<IShellLinkA>(created);
}

// A shell link object with its properties set; empty when none can be made.
UniqueCom<IShellLinkA> MakeShellLink(const std::string& target, const std::string& arguments,
                                     const std::string& description, const std::string& workingDirectory,
                                     int showCommand, int hotKey, const std::string& iconFile, int iconIndex) {
    UniqueCom<IShellLinkA> link = NewShellLink();
    if (!link) return link;
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(workingDirectory.c_str());
    link->SetDescription(description.c_str());
    link->SetShowCmd(showCommand);
    link->SetHotkey(WORD(hotKey));
    link->SetIconLocation(iconFile.c_str(), iconIndex);
    return link;
}

}  // namespace

bool CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& arguments,
                     const std::string& description, const std::string& workingDirectory, int showCommand,
                     int hotKey, const std::string& iconFile, int iconIndex) {
    // Made in memory and put in place whole: the file is the old one or the
    // new one at every moment, and it takes a moment only (Wine's
    // IPersistFile::Save waits for its menu builder, 10 to 40 ms).
    std::string bytes;
    return ShellLinkBytes(target, arguments, description, workingDirectory, showCommand, hotKey, iconFile, iconIndex,
                          bytes) &&
           ReplaceWhole(linkPath.c_str(), bytes);
}

bool ShellLinkBytes(const std::string& target, const std::string& arguments, const std::string& description,
                    const std::string& workingDirectory, int showCommand, int hotKey, const std::string& iconFile,
                    int iconIndex, std::string& out) {
    ComScope com;
    UniqueCom<IShellLinkA> link =
        MakeShellLink(target, arguments, description, workingDirectory, showCommand, hotKey, iconFile, iconIndex);
    if (!link) return false;
    UniqueCom<IPersistStream> persist = Query<IPersistStream>(link.get(), IID_IPersistStream);
    IStream* created = nullptr;
    if (!persist || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &created))) return false;
    UniqueCom<IStream> stream(created);
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    if (FAILED(persist->Save(stream.get(), TRUE)) || FAILED(GetHGlobalFromStream(stream.get(), &memory)) ||
        FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return false;
    const char* bytes = static_cast<const char*>(GlobalLock(memory));
    if (!bytes) return false;
    out.assign(bytes, size_t(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
    return true;
}

bool ReadShellLink(const std::string& linkPath, std::string& target, std::string& workingDirectory) {
    const std::wstring widePath = WideFrom(linkPath, CP_ACP);
    if (widePath.empty()) return false;
    ComScope com;
    UniqueCom<IShellLinkA> link = NewShellLink();
    if (!link) return false;
    UniqueCom<IPersistFile> file = Query<IPersistFile>(link.get(), IID_IPersistFile);
    if (!file || FAILED(file->Load(widePath.c_str(), STGM_READ))) return false;
    char path[MAX_PATH * 4] = {};
    char directory[MAX_PATH * 4] = {};
    if (FAILED(link->GetPath(path, sizeof path, nullptr, SLGP_RAWPATH))) path[0] = 0;
    if (FAILED(link->GetWorkingDirectory(directory, sizeof directory))) directory[0] = 0;
    target = path;
    workingDirectory = directory;
    return true;
}
