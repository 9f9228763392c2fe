// Builds a collision file from its description (templates/*.col.txt): the
// make_template tool, and tests that need a file of another family or shape.
//
// A collision file is a run of blocks with no gaps (little-endian integers):
//   header   "COL\0", u32 98, u32 0, u32 103, u32 name count
//   names    per entry: UTF-8 name + NUL, u32 category, i32 slot, i32 flag,
//            3 zero bytes, u32 number
//   CLND     "CLND", u32 98, u32 group count, u32 1
//   groups   per group: byte 1, then a CLGM block of 38 + 72 * n bytes:
//            "CLGM", u32 98, u32 n, data, u16 position among the groups
//   ATK      4 bytes, "ATK\0", u32 98, u32 record count, u32 1, records of
//            217 bytes: id, 3 zero bytes, damage byte and 3 more bytes,
//            float, 4 zero bytes, 6 floats, 177 bytes of data
//   OAP      4 bytes, "OAP\0", u32 98, data to the end of the file
// "data" is never interpreted by the editor; it is filled with bytes from a
// seeded generator that never yields 0, so that any byte that moves shows.
//
// Description lines (# starts a comment):
//   filler SEED
//   header U32 U32 U32
//   name CATEGORY SLOT FLAG NUMBER "TEXT"     (-1 stands for all bits set)
//   clnd U32 U32
//   group N
//   atk HEX8 U32 U32
//   record SLOT DAMAGE V1 V2 V3 V4 V5 V6 V7   (DAMAGE: byte, or byte+hhhhhh
//                                             for the three bytes after it)
//   oap HEX8 U32 COUNT
//   check table OFFSET | check size BYTES    (the build fails unless true)
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// The bytes the description describes; throws std::runtime_error naming the
// line of a description it cannot read, or a check that fails.
std::vector<std::uint8_t> buildCollisionFile(std::istream& description);
std::vector<std::uint8_t> buildCollisionFile(const std::string& description);
