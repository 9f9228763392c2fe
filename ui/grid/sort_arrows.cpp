#include "sort_arrows.h"

#include <cstdint>

namespace lvGrid {

namespace {

constexpr int width = 16;
constexpr int height = 15;
constexpr int firstRow = 6;  // the triangles cover rows 6 to 9
constexpr int centre = 7;    // and columns 4 to 10 at their base

constexpr std::uint32_t grey = 0x808080;     // as a 32-bit DIB pixel: 0xRRGGBB
constexpr std::uint32_t magenta = 0xFF00FF;  // the transparent colour

struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const noexcept { DeleteObject(bitmap); }
};

// Whether pixel (x, y) of image 0 (up) or 1 (down) belongs to the triangle.
bool covered(int image, int x, int y) {
    const int step = y - firstRow;
    if (step < 0 || step > 3) return false;
    const int halfWidth = image == 0 ? step : 3 - step;
    return x >= centre - halfWidth && x <= centre + halfWidth;
}

}  // namespace

ImageList createSortArrows() {
    ImageList list(ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 0, 1));
    if (!list) return list;

    // Both images side by side in one 32 x 15 strip, added masked on magenta.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 2 * width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter> strip(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!strip || !bits) return nullptr;

    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 2 * width; ++x) {
            pixels[y * 2 * width + x] = covered(x / width, x % width, y) ? grey : magenta;
        }
    }
    GdiFlush();
    if (ImageList_AddMasked(list.get(), strip.get(), RGB(255, 0, 255)) < 0) return nullptr;
    return list;
}

}  // namespace lvGrid
