#include "driver/message_box.h"

#include <gtest/gtest.h>

#include "driver/driver.h"

namespace drv {
namespace {

// The pixels of a 32 x 32 square (BGRA, row by row): from the screen at
// (x, y), or of `icon` drawn on `background`. Icon handles are per process in
// Wine, so the box's icon is recognised by its picture.
std::string Pixels(int x, int y, HICON icon, COLORREF background = 0) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    if (icon) {
        RECT r{0, 0, 32, 32};
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(mem, &r, brush);
        DeleteObject(brush);
        DrawIconEx(mem, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    } else {
        BitBlt(mem, 0, 0, 32, 32, screen, x, y, SRCCOPY);
    }
    GdiFlush();
    std::string out(static_cast<const char*>(bits), 32 * 32 * 4);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

// The buttons as a user reads them, e.g. "Yes No".
std::string ButtonsOf(const MessageBoxInfo& box) {
    std::string out;
    for (auto [has, name] : {std::pair{box.hasOk, "OK"}, {box.hasYes, "Yes"}, {box.hasNo, "No"},
                             {box.hasCancel, "Cancel"}})
        if (has) out += out.empty() ? name : std::string(" ") + name;
    return out;
}

std::string ButtonsOf(UINT flags) {
    // By MB_OK, MB_OKCANCEL, MB_ABORTRETRYIGNORE, MB_YESNOCANCEL, MB_YESNO, MB_RETRYCANCEL.
    const char* const kButtons[] = {"OK", "OK Cancel", "Abort Retry Ignore", "Yes No Cancel", "Yes No", "Retry Cancel"};
    return (flags & MB_TYPEMASK) < std::size(kButtons) ? kButtons[flags & MB_TYPEMASK] : "?";
}

// The titles and texts of the process's boxes, for a failure message.
std::string BoxesOf(DWORD processId) {
    std::string out;
    for (HWND hwnd : TopWindows(processId, "#32770")) {
        MessageBoxInfo box = ReadMessageBox(hwnd);
        out += "\n  \"" + box.title + "\": \"" + box.text + "\"";
    }
    return out.empty() ? " none" : out;
}

}  // namespace

MessageBoxInfo WaitMessageBox(DWORD processId, DWORD ms) {
    return ReadMessageBox(WaitWindow(processId, "#32770", ms));
}

MessageBoxInfo WaitMessageBoxTitled(DWORD processId, const std::string& title, DWORD ms) {
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND hwnd : TopWindows(processId, "#32770"))
            if (WindowText(hwnd) == title) found = hwnd;
        return found != nullptr;
    }, ms);
    return ReadMessageBox(found);
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.hwnd = box;
    if (!info.hwnd) return info;
    WaitFor([&] { return IsWindowVisible(info.hwnd) && GetDlgItem(info.hwnd, 0xFFFF); }, 2000);
    info.title = WindowText(info.hwnd);
    info.text = WindowText(GetDlgItem(info.hwnd, 0xFFFF));
    // Wine's box holds every button and hides those the box does not ask for.
    auto shown = [&](int id) { return IsWindowVisible(GetDlgItem(info.hwnd, id)) != FALSE; };
    info.hasOk = shown(IDOK);
    info.hasYes = shown(IDYES);
    info.hasNo = shown(IDNO);
    info.hasCancel = shown(IDCANCEL);
    // The icon control holds one of the shared system icons (id 20 on
    // Windows, 1088 in Wine's template).
    HWND iconCtl = GetDlgItem(info.hwnd, 20);
    if (!iconCtl) iconCtl = GetDlgItem(info.hwnd, 1088);
    if (iconCtl) {
        const struct { LPCSTR id; UINT flag; } kIcons[] = {{IDI_HAND, MB_ICONERROR},
                                                           {IDI_QUESTION, MB_ICONQUESTION},
                                                           {IDI_EXCLAMATION, MB_ICONWARNING},
                                                           {IDI_ASTERISK, MB_ICONINFORMATION}};
        WaitFor([&] {
            RECT r = WindowRectOf(iconCtl);
            std::string shown = Pixels(r.left, r.top, nullptr);
            // The reference goes on the box's own background, read from the
            // icons' transparent corner: this process's COLOR_3DFACE can be
            // another (Wine reads the system colours once per process, and
            // the desktop may change them after that).
            const COLORREF background = RGB(uint8_t(shown[2]), uint8_t(shown[1]), uint8_t(shown[0]));
            for (const auto& k : kIcons)
                if (shown == Pixels(0, 0, LoadIconA(nullptr, k.id), background)) info.icon = k.flag;
            return info.icon != 0;
        }, 3000);
    }
    return info;
}

void PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button) PostMessageA(button, BM_CLICK, 0, 0);
}

void ExpectBox(const MessageBoxInfo& box, const std::string& text, UINT flags) {
    EXPECT_EQ(box.text, text) << "the box \"" << box.title << "\"";
    EXPECT_EQ(box.icon, flags & MB_ICONMASK) << text;
    EXPECT_EQ(ButtonsOf(box), ButtonsOf(flags)) << text;
}

bool AnswerBox(DWORD processId, const std::string& title, const std::string& text, UINT flags, int answer) {
    MessageBoxInfo box = WaitMessageBoxTitled(processId, title);
    if (!box.hwnd) {
        ADD_FAILURE() << "no box \"" << title << "\" saying \"" << text << "\"; the boxes shown:" << BoxesOf(processId);
        return false;
    }
    ExpectBox(box, text, flags);
    PressButton(box.hwnd, answer);
    bool gone = WaitGone(box.hwnd, 5000);
    EXPECT_TRUE(gone) << "the box stays after its button";
    return gone;
}

bool AnswerFileDialog(DWORD processId, const std::string& title, const std::string& path) {
    constexpr int kNameField = 1152;  // edt1, the dialog's file name box
    HWND dialog = nullptr;
    if (!WaitFor([&] {
            for (HWND hwnd : TopWindows(processId, "#32770"))
                if (WindowText(hwnd) == title) dialog = hwnd;
            return dialog != nullptr;
        })) {
        ADD_FAILURE() << "no dialog \"" << title << "\"";
        return false;
    }
    Settle(dialog);
    if (path.empty()) {
        PressButton(dialog, IDCANCEL);
    } else {
        SendMessageA(GetDlgItem(dialog, kNameField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PressButton(dialog, IDOK);
        // A folder's name opens the folder: taking it needs a second press.
        if (!WaitGone(dialog, 1500)) PressButton(dialog, IDOK);
    }
    bool gone = WaitGone(dialog, 5000);
    EXPECT_TRUE(gone) << "the dialog \"" << title << "\" stays";
    return gone;
}

}  // namespace drv
