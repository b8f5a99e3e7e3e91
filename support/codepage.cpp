#include "support/codepage.h"

#include <windows.h>

std::wstring WideFrom(std::string_view text, unsigned codePage) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

bool ExactBytes(std::wstring_view wide, unsigned codePage, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    // No look-alikes: a missing character becomes the default '?'. Code pages
    // such as UTF-8 refuse both the flag and a default; they need neither.
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    const char* fallback = "?";
    BOOL usedDefault = FALSE;
    BOOL* used = &usedDefault;
    int n = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, fallback, used);
    if (n <= 0) {
        flags = 0;
        fallback = nullptr;
        used = nullptr;
        n = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    }
    if (n > 0) {
        out.resize(size_t(n));
        WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), out.data(), n, fallback, used);
    }
    // The bytes must read back to the same characters: only the round trip
    // proves it, whatever the flags (a code page may write a character as a
    // byte that reads back as another one, and one code page, UTF-8, takes
    // no flags at all).
    bool exact = n > 0 && !usedDefault && WideFrom(out, codePage) == wide;
    if (!exact && out.find('?') == std::string::npos) out += '?';
    return exact;
}
