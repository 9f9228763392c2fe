#include "icon_builder.h"

#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "description_support.h"

namespace {

struct Image {
    int size = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBBAA, top row first
};

bool isColourCharacter(char c) { return c > ' ' && c <= '~' && c != '#'; }

std::uint32_t parseColour(const std::string& hex, int line) {
    if (hex.size() != 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        fail(line, "a colour is 8 hex digits, RRGGBBAA, not \"" + hex + "\"");
    return static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
}

int parseSize(const std::string& text, int line) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        fail(line, "an image size is a number, not \"" + text + "\"");
    const int size = std::stoi(text);
    if (size < 1 || size > 256) fail(line, "an image is 1 to 256 pixels wide, not " + text);
    return size;
}

std::vector<Image> readImages(std::istream& description) {
    std::map<char, std::uint32_t> colours;
    std::set<int> sizes;
    std::vector<Image> images;
    int rowsLeft = 0;  // of the last image
    int lineNumber = 0;
    for (std::string line; std::getline(description, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (rowsLeft > 0) {
            Image& image = images.back();
            if (static_cast<int>(line.size()) != image.size)
                fail(lineNumber, "a row of image " + std::to_string(image.size) + " is " +
                                     std::to_string(image.size) + " characters, not " + std::to_string(line.size()));
            for (const char c : line) {
                const auto colour = colours.find(c);
                if (colour == colours.end()) fail(lineNumber, std::string("no colour is named '") + c + "'");
                image.pixels.push_back(colour->second);
            }
            --rowsLeft;
            continue;
        }
        std::istringstream words(line.substr(0, line.find('#')));
        std::string keyword;
        if (!(words >> keyword)) continue;
        std::string first, second, extra;
        words >> first >> second >> extra;
        if (keyword == "colour") {
            if (first.size() != 1 || !isColourCharacter(first[0]))
                fail(lineNumber, "a colour is named by one printable character other than #");
            if (second.empty() || !extra.empty()) fail(lineNumber, "colour takes a character and RRGGBBAA");
            if (!colours.emplace(first[0], parseColour(second, lineNumber)).second)
                fail(lineNumber, "colour '" + first + "' is named twice");
        } else if (keyword == "image") {
            if (!second.empty()) fail(lineNumber, "image takes its size only");
            const int size = parseSize(first, lineNumber);
            if (!sizes.insert(size).second) fail(lineNumber, "image " + first + " is described twice");
            images.push_back({size, {}});
            images.back().pixels.reserve(static_cast<std::size_t>(size) * size);
            rowsLeft = size;
        } else {
            fail(lineNumber, "unknown line \"" + keyword + "\"");
        }
    }
    if (rowsLeft > 0)
        fail(lineNumber, "image " + std::to_string(images.back().size) + " lacks " + std::to_string(rowsLeft) + " rows");
    if (images.empty()) fail(lineNumber, "no image is described");
    return images;
}

constexpr std::uint32_t bitmapHeaderSize = 40;

std::uint32_t maskRowBytes(int size) { return static_cast<std::uint32_t>((size + 31) / 32 * 4); }

std::uint32_t imageDataSize(const Image& image) {
    const auto size = static_cast<std::uint32_t>(image.size);
    return bitmapHeaderSize + size * size * 4 + size * maskRowBytes(image.size);
}

void writeImage(LittleEndianWriter& out, const Image& image) {
    const int size = image.size;
    out.u32(bitmapHeaderSize);
    out.u32(static_cast<std::uint32_t>(size));
    out.u32(static_cast<std::uint32_t>(size) * 2);  // the colour rows and the mask rows
    out.u16(1);                                      // planes
    out.u16(32);                                     // bits per pixel
    out.u32(0);                                      // no compression
    out.u32(imageDataSize(image) - bitmapHeaderSize);
    for (int i = 0; i < 4; ++i) out.u32(0);  // resolution, colours used and important
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const std::uint32_t rgba = image.pixels[static_cast<std::size_t>(y) * size + x];
            out.u8(rgba >> 8);   // blue
            out.u8(rgba >> 16);  // green
            out.u8(rgba >> 24);  // red
            out.u8(rgba);        // alpha
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRowBytes(size), 0);
        for (int x = 0; x < size; ++x) {
            if ((image.pixels[static_cast<std::size_t>(y) * size + x] & 0xFF) == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.bytes.insert(out.bytes.end(), row.begin(), row.end());
    }
}

std::vector<std::uint8_t> encode(const std::vector<Image>& images) {
    LittleEndianWriter out;
    out.u16(0);  // reserved
    out.u16(1);  // an icon, not a cursor
    out.u16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Image& image : images) {
        out.u8(image.size == 256 ? 0 : image.size);
        out.u8(image.size == 256 ? 0 : image.size);
        out.u8(0);  // not a palette image
        out.u8(0);
        out.u16(1);
        out.u16(32);
        out.u32(imageDataSize(image));
        out.u32(offset);
        offset += imageDataSize(image);
    }
    for (const Image& image : images) writeImage(out, image);
    return out.bytes;
}

}  // namespace

std::vector<std::uint8_t> buildIconFile(std::istream& description) { return encode(readImages(description)); }

std::vector<std::uint8_t> buildIconFile(const std::string& description) {
    std::istringstream in(description);
    return buildIconFile(in);
}
