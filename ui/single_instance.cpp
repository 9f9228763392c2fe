#include "single_instance.h"

#include "win32_failure.h"

namespace {

constexpr const wchar_t* instanceKey = SingleInstance::key;
constexpr const wchar_t* windowProperty = SingleInstance::property;

struct Search {
    ATOM atom;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    const auto value = reinterpret_cast<ULONG_PTR>(GetPropW(window, windowProperty));
    if (value != 0 && value == search->atom) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND windowCarrying(ATOM atom) {
    Search search{atom, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND SingleInstance::findRunningWindow() {
    const ATOM atom = GlobalFindAtomW(instanceKey);
    return atom ? windowCarrying(atom) : nullptr;
}

bool SingleInstance::claim(HWND window) {
    if (const ATOM existing = GlobalFindAtomW(instanceKey)) {
        if (HWND running = windowCarrying(existing); running && running != window) {
            // Asynchronously: a first instance that hangs must not hang this one.
            if (IsWindowVisible(running)) ShowWindowAsync(running, SW_RESTORE);
            SetForegroundWindow(running);
            return false;
        }
        GlobalDeleteAtom(existing);  // stale: no window carries it
    }
    SetLastError(0);
    const ATOM atom = GlobalAddAtomW(instanceKey);
    if (!atom) throw Win32Failure("无法添加单实例标记 (GlobalAddAtom)");
    SetLastError(0);
    if (!SetPropW(window, windowProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)))) {
        const DWORD error = GetLastError();
        GlobalDeleteAtom(atom);
        throw Win32Failure("无法在主窗口上记下单实例标记 (SetProp)", error);
    }
    atom_ = atom;
    window_ = window;
    return true;
}

void SingleInstance::release() {
    if (window_) RemovePropW(window_, windowProperty);
    if (atom_) GlobalDeleteAtom(atom_);
    window_ = nullptr;
    atom_ = 0;
}
