// Lengths written for 96 dpi (100 %), scaled for the DPI a window is shown
// at. The layout, the fonts, the column widths and the editors' offsets are
// written as 96-dpi numbers and pass through here.
#pragma once

inline constexpr int defaultDpi = 96;

// `pixels` at 96 dpi, at `dpi`: rounded to the nearest pixel, halves away
// from zero, as the system's MulDiv(pixels, dpi, 96) rounds. 96 changes nothing.
constexpr int scaleToDpi(int pixels, int dpi) {
    const long long product = static_cast<long long>(pixels) * dpi;
    const long long rounded = (product < 0 ? -product : product) + defaultDpi / 2;
    return static_cast<int>(product < 0 ? -(rounded / defaultDpi) : rounded / defaultDpi);
}
