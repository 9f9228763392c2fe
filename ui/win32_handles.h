// One owner for every GDI object and handle the window layer creates.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(void* object) const {
        if (object) DeleteObject(static_cast<HGDIOBJ>(object));
    }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

struct HookDeleter {
    void operator()(HHOOK hook) const {
        if (hook) UnhookWindowsHookEx(hook);
    }
};
using HookHandle = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookDeleter>;

// A font of the given face (or, when empty, the system's message face) at a
// character height in pixels.
FontHandle makeFont(const wchar_t* face, int characterHeight, BYTE charset = DEFAULT_CHARSET);

// The face of the system's message font ("Segoe UI" on current systems).
std::wstring userInterfaceFace();
