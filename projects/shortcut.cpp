// Project shortcuts: a shell link in "Projects" that starts the program with
// the project's name, hidden, from the program's folder.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "crashtrap/core/marker.h"
#include "projects/core/create_text.h"
#include "projects/projects.h"
#include "support/core/text.h"
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

}  // namespace

bool CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& arguments,
                     const std::string& description, const std::string& workingDirectory, int showCommand,
                     int hotKey, const std::string& iconFile, int iconIndex) {
    MARK; ComScope com;
    MARK; IShellLinkA* created = nullptr;
    MARK; if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&created))))
        return false;
    MARK; UniqueCom<IShellLinkA> link(created);
    MARK; link->SetPath(target.c_str());
    MARK; link->SetArguments(arguments.c_str());
    MARK; link->SetWorkingDirectory(workingDirectory.c_str());
    MARK; link->SetDescription(description.c_str());
    MARK; link->SetShowCmd(showCommand);
    MARK; link->SetHotkey(WORD(hotKey));
    MARK; link->SetIconLocation(iconFile.c_str(), iconIndex);
    MARK; IPersistFile* persist = nullptr;
    MARK; if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) return false;
    MARK; UniqueCom<IPersistFile> file(persist);
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
    MARK; CreateShellLink(program, ShortcutPathFor(name), "\"" + name + "\"", "PureBASIC Project", folder, SW_HIDE, 0,
                          "%SystemRoot%\\system32\\SHELL32.dll", 169);
}

bool RefreshProjectShortcut(const std::string& name) {
    MARK; if (!IsSingleFileName(name)) return false;
    MARK; const std::string program = ProgramPath();
    MARK; if (program.empty()) return false;
    MARK; const std::string folder(FolderOf(program));
    MARK; ComScope com;
    MARK; IShellLinkA* created = nullptr;
    MARK; if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&created))))
        return false;
    MARK; UniqueCom<IShellLinkA> link(created);
    MARK; IPersistFile* persist = nullptr;
    MARK; if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) return false;
    MARK; UniqueCom<IPersistFile> file(persist);
    MARK; std::wstring widePath = Widen(ShortcutPathFor(name));
    // No shortcut (the name holds what the file system cannot, or the user
    // deleted it): nothing to follow.
    MARK; if (widePath.empty() || FAILED(file->Load(widePath.c_str(), STGM_READ))) return false;
    MARK; char target[MAX_PATH * 4] = {};
    MARK; char directory[MAX_PATH * 4] = {};
    MARK; if (FAILED(link->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH))) target[0] = 0;
    MARK; if (FAILED(link->GetWorkingDirectory(directory, sizeof directory))) directory[0] = 0;
    MARK; if (lstrcmpiA(target, program.c_str()) == 0 && lstrcmpiA(directory, folder.c_str()) == 0) return false;
    MARK; file.reset();
    MARK; link.reset();
    MARK; CreateProjectShortcut(name);
    MARK; return true;
}

void DeleteProjectShortcut(const std::string& name) {
    // A name that is not one plain file name never had a shortcut, and must
    // not reach a file outside "Projects".
    MARK; if (IsSingleFileName(name)) DeleteFileA(ShortcutPathFor(name).c_str());
}
