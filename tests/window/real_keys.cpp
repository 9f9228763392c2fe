#include "real_keys.h"

#include <string>

#include "gui_driver.h"

namespace {

int realEnterReleases = 0;

// Wine starts a program of the host system natively; its handle does not
// tell when it ends, so the effect is waited for instead.
bool startHostProgram(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    return true;
}

}  // namespace

RealKeys::RealKeys() { hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, hook, GetModuleHandleW(nullptr), 0); }

RealKeys::~RealKeys() {
    if (hook_) UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK RealKeys::hook(int code, WPARAM message, LPARAM data) {
    const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && key.vkCode == VK_RETURN && !(key.flags & LLKHF_INJECTED) &&
        (message == WM_KEYUP || message == WM_SYSKEYUP)) {
        ++realEnterReleases;
    }
    return CallNextHookEx(nullptr, code, message, data);
}

bool RealKeys::startEnter(HWND window) {
    const auto xWindow = reinterpret_cast<ULONG_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
    if (!xWindow) return false;
    return startHostProgram(L"/usr/bin/xdotool windowfocus --sync " + std::to_wstring(xWindow) + L" key Return");
}

bool RealKeys::enter(HWND window) {
    if (!hook_) return false;
    const int before = realEnterReleases;
    if (!startEnter(window)) return false;
    return gui::pumpUntil([&] { return realEnterReleases > before; }, gui::Limit{10000}) && gui::settle();
}
