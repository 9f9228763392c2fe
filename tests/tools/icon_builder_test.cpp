// The icon file built from pixel art: its bytes laid out as the system reads
// them, and the descriptions it refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "icon_builder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(IconBuilder, WritesEachImageBottomRowFirstWithAlphaAndMask) {
    const std::string description =
        "# two sizes, the larger first\n"
        "colour . 00000000\n"
        "colour r ff000080   # half-transparent red\n"
        "colour g 00ff00ff\n"
        "colour b 0000ffff\n"
        "image 2\n"
        "r.\n"
        "gb\n"
        "\n"
        "image 1\r\n"
        "g\r\n";
    const Bytes expected = joined({
        {0, 0, 1, 0, 2, 0},                                         // header: an icon of two images
        {2, 2, 0, 0, 1, 0, 32, 0, 64, 0, 0, 0, 38, 0, 0, 0},        // 2 x 2: 64 bytes at 38
        {1, 1, 0, 0, 1, 0, 32, 0, 48, 0, 0, 0, 102, 0, 0, 0},       // 1 x 1: 48 bytes at 102
        {40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 24, 0, 0, 0},
        Bytes(16, 0),
        {0x00, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF},           // bottom row "gb", BGRA
        {0x00, 0x00, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x00},           // top row "r."
        {0x00, 0, 0, 0},                                            // mask, bottom row: opaque
        {0x40, 0, 0, 0},                                            // top row: "." shows through
        {40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 8, 0, 0, 0},
        Bytes(16, 0),
        {0x00, 0xFF, 0x00, 0xFF},
        {0x00, 0, 0, 0},
    });
    EXPECT_EQ(buildIconFile(description), expected);
}

// The mask's rows are padded to whole 32-bit words; 256 is written as 0.
TEST(IconBuilder, SizesAndRowPadding) {
    struct Case {
        int size;
        std::size_t fileSize;
        std::uint8_t widthByte;
    };
    for (const Case& c : {Case{1, 22 + 40 + 4 + 4, 1}, Case{32, 22 + 40 + 4096 + 128, 32},
                          Case{33, 22 + 40 + 4356 + 264, 33}, Case{256, 22 + 40 + 262144 + 8192, 0}}) {
        std::string description = "colour . 00000000\ncolour x 102030ff\nimage " + std::to_string(c.size) + "\n";
        for (int y = 0; y < c.size; ++y) description += std::string(c.size - 1, 'x') + ".\n";
        const Bytes bytes = buildIconFile(description);
        ASSERT_EQ(bytes.size(), c.fileSize) << c.size;
        EXPECT_EQ(bytes[6], c.widthByte) << c.size;
        EXPECT_EQ(bytes[7], c.widthByte) << c.size;
        // The last pixel of each row is transparent: the last mask row's bit.
        const std::size_t maskRow = (c.size + 31) / 32 * 4;
        const std::size_t lastBit = c.size - 1;
        EXPECT_EQ(bytes[bytes.size() - maskRow + lastBit / 8], 0x80 >> (lastBit % 8)) << c.size;
    }
}

TEST(IconBuilder, RefusesWhatItCannotRead) {
    const std::string colours = "colour . 00000000\ncolour x 102030ff\n";
    struct Case {
        std::string description;
        std::string message;
    };
    const Case cases[] = {
        {colours + "image 2\nx.\nx\n", "line 5: a row of image 2 is 2 characters, not 1"},
        {colours + "image 2\nx.\nxy\n", "line 5: no colour is named 'y'"},
        {colours + "image 2\nx.\n", "line 4: image 2 lacks 1 rows"},
        {colours + "image 2\nx.\n\nxx\n", "line 5: a row of image 2 is 2 characters, not 0"},
        {colours + "image 1\nx\nimage 1\nx\n", "line 5: image 1 is described twice"},
        {colours + "image 0\n", "line 3: an image is 1 to 256 pixels wide, not 0"},
        {colours + "image 257\n", "line 3: an image is 1 to 256 pixels wide, not 257"},
        {colours + "image 1 1\n", "line 3: image takes its size only"},
        {colours + "colour x 000000ff\n", "line 3: colour 'x' is named twice"},
        {"colour . 000000\n", "line 1: a colour is 8 hex digits, RRGGBBAA, not \"000000\""},
        {"colour xy 000000ff\n", "line 1: a colour is named by one printable character other than #"},
        {"picture 16\n", "line 1: unknown line \"picture\""},
        {colours, "line 2: no image is described"},
    };
    for (const Case& c : cases) {
        try {
            buildIconFile(c.description);
            ADD_FAILURE() << "accepted: " << c.description;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.description;
        }
    }
}

}  // namespace
