#include "driver/dialog_host.h"

#include <gtest/gtest.h>

namespace drv {

DialogHost::DialogHost(const std::string& name) : folder(FreshFolder(name)), cwd(FreshFolder(name + "-cwd")) {
    EXPECT_TRUE(CopyFileA(ToolPath("dialog_host.exe").c_str(), (folder + "dialog_host.exe").c_str(), FALSE));
}

void DialogHost::Put(const std::string& file, const std::string& bytes) {
    EXPECT_TRUE(WriteBytes(folder + file, bytes)) << file;
}

bool DialogHost::Start(const std::string& requests) {
    process = drv::Start(folder + "dialog_host.exe", "\"" + folder + "\" " + requests, cwd);
    EXPECT_TRUE(process.Started()) << requests;
    return process.Started();
}

bool DialogHost::WaitWindows() {
    // The disabled window is made last.
    bool made = WaitFor([&] { return FindTopWindow(process.Id(), "DialogHostDisabled") != nullptr; });
    EXPECT_TRUE(made) << "the host's windows";
    main = FindTopWindow(process.Id(), "DialogHostWindow");
    hidden = FindTopWindow(process.Id(), "DialogHostHidden");
    disabled = FindTopWindow(process.Id(), "DialogHostDisabled");
    return made;
}

std::string DialogHost::Out(const std::string& file) const {
    std::string bytes;
    EXPECT_TRUE(ReadBytes(folder + file, bytes)) << file << " was not written";
    return bytes;
}

std::string DialogHost::Inside(int n) const {
    std::string file = "inside" + std::to_string(n) + ".txt";
    PostMessageA(main, WM_APP, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Exists(folder + file); }, 5000));
    return Out(file);
}

std::string DialogHost::States() const {
    auto flags = [](HWND h) {
        WindowState s = StateOf(h);
        return std::string(s.visible ? "V" : "-") + (s.enabled ? "E" : "-");
    };
    return "main=" + flags(main) + " hidden=" + flags(hidden) + " disabled=" + flags(disabled);
}

}  // namespace drv
