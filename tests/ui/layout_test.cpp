#include "layout.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiScale, RoundsA96DpiLengthAsMulDivDoes) {
    const struct {
        int pixels, dpi, scaled;
    } cases[] = {
        {14, 96, 14},   {14, 144, 21},  {60, 144, 90},  {0, 144, 0},     {800, 144, 1200}, {560, 144, 840},
        {11, 144, 17},  // 16.5: halves go up
        {-11, 144, -17},  // and down for negative lengths (font heights)
        {-10, 144, -15}, {13, 120, 16}, {1, 168, 2},    {100, 120, 125}, {18, 192, 36},    {1, 72, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scaleToDpi(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi;
    }
    static_assert(scaleToDpi(16, 144) == 24);
}

TEST(Layout, ScalesEveryEdgeInProportion) {
    const Rect list{16, 96, 784, 536};
    EXPECT_EQ(scaledRect(list, 800, 560, 96), list);
    EXPECT_EQ(scaledRect(list, 1600, 1120, 96), (Rect{32, 192, 1568, 1072}));
    EXPECT_EQ(scaledRect({40, 40, 184, 62}, 400, 280, 96), (Rect{20, 20, 92, 31}));
    EXPECT_EQ(scaledRect({16, 96, 784, 536}, 1000, 600, 96), (Rect{20, 103, 980, 574}));
}

TEST(Layout, StartsFromTheRectangleAtTheWindowsDpi) {
    const Rect list{16, 96, 784, 536};
    // At the initial client size of each DPI: the 96-dpi rectangle at that DPI.
    EXPECT_EQ(scaledRect(list, 1200, 840, 144), (Rect{24, 144, 1176, 804}));
    EXPECT_EQ(scaledRect(list, 1000, 700, 120), (Rect{20, 120, 980, 670}));
    EXPECT_EQ(scaledRect({196, 35, 260, 72}, 1200, 840, 144), (Rect{294, 53, 390, 108}));
    // Resized from there, in proportion to the initial size at that DPI.
    EXPECT_EQ(scaledRect(list, 600, 420, 144), (Rect{12, 72, 588, 402}));
    EXPECT_EQ(scaledRect(list, 1500, 840, 144), (Rect{30, 144, 1470, 804}));
    // A DPI whose initial size is not a whole multiple still gives the
    // 96-dpi rectangle at that DPI when the window has that size.
    EXPECT_EQ(scaledRect({40, 40, 184, 62}, scaleToDpi(800, 110), scaleToDpi(560, 110), 110),
              scaleToDpi(Rect{40, 40, 184, 62}, 110));
}

}  // namespace
