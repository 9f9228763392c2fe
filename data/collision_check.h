// Every collision file is walked before it is used: a loose template, a staged
// copy, a file the command line reads. One that does not follow the block
// layout, or whose record table is not where the catalogue places its
// family's, is refused with the file's path and the reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "collision_layout.h"

namespace helper {

// Where the catalogue places the record table of file `fileIndex` (0 or 1) of
// a family; nothing for a family whose tables are found in its files.
std::optional<std::uint32_t> catalogueTableOffset(std::string_view weaponType, int fileIndex);

// The layout of `size` bytes read from `source`. Throws FileError("cannot
// use", source, "at 3669: expected the tag ATK, found ...") when the walk
// finds a fault, or when `tableOffset` is given and the record table starts
// elsewhere.
CollisionLayout checkedLayout(const std::uint8_t* data, std::size_t size, const std::filesystem::path& source,
                              std::optional<std::uint32_t> tableOffset);

}  // namespace helper
