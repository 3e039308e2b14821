// windows.h for the shell, without the DrawText macro (the program's font and drawing
// interface have their own DrawText), and the one UTF-8 to UTF-16 conversion for UI texts.
#pragma once

#include <windows.h>

#include <string>

#undef DrawText

// UI texts are UTF-8 in the source and shown through the wide API, whatever the system locale.
inline std::wstring Widen(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length - 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &text[0], length);
    return text;
}
