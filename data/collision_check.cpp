#include "collision_check.h"

#include <string>

#include "catalogue.h"
#include "file_io.h"

namespace helper {

std::optional<std::uint32_t> catalogueTableOffset(std::string_view weaponType, int fileIndex) {
    const TableOffsets* offsets = findActionOffsets(weaponType);
    if (!offsets || fileIndex < 0 || fileIndex >= static_cast<int>(offsets->size())) return std::nullopt;
    return (*offsets)[static_cast<std::size_t>(fileIndex)];
}

CollisionLayout checkedLayout(const std::uint8_t* data, std::size_t size, const std::filesystem::path& source,
                              std::optional<std::uint32_t> tableOffset) {
    LayoutWalk walk = walkCollisionFile(data, size);
    if (!walk.ok()) throw FileError("cannot use", source, walk.faultText());
    if (tableOffset && walk.layout.recordTable != *tableOffset) {
        // Another family's file, or another version of this one: its records
        // would be read and written at the wrong places.
        throw FileError("cannot use", source,
                        "the record table starts at " + std::to_string(walk.layout.recordTable) +
                            ", not at " + std::to_string(*tableOffset) + " where this family has it");
    }
    return std::move(walk.layout);
}

}  // namespace helper
