#include "dropped_paths.h"

#include <memory>
#include <string>
#include <type_traits>

namespace {

// Carries the data of a drop between processes; windows.h does not name it.
constexpr UINT WM_COPYGLOBALDATA = 0x0049;

struct DropFinisher {
    void operator()(HDROP drop) const {
        if (drop) DragFinish(drop);
    }
};
using DropHandle = std::unique_ptr<std::remove_pointer_t<HDROP>, DropFinisher>;

}  // namespace

void acceptDroppedFiles(HWND window) {
    DragAcceptFiles(window, TRUE);
    // Failing only where there is no such filtering: nothing to do then.
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), WM_COPYGLOBALDATA}) {
        ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
    }
}

std::vector<std::filesystem::path> takeDroppedPaths(HDROP drop) {
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
