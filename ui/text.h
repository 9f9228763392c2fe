// The one conversion pair between the program's UTF-8 texts and the UTF-16
// that the W functions of Win32 take.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The text (caption) of a window.
std::wstring windowText(HWND window);
