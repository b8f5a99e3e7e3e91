#include "support/pickers.h"

#include <windows.h>
#include <shobjidl.h>

#include "support/codepage.h"
#include "support/com.h"
#include "support/dialogs.h"
#include "support/unique.h"

namespace {

// Shows an open dialog set up by `setUp`; the chosen item's path, or empty.
template <class SetUp>
std::string Pick(const std::string& title, SetUp setUp) {
    ComScope com;
    IFileOpenDialog* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&created))))
        return {};
    UniqueCom<IFileOpenDialog> dialog(created);
    DWORD options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR | FOS_DONTADDTORECENT);
    setUp(dialog.get());
    // After the options: Wine names a folder picker anew when it is made one.
    dialog->SetTitle(WideFrom(title, CP_ACP).c_str());
    // The program's other windows wait, as for a message box.
    HWND owner = DlgOwnerWindow();
    DlgDisableThreadWindows();
    HRESULT shown = dialog->Show(owner);
    DlgEnableThreadWindows();
    IShellItem* item = nullptr;
    if (FAILED(shown) || FAILED(dialog->GetResult(&item))) return {};
    UniqueCom<IShellItem> chosen(item);
    PWSTR wide = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &wide))) return {};
    std::string path;
    const bool exact = ExactBytes(wide, CP_ACP, path);
    CoTaskMemFree(wide);
    return exact ? path : std::string();
}

}  // namespace

std::string DlgPickFolder(const std::string& title) {
    return Pick(title, [](IFileOpenDialog* dialog) {
        DWORD options = 0;
        dialog->GetOptions(&options);
        dialog->SetOptions(options | FOS_PICKFOLDERS);
    });
}

std::string DlgPickProgram(const std::string& title) {
    return Pick(title, [](IFileOpenDialog* dialog) {
        const COMDLG_FILTERSPEC types[] = {{L"PureBasic", L"PureBasic.exe"}, {L"*.exe", L"*.exe"}};
        dialog->SetFileTypes(2, types);
        DWORD options = 0;
        dialog->GetOptions(&options);
        dialog->SetOptions(options | FOS_FILEMUSTEXIST);
    });
}
