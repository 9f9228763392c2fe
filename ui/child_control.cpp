#include "child_control.h"

#include <string>

#include "win32_failure.h"

HWND createControl(HWND parent, HINSTANCE instance, int id, const ControlRow& row, HFONT font, int extraHeight) {
    SetLastError(0);
    const HWND control = CreateWindowExW(row.extendedStyle, row.windowClass, row.caption,
                                         WS_CHILD | WS_CLIPSIBLINGS | row.style, row.rect.left, row.rect.top,
                                         row.rect.width(), row.rect.height() + extraHeight, parent,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!control) throw Win32Failure(std::string("无法创建控件 ") + row.name + " (CreateWindowEx)");
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}
