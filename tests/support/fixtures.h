// Shared helpers of the data tests: a temporary set of the editor's folders,
// the template bytes, and file access in a few words.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "action_row.h"
#include "folders.h"
#include "temp_folder.h"
#include "templates.h"

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

inline Bytes fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes templateBytes(int fileIndex) {
    const auto bytes = templates::builtin(fileIndex == 0 ? "\\res\\wp00.col" : "\\res\\wp00_01.col");
    return Bytes(bytes.data, bytes.data + bytes.size);
}

// A row as the export makes it from an unedited grid row: the display texts
// read back as numbers.
inline helper::ExportRow uneditedExportRow(const helper::ActionRow& row) {
    helper::ExportRow out = helper::exportRowFor(row);
    out.damageType = std::to_string(row.damageType);
    for (std::size_t i = 0; i < helper::valueMembers<helper::ExportRow>.size(); ++i) {
        out.*helper::valueMembers<helper::ExportRow>[i] = std::stod(row.*helper::valueMembers<helper::ActionRow>[i]);
    }
    return out;
}

inline std::vector<helper::ExportRow> uneditedExportRows(const std::vector<helper::ActionRow>& rows) {
    std::vector<helper::ExportRow> out;
    for (const helper::ActionRow& row : rows) out.push_back(uneditedExportRow(row));
    return out;
}

// The editor's folders inside a temporary folder: user data in "appdata",
// the program in "program".
struct TempFolders {
    TempFolder root;
    helper::Folders folders = helper::foldersFor(root.path() / "appdata", root.path() / "program");
};

}  // namespace testing_support
