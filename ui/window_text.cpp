#include <windows.h>

#include <algorithm>

#include "text.h"

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(std::max(GetWindowTextLengthW(window), 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(window, text.data(), static_cast<int>(text.size())), 0)));
    return text;
}
