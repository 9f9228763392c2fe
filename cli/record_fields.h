// Where the fields that the editor changes lie inside a 217-byte action
// record: the damage-type byte and the seven value floats (little-endian), in
// valueMembers order. Every other byte of a record is carried unchanged.
#pragma once

#include <array>
#include <cstddef>

namespace cli {

inline constexpr std::size_t damageTypeOffset = 4;
inline constexpr std::array<std::size_t, 7> valueOffsets{8, 16, 20, 24, 28, 32, 36};
inline constexpr std::size_t valueSize = 4;
inline constexpr std::size_t editedRecordBytes = 40;  // the part of a record that holds them

// Whether byte `offset` of a record belongs to one of those fields.
constexpr bool isEditableByte(std::size_t offset) {
    if (offset == damageTypeOffset) return true;
    for (std::size_t start : valueOffsets) {
        if (offset >= start && offset < start + valueSize) return true;
    }
    return false;
}

}  // namespace cli
