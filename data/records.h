// Reading action records from, and writing them into, the staged copies of a
// family's two collision files.
//
// Record n of a file's table starts at the table's offset + 217 * n. Only its
// first 40 bytes mean anything to the editor:
//   0      id, equal to n in every valid record (compared, never written)
//   4      damage type code (1 byte)
//   8      action value (float)
//   16-39  physical, element and status multipliers, stun, stamina-drain and
//          mount values (six floats)
// Bytes 1-3, 5-7, 12-15 and 40-216 are never changed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "action_row.h"
#include "catalogue.h"
#include "collision_layout.h"
#include "folders.h"

namespace helper {

// Where the edited fields lie inside a record: the damage-type byte and the
// seven value floats, in valueMembers order.
inline constexpr std::size_t damageTypeOffset = 4;
inline constexpr std::array<std::size_t, 7> valueOffsets{8, 16, 20, 24, 28, 32, 36};
inline constexpr std::size_t valueSize = 4;
inline constexpr std::size_t usedRecordBytes = 40;  // the part of a record the editor reads

// Whether byte `offset` of a record belongs to one of the edited fields.
constexpr bool isEditableByte(std::size_t offset) {
    if (offset == damageTypeOffset) return true;
    for (std::size_t start : valueOffsets) {
        if (offset >= start && offset < start + valueSize) return true;
    }
    return false;
}

// The editable actions of both staged files of a family: file 0's rows in slot
// order, then file 1's; records whose damage byte is not 1, 2 or 3 are
// skipped. Each staged file is walked first and refused (FileError) unless it
// follows the collision-file layout with its record table at `offsets`; the
// table holds exactly the record count of its ATK block. Where `offsets` is
// null the tables are taken from the files, and where `names` is null each
// action is named by its file's name table.
std::vector<ActionRow> loadRes(std::string_view weaponType, const TableOffsets* offsets,
                               const ActionNameTable* names, const Folders& folders = defaultFolders());
inline std::vector<ActionRow> loadRes(std::string_view weaponType, const TableOffsets& offsets,
                                      const ActionNameTable& names, const Folders& folders = defaultFolders()) {
    return loadRes(weaponType, &offsets, &names, folders);
}

// The editable actions of one collision file held in memory whose layout the
// walk found whole. `names` is the catalogue's table of the family, or null:
// then a record's name is that of the first entry of the file's name table
// whose slot is the record's (none when there is no such entry).
void appendActionRows(const std::uint8_t* file, const CollisionLayout& layout, std::string_view weaponType,
                      int fileIndex, const ActionNameTable* names, std::vector<ActionRow>& rows);

// Writes the damage type and the seven values of one row into the 40 bytes of
// its record at `record`; throws std::invalid_argument for a damage type that
// is not a catalogue code or a value whose nearest float is not finite.
void writeActionRecord(std::uint8_t* record, const ExportRow& row);

// Writes the damage type and the seven values of every row into its record in
// the staged files: 29 bytes per record, nothing else. The rows must be one
// family's, at least one, file 0's before file 1's, starting with file 0;
// anything else is refused with std::invalid_argument before a file is opened.
// Each staged file is walked before it is written: one that does not follow
// the layout, whose record table is not at `offsets` (null: wherever the file
// has it) or that has no record for a row's slot is refused with FileError,
// unchanged.
void writeFile(const std::vector<ExportRow>& actions, const TableOffsets* offsets,
               const Folders& folders = defaultFolders());
inline void writeFile(const std::vector<ExportRow>& actions, const TableOffsets& offsets,
                      const Folders& folders = defaultFolders()) {
    writeFile(actions, &offsets, folders);
}

// writeFile, handing back the whole content of both staged files as they are
// afterwards, so that an export can copy them without reading them again.
std::array<std::vector<std::uint8_t>, 2> writeFileAndRead(const std::vector<ExportRow>& actions,
                                                          const TableOffsets* offsets,
                                                          const Folders& folders = defaultFolders());

}  // namespace helper
