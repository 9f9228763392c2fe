// One owner for every GDI object and handle the window layer creates, and the
// one look-up of the system's user-interface font.
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

// The system's message font for a window at `dpi`, the face dialogs and
// controls show ("Segoe UI" on current systems, "Tahoma" on older ones;
// "Segoe UI" when the system gives none).
LOGFONTW systemMessageFont(int dpi);

// A font of the given face (or, when empty, the system's message face) at a
// character height given in pixels at 96 dpi, for a window at `dpi`, normal weight.
FontHandle makeFont(const wchar_t* face, int characterHeight, int dpi, BYTE charset = DEFAULT_CHARSET);
