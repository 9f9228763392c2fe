// The block layout of a collision file, walked from its bytes.
//
// A collision file is a run of blocks with no gaps; integers are
// little-endian, "u32" unsigned and "i32" signed 32-bit:
//   header  20 bytes: "COL\0", u32 98, u32, u32, u32 name count
//   names   name-count entries: UTF-8 text ending in a zero byte, u32
//           category, i32 record slot (-1: none), i32, 3 bytes, u32 number
//   CLND    16 bytes: "CLND", u32 98, u32 group count, u32
//   groups  group-count times: one byte, then a CLGM block of 38 + 72 * n
//           bytes: "CLGM", u32 98, u32 n, data, u16 its position (0, 1, ...)
//   ATK     4 bytes, "ATK\0", u32 98, u32 record count, u32, then the record
//           table: record-count records of 217 bytes, record n carrying n in
//           its first byte
//   OAP     4 bytes, "OAP\0", u32 98, then data in whole 4-byte words up to
//           the end of the file
// 98 follows every tag: a file of another version of the format has another
// number there. Fields the walk does not name are not checked.
//
// The walk works on a byte buffer only (no file access), so that it can be
// fed any bytes at all. Its invariants, for every `data`/`size`:
//   - it reads only data[0] .. data[size - 1], in time linear in `size`;
//   - it throws nothing but std::bad_alloc: a malformed file is a fault in
//     the result, never an exception; it allocates O(size) bytes, whatever
//     the counts in the file say (a count is checked against the bytes left
//     before anything is reserved for it);
//   - the blocks it reports lie inside [0, size), in file order, the first
//     at 0 and each starting where the previous one ends; every name entry
//     it reports (offset + text + 20 bytes) lies inside [0, size);
//   - the first recordsRead records (recordTable + 217 * n) lie inside
//     [0, size) and carry their slot number n in their first byte;
//   - without a fault, the blocks cover [0, size) exactly and recordsRead ==
//     recordCount <= maxRecords, with the whole table inside the ATK block;
//   - with a fault, fault->offset <= size, and everything reported was read
//     before the fault; the walk stops at the first fault.
// A fuzz target needs nothing but walkCollisionFile(data, size) and these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace helper {

inline constexpr std::size_t recordSize = 217;
// Record ids are one byte, so a table holds at most 256 records.
inline constexpr std::uint32_t maxRecords = 256;
// The number that follows every tag.
inline constexpr std::uint32_t layoutVersion = 98;

enum class BlockKind { header, names, clnd, clgm, atk, oap };

struct LayoutBlock {
    BlockKind kind;
    std::size_t offset;  // of its first byte (for a group: the byte before "CLGM")
    std::size_t size;
    // header: name count; names: entries; clnd: group count; clgm: n (its
    // position is its index among the clgm blocks); atk: record count;
    // oap: bytes of data after its head.
    std::size_t count;
};

struct NameEntry {
    std::size_t offset;    // of the name's first byte
    std::string text;      // as stored, without the zero byte; may be any bytes
    std::uint32_t category;
    std::int32_t slot;     // record slot, -1 for none
    std::int32_t flag;
    std::uint32_t number;
};

struct CollisionLayout {
    std::size_t fileSize = 0;
    std::vector<LayoutBlock> blocks;  // the blocks read whole, in file order
    std::vector<NameEntry> names;     // the name entries read whole
    std::size_t recordTable = 0;      // first record; with recordCount, set once the ATK head is read
    std::uint32_t recordCount = 0;
    std::uint32_t recordsRead = 0;    // records whose id was found right

    // The first name entry that belongs to this record slot, or null.
    const NameEntry* nameOfSlot(int slot) const;
    std::size_t recordOffset(int slot) const { return recordTable + recordSize * static_cast<std::size_t>(slot); }
};

struct LayoutFault {
    std::size_t offset;  // where the walk found what it did not expect
    std::string reason;  // "expected the tag ATK, found ATL"
};

struct LayoutWalk {
    CollisionLayout layout;            // as far as it was read
    std::optional<LayoutFault> fault;  // none: the file follows the layout

    bool ok() const { return !fault; }
    // "at 3669: expected the tag ATK, found ATL"; empty without a fault.
    std::string faultText() const;
};

// Walks the blocks of a collision file held in `data` (`size` bytes).
LayoutWalk walkCollisionFile(const std::uint8_t* data, std::size_t size);

const char* blockTag(BlockKind kind);  // "COL", "names", "CLND", "CLGM", "ATK", "OAP"

}  // namespace helper
