#include "layout.h"

#include <cmath>

namespace {

int scaled(int value, int size, int initialSize) {
    return static_cast<int>(std::lround(static_cast<double>(value) * size / initialSize));
}

}  // namespace

Rect scaleToDpi(const Rect& rect, int dpi) {
    return {scaleToDpi(rect.left, dpi), scaleToDpi(rect.top, dpi), scaleToDpi(rect.right, dpi),
            scaleToDpi(rect.bottom, dpi)};
}

Rect scaledRect(const Rect& initial, int width, int height, int dpi) {
    const Rect atDpi = scaleToDpi(initial, dpi);
    const int initialWidth = scaleToDpi(initialClientWidth, dpi);
    const int initialHeight = scaleToDpi(initialClientHeight, dpi);
    return {scaled(atDpi.left, width, initialWidth), scaled(atDpi.top, height, initialHeight),
            scaled(atDpi.right, width, initialWidth), scaled(atDpi.bottom, height, initialHeight)};
}
