// The DPI a window is shown at, and the system's sizes for it, on every
// system the editor runs on. The per-window functions of user32 (Windows 10
// version 1607 on, and Wine) are looked up when first needed; without them
// there is one DPI for the whole screen, the one older systems have.
#pragma once

#include <windows.h>

// 96 at 100 %, 120 at 125 %, 144 at 150 %.
int windowDpi(HWND window);
// The screen's DPI, the one new windows open at on the primary monitor.
int screenDpi();

// Grows the client rectangle `rect` into the outer rectangle of a window of
// these styles shown at `dpi`.
void adjustWindowRectForDpi(RECT& rect, DWORD style, DWORD extendedStyle, int dpi);

// The fonts and sizes of captions, menus and messages as the system gives
// them for `dpi`. False when the system gives none.
bool nonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi);
