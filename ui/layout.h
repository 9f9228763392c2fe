// Proportional layout of the main window's controls.
#pragma once

#include "main_state.h"

inline constexpr int initialClientWidth = 800;
inline constexpr int initialClientHeight = 560;

// `initial` (at the 800 x 560 client size) scaled to a client area of
// width x height: horizontal edges by width / 800, vertical ones by height / 560,
// each rounded to the nearest pixel.
Rect scaledRect(const Rect& initial, int width, int height);
