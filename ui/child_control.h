// One row of a declarative table of child controls, and the control it makes.
#pragma once

#include <windows.h>

#include "main_state.h"

struct ControlRow {
    const char* name;  // the control's name, for a failure message
    const wchar_t* windowClass;
    const wchar_t* caption;
    DWORD style;  // besides WS_CHILD | WS_CLIPSIBLINGS
    DWORD extendedStyle;
    Rect rect;  // in the parent's client coordinates
};

// Creates the control of `row` as child `id` of `parent`, `extraHeight`
// pixels taller than its rectangle (a combo box's drop-down list), in `font`.
// Throws Win32Failure, naming the control, when the system refuses it.
HWND createControl(HWND parent, HINSTANCE instance, int id, const ControlRow& row, HFONT font, int extraHeight = 0);
