// Layout of the main window's controls: their 96-dpi rectangles at the
// window's DPI, stretched in proportion to the client area.
#pragma once

#include "dpi_scale.h"
#include "main_state.h"

// The client area the window opens with, at 96 dpi.
inline constexpr int initialClientWidth = 800;
inline constexpr int initialClientHeight = 560;

// Every edge of a 96-dpi rectangle at `dpi`.
Rect scaleToDpi(const Rect& rect, int dpi);

// `initial` (a 96-dpi rectangle at the initial 800 x 560 client size) for a
// client area of width x height at `dpi`: first at `dpi`, then horizontal
// edges by width / (800 at dpi) and vertical ones by height / (560 at dpi),
// each rounded to the nearest pixel. At the initial size for the DPI it is
// scaleToDpi(initial, dpi).
Rect scaledRect(const Rect& initial, int width, int height, int dpi);
