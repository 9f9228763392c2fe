#include "message_loop.h"

namespace {

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP || message == WM_SYSCHAR;
}

bool isPushButton(HWND window) {
    wchar_t name[16] = {};
    if (!GetClassNameW(window, name, 16) || lstrcmpiW(name, L"Button") != 0) return false;
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool shiftHeld() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

}  // namespace

bool KeyboardNavigation::handle(MSG& message) const {
    if (!isKeyMessage(message.message) || !window_) return false;
    const HWND target = message.hwnd;
    if (target != window_ && !IsChild(window_, target)) return false;

    if (grid_ && target != grid_ && IsChild(grid_, target)) {
        // An editor inside the grid: the grid is not a control parent, so the
        // dialog manager would not know where it stands.
        if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
            if (const HWND next = GetNextDlgTabItem(window_, grid_, shiftHeld())) SetFocus(next);
            return true;
        }
        return false;
    }

    if (message.wParam == VK_RETURN && (message.message == WM_KEYDOWN || message.message == WM_KEYUP)) {
        // The dialog manager would turn Enter into IDOK for the window, which
        // has no default button; a focused button is pressed instead, and the
        // selector and the grid get the key as it is.
        if (!isPushButton(target)) return false;
        const bool firstPress = message.message == WM_KEYDOWN && !(message.lParam & (LPARAM{1} << 30));
        if (firstPress) {
            SendMessageW(GetParent(target), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(target), BN_CLICKED),
                         reinterpret_cast<LPARAM>(target));
        }
        return true;
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

void dispatchMessage(MSG& message, const KeyboardNavigation* navigation) {
    if (navigation && navigation->handle(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int runMessageLoop(const KeyboardNavigation* navigation, GetMessageFunction getMessage) {
    MSG message{};
    for (;;) {
        const BOOL got = getMessage(&message, nullptr, 0, 0);
        if (got == -1) return messageLoopFailed;
        if (got == 0) return static_cast<int>(message.wParam);
        dispatchMessage(message, navigation);
    }
}
