// The editor's own executable, beside the test executable.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring editorExecutable() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + L"brindlemark.exe";
}
