// The input dialog and the message boxes, driven with real keys and clicks in
// a stand-in application (tools/dialog_host) that reports what came back.
#include <gtest/gtest.h>

#include <optional>

#include "app/core/catalogue.h"
#include "driver/dialog_host.h"
#include "driver/message_box.h"

namespace {

// The host asks with the German texts (it reads no Language.ini here).
const std::string kTitle = CatalogueTextFor(Msg::kProjectName, 0);
const std::string kPrompt = CatalogueTextFor(Msg::kNamePrompt, 0);
const char kAfter[] = "main=VE hidden=-E disabled=V- class=0";  // as before the dialog
const char kDuring[] = "main=V- hidden=-E disabled=V-";

class Dialogs : public ::testing::Test {
protected:
    // Starts the host in a fresh folder of its own (with `defaultText` in
    // default.txt), from another folder, and waits for its windows.
    void StartHost(const std::string& name, const std::string& requests,
                   const std::string& defaultText = std::string()) {
        host_.emplace("dialogs-" + name);
        if (!defaultText.empty()) host_->Put("default.txt", defaultText);
        ASSERT_TRUE(host_->Start(requests));
        ASSERT_TRUE(host_->WaitWindows());
    }

    // Waits for the next input dialog of the host, one that is not `previous`,
    // until it is ready for keys: its edit field has the focus and holds
    // `expected`. The window shows before its controls exist.
    HWND NextAsk(HWND previous = nullptr, const std::string& expected = std::string()) {
        if (previous) { EXPECT_TRUE(drv::WaitGone(previous)); }
        HWND dialog = drv::WaitWindow(host_->process.Id(), "InputRequester");
        EXPECT_NE(dialog, nullptr);
        if (!dialog) return nullptr;
        EXPECT_TRUE(drv::WaitFor([&] { return GetDlgItem(dialog, 1000) != nullptr; }));
        HWND edit = GetDlgItem(dialog, 10);
        EXPECT_TRUE(drv::WaitFocus(edit)) << "typed keys would go elsewhere";
        EXPECT_TRUE(drv::WaitFor([&] { return drv::EditLength(edit) == int(expected.size()); }));
        EXPECT_TRUE(drv::WaitForeground(dialog));
        return dialog;
    }

    std::optional<drv::DialogHost> host_;
};

void ExpectAskLayout(HWND dialog) {
    // 300 x 130, centred on 1024 x 768: at 512 - 150, 384 - 65.
    EXPECT_EQ(drv::WindowRectOf(dialog), (RECT{362, 319, 362 + 300, 319 + 130}));
    EXPECT_EQ(drv::WindowText(dialog), kTitle);
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_VISIBLE), WS_CAPTION | WS_VISIBLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

