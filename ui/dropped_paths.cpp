#include "dropped_paths.h"

#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

namespace {

// Carries the data of a drop between processes; windows.h does not name it.
constexpr UINT WM_COPYGLOBALDATA = 0x0049;

struct DropFinisher {
    void operator()(HDROP drop) const { DragFinish(drop); }
};
using DropHandle = std::unique_ptr<std::remove_pointer_t<HDROP>, DropFinisher>;

// Whether the block holds a DROPFILES whose path list, of wide or narrow
// characters, ends with its empty path inside the block.
bool holdsPathList(HDROP drop) {
    const SIZE_T size = GlobalSize(drop);
    if (size < sizeof(DROPFILES)) return false;
    const auto* header = static_cast<const DROPFILES*>(GlobalLock(drop));
    if (!header) return false;
    bool ended = false;
    if (header->pFiles >= sizeof(DROPFILES) && header->pFiles < size) {
        const auto* list = reinterpret_cast<const BYTE*>(header) + header->pFiles;
        const std::size_t unit = header->fWide ? sizeof(wchar_t) : 1;
        const std::size_t units = (size - header->pFiles) / unit;
        bool previousZero = false;
        for (std::size_t i = 0; i < units && !ended; ++i) {
            wchar_t character = 0;
            std::memcpy(&character, list + i * unit, unit);  // the list need not be aligned
            ended = character == 0 && previousZero;
            previousZero = character == 0;
        }
    }
    GlobalUnlock(drop);
    return ended;
}

}  // namespace

void acceptDroppedFiles(HWND window) {
    DragAcceptFiles(window, TRUE);
    // Failing only where there is no such filtering: nothing to do then.
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), WM_COPYGLOBALDATA}) {
        ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
    }
}

std::vector<std::filesystem::path> takeDroppedPaths(HDROP drop) {
    // Windows copies a drop into the receiving process. Wine does not: a
    // WM_DROPFILES posted by another process carries that process's handle,
    // which here may name a block of our own (an edit control's text, say).
    // Freeing that would break whoever owns it, so a block that is not a
    // drop is neither read nor freed.
    if (!holdsPathList(drop)) return {};
    const DropHandle owner(drop);
    std::vector<std::filesystem::path> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);  // characters, without the terminating zero
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
        if (!path.empty()) paths.emplace_back(std::move(path));
    }
    return paths;
}
