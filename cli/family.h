// A weapon family's two collision files as bytes in memory, each walked and
// checked: read whole from the templates or from a folder, walked for their
// action rows, patched in place. Nothing here writes a file.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "action_row.h"
#include "collision_layout.h"
#include "folders.h"

namespace cli {

// The family of a command without --family: the great sword.
inline constexpr std::string_view defaultFamily = "00";
inline constexpr int fileCount = 2;

using Bytes = std::vector<std::uint8_t>;

// wpNN.col (file index 0) and wpNN_01.col (file index 1) of one family.
struct FamilyFiles {
    std::array<Bytes, fileCount> bytes;
    std::string weaponType{defaultFamily};
    // The layout of each file, walked without fault; the record tables are
    // where the catalogue places them for a family it has offsets for.
    std::array<helper::CollisionLayout, fileCount> layouts;
};

// The weapon type code named by a --family argument: a code ("03") or a
// display name ("太刀"), exactly.
std::optional<std::string> familyCode(std::string_view text);

// The editor's folders for a program in `programFolder`. The working folder
// is left empty: nothing here stages files.
helper::Folders programFolders(const std::filesystem::path& programFolder);

// The two files of a family, read from `sources`, after the walk: throws
// FileError naming the source of a file that does not follow the layout or
// whose record table is not where the catalogue places it.
FamilyFiles checkedFamily(std::string_view weaponType, std::array<Bytes, fileCount> bytes,
                          const std::array<std::filesystem::path, fileCount>& sources);

// The templates as the editor reads them: a loose file under the program's
// res folder, otherwise the built-in copy (the great sword's only).
FamilyFiles templateFiles(const helper::Folders& folders, std::string_view weaponType);

// wpNN.col and wpNN_01.col in `folder`, read without changing them.
FamilyFiles folderFiles(const std::filesystem::path& folder, std::string_view weaponType);

// The paths of the two files in `folder`.
std::filesystem::path familyFile(const std::filesystem::path& folder, std::string_view weaponType, int fileIndex);

// Refuses (FileError naming the file in `folder`) files whose record tables
// are not where the templates have theirs: their bytes cannot be compared.
void requireTablesOf(const FamilyFiles& templates, const FamilyFiles& files, const std::filesystem::path& folder);

// Position of the record of `slot` in file `fileIndex` of `files`.
std::size_t recordOffset(const FamilyFiles& files, int fileIndex, int slot);

// Position of the record of `slot` in the great sword's files, where the
// catalogue places their tables.
std::size_t recordOffset(int fileIndex, int slot);

// The editable actions of both files, as the editor loads them: file 0's in
// slot order, then file 1's, named from the catalogue where it has the
// family's names and otherwise from the files' name tables.
std::vector<helper::ActionRow> actionRows(const FamilyFiles& files);

}  // namespace cli
