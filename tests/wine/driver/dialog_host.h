// The stand-in application of the dialog and language tests
// (tools/dialog_host): in a fresh folder of its own, started from another
// folder, it works through requests on its command line and answers in files.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"

namespace drv {

class DialogHost {
public:
    // The host in TW_WORK\<name>, to be started from TW_WORK\<name>-cwd.
    explicit DialogHost(const std::string& name) : folder(FreshFolder(name)), cwd(FreshFolder(name + "-cwd")) {
        EXPECT_TRUE(CopyFileA(ToolPath("dialog_host.exe").c_str(), (folder + "dialog_host.exe").c_str(), FALSE));
    }
    ~DialogHost() { process.Kill(); }
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    // Puts a file beside the host before its start.
    void Put(const std::string& file, const std::string& bytes) { EXPECT_TRUE(WriteBytes(folder + file, bytes)); }
    bool Start(const std::string& requests) {
        process = drv::Start(folder + "dialog_host.exe", "\"" + folder + "\" " + requests, cwd);
        EXPECT_TRUE(process.Started()) << requests;
        return process.Started();
    }
    // Waits for the host's three windows (a visible one, a hidden one and a
    // disabled one, made last) and keeps them.
    bool WaitWindows() {
        bool made = WaitFor([&] { return FindTopWindow(process.Id(), "DialogHostDisabled") != nullptr; });
        EXPECT_TRUE(made) << "the host's windows";
        main = FindTopWindow(process.Id(), "DialogHostWindow");
        hidden = FindTopWindow(process.Id(), "DialogHostHidden");
        disabled = FindTopWindow(process.Id(), "DialogHostDisabled");
        return made;
    }
    // A file the host wrote; a failure when it did not.
    std::string Out(const std::string& file) const {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(folder + file, bytes)) << file << " was not written";
        return bytes;
    }
    // What the host itself sees of its dialog `n` while it is up.
    std::string Inside(int n) const {
        std::string file = "inside" + std::to_string(n) + ".txt";
        PostMessageA(main, WM_APP, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return Exists(folder + file); }, 5000));
        return Out(file);
    }
    // The host's windows as the user sees them, in the host's notation
    // ("main=VE hidden=-E disabled=V-").
    std::string States() const {
        auto flags = [](HWND h) {
            WindowState s = StateOf(h);
            return std::string(s.visible ? "V" : "-") + (s.enabled ? "E" : "-");
        };
        return "main=" + flags(main) + " hidden=" + flags(hidden) + " disabled=" + flags(disabled);
    }

    std::string folder, cwd;
    Process process;
    HWND main = nullptr, hidden = nullptr, disabled = nullptr;
};

}  // namespace drv
