// The editor's message loop, and what it does with each message: keyboard
// navigation between the window's controls first, then the usual
// translation and dispatch.
#pragma once

#include <windows.h>

// Keyboard navigation of the main window. Tab and Shift+Tab move the focus
// between its controls in their order (the selector, the grid, 重新载入, 导出)
// through the dialog manager, and Space or Enter on a focused button presses
// it. Keys for the editors inside the grid (its edit box, the in-cell combo
// and list) reach them unchanged, Enter above all, which commits there; only
// Tab leaves them, for the control after (or, with Shift, before) the grid.
class KeyboardNavigation {
public:
    KeyboardNavigation(HWND window, HWND grid) : window_(window), grid_(grid) {}

    // Handles `message` when it is one of the window's navigation keys;
    // false leaves it to the usual translation and dispatch.
    bool handle(MSG& message) const;

private:
    HWND window_;
    HWND grid_;
};

// One message: navigation first (when there is a window to navigate), then
// TranslateMessage and DispatchMessageW.
void dispatchMessage(MSG& message, const KeyboardNavigation* navigation);

// The exit code when the system cannot deliver messages any more.
inline constexpr int messageLoopFailed = 2;

using GetMessageFunction = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);

// Runs until WM_QUIT and returns its exit code; messageLoopFailed when
// `getMessage` reports an error (-1).
int runMessageLoop(const KeyboardNavigation* navigation, GetMessageFunction getMessage = GetMessageW);
