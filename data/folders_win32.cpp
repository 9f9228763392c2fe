#include <windows.h>
#include <shlobj.h>

#include <string>

#include "file_io.h"
#include "folders.h"

namespace helper {

std::filesystem::path userDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    const HRESULT result = SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    if (FAILED(result)) {
        throw FileError("cannot find", "%APPDATA%", "error " + std::to_string(static_cast<long>(result)));
    }
    return folder;
}

std::filesystem::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw FileError("cannot find", "the program's folder", "GetModuleFileNameW failed");
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // truncated: long path
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace helper
