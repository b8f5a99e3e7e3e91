// Project shortcuts: a shell link in "Projects" that starts the program with
// the project's name, hidden, from the program's folder.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "crashtrap/core/marker.h"
#include "projects/core/create_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
#include "support/files.h"
#include "support/program.h"
#include "support/unique.h"

namespace {

// COM for the length of one call. A failed initialisation (another apartment
// model already set on this thread) is not balanced by an uninitialisation,
// which would otherwise tear down the apartment of whoever set it up.
class ComScope {
public:
    ComScope() {
        MARK; ok_ = SUCCEEDED(CoInitialize(nullptr));
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        MARK; if (ok_) CoUninitialize();
    }

private:
    bool ok_ = false;
};

std::wstring Widen(const std::string& text) {
    MARK; int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    MARK; if (n <= 0) return {};
    MARK; std::wstring wide(size_t(n), L'\0');
    MARK; MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    MARK; wide.resize(size_t(n - 1));
    MARK; return wide;
}

// A new shell link object; empty when none can be made.
UniqueCom<IShellLinkA> NewShellLink() {
    MARK; IShellLinkA* created = nullptr;
    MARK; if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&created))))
        return UniqueCom<IShellLinkA>();
    MARK; return UniqueCom<IShellLinkA>(created);
}

// A shell link object with its properties set; empty when none can be made.
UniqueCom<IShellLinkA> MakeShellLink(const std::string& target, const std::string& arguments,
                                     const std::string& description, const std::string& workingDirectory,
                                     int showCommand, int hotKey, const std::string& iconFile, int iconIndex) {
    MARK; UniqueCom<IShellLinkA> link = NewShellLink();
    MARK; if (!link) return link;
    MARK; link->SetPath(target.c_str());
    MARK; link->SetArguments(arguments.c_str());
    MARK; link->SetWorkingDirectory(workingDirectory.c_str());
    MARK; link->SetDescription(description.c_str());
    MARK; link->SetShowCmd(showCommand);
    MARK; link->SetHotkey(WORD(hotKey));
    MARK; link->SetIconLocation(iconFile.c_str(), iconIndex);
    MARK; return link;
}

// What every project shortcut holds besides its target, arguments and folder.
constexpr const char* kDescription = "PureBASIC Project";
constexpr const char* kIconFile = "%SystemRoot%\\system32\\SHELL32.dll";
constexpr int kIconIndex = 169;

// The project shortcut of `name` for this program, as a link object.
UniqueCom<IShellLinkA> ProjectShellLink(const std::string& name) {
    MARK; std::string program = ProgramPath();
    MARK; std::string folder(FolderOf(program));
    MARK; return MakeShellLink(program, "\"" + name + "\"", kDescription, folder, SW_HIDE, 0, kIconFile, kIconIndex);
}

template <class I>
UniqueCom<I> Query(IUnknown* object, REFIID id) {
    MARK; void* found = nullptr;
    MARK; if (FAILED(object->QueryInterface(id, &found))) found = nullptr;
    MARK; return UniqueCom<I>(static_cast<I*>(found));
}

// The bytes of the shortcut file `link` makes, written into memory: Wine's
// IPersistFile::Save starts winemenubuilder.exe for every shortcut it saves
// and waits for it (10 to 40 ms each, even where the menu builder is
// disabled), too long for a step of the main loop.
bool ShellLinkBytes(IShellLinkA* link, std::string& out) {
    MARK; UniqueCom<IPersistStream> persist = Query<IPersistStream>(link, IID_IPersistStream);
    MARK; IStream* created = nullptr;
    MARK; if (!persist || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &created))) return false;
    MARK; UniqueCom<IStream> stream(created);
    MARK; HGLOBAL memory = nullptr;
    MARK; if (FAILED(persist->Save(stream.get(), TRUE)) || FAILED(GetHGlobalFromStream(stream.get(), &memory)))
        return false;
    MARK; STATSTG stat{};
    MARK; if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
    MARK; const char* bytes = static_cast<const char*>(GlobalLock(memory));
    MARK; if (!bytes) return false;
    MARK; out.assign(bytes, size_t(stat.cbSize.QuadPart));
    MARK; GlobalUnlock(memory);
    MARK; return true;
}

}  // namespace

bool CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& arguments,
                     const std::string& description, const std::string& workingDirectory, int showCommand,
                     int hotKey, const std::string& iconFile, int iconIndex) {
    MARK; ComScope com;
    MARK; UniqueCom<IShellLinkA> link =
        MakeShellLink(target, arguments, description, workingDirectory, showCommand, hotKey, iconFile, iconIndex);
    MARK; if (!link) return false;
    MARK; UniqueCom<IPersistFile> file = Query<IPersistFile>(link.get(), IID_IPersistFile);
    MARK; if (!file) return false;
    // A relative path resolves against the current directory (the program's folder).
    MARK; std::wstring widePath = Widen(linkPath);
    MARK; if (widePath.empty()) return false;
    MARK; file->Save(widePath.c_str(), TRUE);
    MARK; return true;
}

void CreateProjectShortcut(const std::string& name) {
    // Only a name that is one plain file name may become the shortcut's file
    // name: "..\x" or "a/b" would put it outside "Projects" or nowhere.
    MARK; if (!IsSingleFileName(name)) return;
    MARK; std::string program = ProgramPath();
    MARK; std::string folder(FolderOf(program));
    MARK; CreateShellLink(program, ShortcutPathFor(name), "\"" + name + "\"", kDescription, folder, SW_HIDE, 0,
                          kIconFile, kIconIndex);
}

bool RefreshProjectShortcut(const std::string& name) {
    MARK; if (!IsSingleFileName(name)) return false;
    MARK; const std::string program = ProgramPath();
    MARK; if (program.empty()) return false;
    MARK; const std::string folder(FolderOf(program));
    MARK; const std::string path = ShortcutPathFor(name);
    MARK; std::wstring widePath = Widen(path);
    MARK; if (widePath.empty()) return false;
    // No shortcut (the user deleted it): nothing to follow, and no shell
    // link object to make for it.
    MARK; if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    MARK; ComScope com;
    {
        MARK; UniqueCom<IShellLinkA> old = NewShellLink();
        MARK; if (!old) return false;
        MARK; UniqueCom<IPersistFile> file = Query<IPersistFile>(old.get(), IID_IPersistFile);
        MARK; if (!file || FAILED(file->Load(widePath.c_str(), STGM_READ))) return false;
        MARK; char target[MAX_PATH * 4] = {};
        MARK; char directory[MAX_PATH * 4] = {};
        MARK; if (FAILED(old->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH))) target[0] = 0;
        MARK; if (FAILED(old->GetWorkingDirectory(directory, sizeof directory))) directory[0] = 0;
        MARK; if (lstrcmpiA(target, program.c_str()) == 0 && lstrcmpiA(directory, folder.c_str()) == 0) return false;
    }
    // Written whole beside it and put in its place, so the shortcut is the
    // old one or the new one, never a part (the store's replace would also
    // keep a backup, which has no place among the shortcuts).
    MARK; UniqueCom<IShellLinkA> link = ProjectShellLink(name);
    MARK; std::string bytes;
    MARK; if (!link || !ShellLinkBytes(link.get(), bytes)) return false;
    MARK; return ReplaceFileWhole(path.c_str(), bytes);
}

void DeleteProjectShortcut(const std::string& name) {
    // A name that is not one plain file name never had a shortcut, and must
    // not reach a file outside "Projects".
    MARK; if (IsSingleFileName(name)) DeleteFileA(ShortcutPathFor(name).c_str());
}
