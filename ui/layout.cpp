#include "layout.h"

#include <cmath>

namespace {

int scaled(int value, int size, int initialSize) {
    return static_cast<int>(std::lround(static_cast<double>(value) * size / initialSize));
}

}  // namespace

Rect scaledRect(const Rect& initial, int width, int height) {
    return {scaled(initial.left, width, initialClientWidth), scaled(initial.top, height, initialClientHeight),
            scaled(initial.right, width, initialClientWidth), scaled(initial.bottom, height, initialClientHeight)};
}
