// Builds an icon file (.ico) from its description (ui/brindlemark.ico.txt):
// the make_icon tool and its test.
//
// Description lines (# starts a comment; blank lines are skipped):
//   colour C RRGGBBAA   the character C stands for this colour (AA 00 is
//                       transparent); any printable character but # and space
//   image N             N rows of N colour characters follow: one image of
//                       N x N pixels, 1 <= N <= 256, each size once
//
// The file (little-endian): a 6-byte header (0, 1, image count), a 16-byte
// directory entry per image (width and height, 0 meaning 256; 0 colours; 0;
// 1 plane; 32 bits; size; offset of its data), then each image's data in the
// order described: a 40-byte bitmap header of height 2N, N rows of BGRA
// pixels and N rows of the 1-bit mask, both bottom row first. The mask rows
// are padded to 4 bytes; a bit is set where the pixel is fully transparent,
// for programs that draw the icon without its alpha channel.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// The bytes the description describes; throws std::runtime_error naming the
// line of a description it cannot read.
std::vector<std::uint8_t> buildIconFile(std::istream& description);
std::vector<std::uint8_t> buildIconFile(const std::string& description);