    const struct {
        const char* cls;
        int id;
        const char* text;
        RECT rect;
        LONG styleMask, style, exStyle;
    } expected[] = {
        {"Static", 0, kPrompt.c_str(), {10, 10, 290, 32}, SS_TYPEMASK, SS_SIMPLE, 0},
        {"Edit", 10, "", {10, 32, 285, 53}, WS_TABSTOP | ES_AUTOHSCROLL | ES_MULTILINE, WS_TABSTOP | ES_AUTOHSCROLL,
         WS_EX_CLIENTEDGE},
        {"Button", 1000, "Ok", {110, 67, 190, 92}, WS_TABSTOP | BS_TYPEMASK, WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    };
    auto children = drv::Children(dialog);
    ASSERT_EQ(children.size(), std::size(expected));
    for (size_t i = 0; i < children.size(); ++i) {
        const auto& c = children[i];
        const auto& e = expected[i];
        SCOPED_TRACE(e.cls);
        EXPECT_EQ(lstrcmpiA(c.className.c_str(), e.cls), 0) << c.className;
        EXPECT_EQ(c.id, e.id);
        if (e.id != 10) { EXPECT_EQ(c.text, e.text); }
        EXPECT_EQ(c.rect, e.rect);
        EXPECT_EQ(c.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(c.style & e.styleMask, e.style);
        EXPECT_EQ(c.exStyle & WS_EX_CLIENTEDGE, e.exStyle);
    }
}

TEST_F(Dialogs, EnterReturnsTheTypedTextWhileTheOtherWindowsRest) {
    StartHost("enter", "ask");
    HWND dialog = NextAsk();
    ASSERT_NE(dialog, nullptr);
    ExpectAskLayout(dialog);
    EXPECT_EQ(host_->States(), kDuring) << "only the visible, enabled window is disabled";
    EXPECT_TRUE(drv::StateOf(dialog).enabled);
    EXPECT_EQ(host_->Inside(1), std::string(kDuring) +
                             "\nowner=main\nfonts=stock\nstyle=3 icon=0 cursor=1 menu=0 brush=1\nfocus=edit\n");

    HWND edit = GetDlgItem(dialog, 10);
    drv::TypeText("Mein Projekt 42");
    EXPECT_TRUE(drv::WaitFor([&] { return drv::WindowText(edit) == "Mein Projekt 42"; }, 3000));
    drv::KeyTap(VK_RETURN);
    EXPECT_EQ(host_->process.Wait(), 0);
    EXPECT_EQ(host_->Out("ask1.txt"), "Mein Projekt 42");
    EXPECT_EQ(host_->Out("state1.txt"), kAfter);
}

TEST_F(Dialogs, DefaultTextThenEscapeThenASecondDialogEndedByOk) {
    const std::string text = "Vorgabe \xE4\xF6\xFC";
    StartHost("escape", "ask=default.txt ask", text);
    HWND first = NextAsk(nullptr, text);
    ASSERT_NE(first, nullptr);
    HWND edit = GetDlgItem(first, 10);
    EXPECT_EQ(drv::WindowText(edit), text);
    int start = -1, end = -1;
    drv::EditSelection(edit, &start, &end);
    EXPECT_EQ(start, int(text.size())) << "caret after the last character";
    EXPECT_EQ(end, int(text.size())) << "nothing selected";
    drv::TypeText("X");
    EXPECT_TRUE(drv::WaitFor([&] { return drv::WindowText(edit) == text + "X"; }, 3000));
    drv::KeyTap(VK_ESCAPE);

    HWND second = NextAsk(first);
    ASSERT_NE(second, nullptr);
    ExpectAskLayout(second);
    EXPECT_EQ(drv::WindowText(GetDlgItem(second, 10)), "");
    EXPECT_EQ(host_->States(), kDuring);
    // The platform deletes a class's background brush with the class, so the
    // second dialog must not be handed the first one's brush again.
    EXPECT_EQ(host_->Inside(2), std::string(kDuring) +
                             "\nowner=main\nfonts=stock\nstyle=3 icon=0 cursor=1 menu=0 brush=1\nfocus=edit\n");
    drv::TypeText("zwei");
    EXPECT_TRUE(drv::WaitFor([&] { return drv::WindowText(GetDlgItem(second, 10)) == "zwei"; }, 3000));
    drv::ClickWindow(GetDlgItem(second, 1000));  // the Ok button, by mouse this time

    EXPECT_EQ(host_->process.Wait(), 0);
    EXPECT_EQ(host_->Out("ask1.txt"), "") << "Escape gives empty text even with text typed";
    EXPECT_EQ(host_->Out("ask2.txt"), "zwei");
    EXPECT_EQ(host_->Out("state1.txt"), kAfter);
    EXPECT_EQ(host_->Out("state2.txt"), kAfter);
}

TEST_F(Dialogs, AtMost9999CharactersAreTaken) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += char('a' + i % 26);
    StartHost("long", "ask=default.txt", text);
    HWND dialog = NextAsk(nullptr, text);
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, 10);
    drv::KeyTap(VK_HOME);
    drv::TypeText("AB");
    EXPECT_TRUE(drv::WaitFor([&] { return drv::EditLength(edit) == 20002; }, 3000));
    drv::KeyTap(VK_RETURN);
    EXPECT_EQ(host_->process.Wait(), 0);
    EXPECT_EQ(host_->Out("ask1.txt"), "AB" + text.substr(0, 9997));
}

TEST_F(Dialogs, MessageBoxesReturnTheButtonPressed) {
    StartHost("boxes", "box=36 box=64 box=36");
    const struct {
        UINT flags;
        int press;  // 0: Enter
    } steps[] = {{MB_ICONQUESTION | MB_YESNO, IDYES},
                 {MB_ICONINFORMATION | MB_OK, 0},
                 {MB_ICONQUESTION | MB_YESNO, IDNO}};
    HWND previous = nullptr;
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("box " + std::to_string(i + 1));
        if (previous) { ASSERT_TRUE(drv::WaitGone(previous)); }
        drv::MessageBoxInfo box = drv::WaitMessageBox(host_->process.Id());
        ASSERT_NE(box.hwnd, nullptr);
        EXPECT_EQ(box.title, "Info");
        drv::ExpectBox(box, "Message " + std::to_string(i + 1), steps[i].flags);
        EXPECT_EQ(host_->States(), kDuring);
        EXPECT_EQ(host_->Inside(int(i) + 1), std::string(kDuring) + "\nowner=main\n");
        if (steps[i].press) {
            drv::ClickWindow(GetDlgItem(box.hwnd, steps[i].press));
        } else {
            EXPECT_TRUE(drv::WaitForeground(box.hwnd));
            drv::KeyTap(VK_RETURN);
        }
        previous = box.hwnd;
    }
    EXPECT_EQ(host_->process.Wait(), 0);
    EXPECT_EQ(host_->Out("box1.txt"), "6");
    EXPECT_EQ(host_->Out("box2.txt"), "1");
    EXPECT_EQ(host_->Out("box3.txt"), "7");
    for (const char* state : {"state1.txt", "state2.txt", "state3.txt"}) EXPECT_EQ(host_->Out(state), kAfter) << state;
}

}  // namespace
