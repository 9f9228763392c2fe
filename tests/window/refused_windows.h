// Windows the system refuses to make, as it does when it runs out of them.
#pragma once

#include <windows.h>

// Refuses, on this thread and while it lives, the creation of the windows
// that `refuse` picks.
class RefusedWindows {
public:
    explicit RefusedWindows(bool (*refuse)(HWND window, const CREATESTRUCTW& create)) {
        refuse_ = refuse;
        hook_ = SetWindowsHookExW(WH_CBT, hook, nullptr, GetCurrentThreadId());
    }
    RefusedWindows(const RefusedWindows&) = delete;
    RefusedWindows& operator=(const RefusedWindows&) = delete;
    ~RefusedWindows() { UnhookWindowsHookEx(hook_); }

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const auto& create = *reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs;
            if (refuse_(reinterpret_cast<HWND>(wParam), create)) return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline bool (*refuse_)(HWND, const CREATESTRUCTW&) = nullptr;
    HHOOK hook_;
};

inline bool isOfClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    return GetClassNameW(window, found, 64) > 0 && lstrcmpiW(found, name) == 0;
}
