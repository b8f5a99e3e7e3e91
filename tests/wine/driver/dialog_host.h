// The stand-in application of the dialog and language tests
// (tools/dialog_host): in a fresh folder of its own, started from another
// folder, it works through requests on its command line and answers in files.
#pragma once
#include <windows.h>

#include <string>

#include "driver/driver.h"

namespace drv {

class DialogHost {
public:
    // The host in TW_WORK\<name>, to be started from TW_WORK\<name>-cwd.
    explicit DialogHost(const std::string& name);
    ~DialogHost() { process.Kill(); }
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    // Puts a file beside the host before its start.
    void Put(const std::string& file, const std::string& bytes);
    bool Start(const std::string& requests);
    // Waits for the host's three windows (a visible one, a hidden one, a
    // disabled one) and keeps them.
    bool WaitWindows();
    // A file the host wrote; a failure when it did not.
    std::string Out(const std::string& file) const;
    // What the host itself sees of its dialog `n` while it is up.
    std::string Inside(int n) const;
    // The host's windows as the user sees them, in the host's notation
    // ("main=VE hidden=-E disabled=V-").
    std::string States() const;

    std::string folder, cwd;
    Process process;
    HWND main = nullptr, hidden = nullptr, disabled = nullptr;
};

}  // namespace drv
