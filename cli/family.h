// The great sword's two collision files as bytes in memory: read whole from
// the templates or from a folder, walked for their action rows, patched in
// place. Nothing here writes a file.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "action_row.h"
#include "folders.h"

namespace cli {

// The only family that the editor supports.
inline constexpr std::string_view weaponType = "00";
inline constexpr int fileCount = 2;

using Bytes = std::vector<std::uint8_t>;

// wp00.col (file index 0) and wp00_01.col (file index 1).
struct FamilyFiles {
    std::array<Bytes, fileCount> bytes;
};

// The editor's folders for a program in `programFolder`. The working folder
// is left empty: nothing here stages files.
helper::Folders programFolders(const std::filesystem::path& programFolder);

// The templates as the editor reads them: a loose file under the program's
// res folder, otherwise the built-in copy.
FamilyFiles templateFiles(const helper::Folders& folders);

// wp00.col and wp00_01.col in `folder`, read without changing them.
FamilyFiles folderFiles(const std::filesystem::path& folder);

// The paths of the two files in `folder`.
std::filesystem::path familyFile(const std::filesystem::path& folder, int fileIndex);

// Start of the record table of a file.
std::size_t tableOffset(int fileIndex);

// Position of the record of `slot` in a file.
std::size_t recordOffset(int fileIndex, int slot);

// The editable actions of both files, as the editor loads them: file 0's in
// slot order, then file 1's. A file too short to hold its table gives none.
std::vector<helper::ActionRow> actionRows(const FamilyFiles& files);

}  // namespace cli
