#include "family.h"

#include <stdexcept>

#include "catalogue.h"
#include "collision_check.h"
#include "file_io.h"
#include "records.h"
#include "staging.h"

namespace cli {

std::optional<std::string> familyCode(std::string_view text) {
    for (const helper::CodeName& family : helper::weaponTypes) {
        if (family.code == text || family.name == text) return std::string(family.code);
    }
    return std::nullopt;
}

helper::Folders programFolders(const std::filesystem::path& programFolder) {
    helper::Folders folders = helper::foldersFor(programFolder, programFolder);
    folders.working.clear();
    return folders;
}

FamilyFiles checkedFamily(std::string_view weaponType, std::array<Bytes, fileCount> bytes,
                          const std::array<std::filesystem::path, fileCount>& sources) {
    FamilyFiles files;
    files.weaponType = std::string(weaponType);
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const auto i = static_cast<std::size_t>(fileIndex);
        files.layouts[i] = helper::checkedLayout(bytes[i].data(), bytes[i].size(), sources[i],
                                                 helper::catalogueTableOffset(weaponType, fileIndex));
        files.bytes[i] = std::move(bytes[i]);
    }
    return files;
}

FamilyFiles templateFiles(const helper::Folders& folders, std::string_view weaponType) {
    std::array<Bytes, fileCount> bytes;
    std::array<std::filesystem::path, fileCount> sources;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        helper::TemplateFile file = helper::readTemplate(helper::templateName(weaponType, fileIndex), folders);
        bytes[static_cast<std::size_t>(fileIndex)] = std::move(file.bytes);
        sources[static_cast<std::size_t>(fileIndex)] = std::move(file.source);
    }
    return checkedFamily(weaponType, std::move(bytes), sources);
}

std::filesystem::path familyFile(const std::filesystem::path& folder, std::string_view weaponType, int fileIndex) {
    return folder / std::filesystem::u8path(helper::collisionFileName(weaponType, fileIndex));
}

FamilyFiles folderFiles(const std::filesystem::path& folder, std::string_view weaponType) {
    std::array<Bytes, fileCount> bytes;
    std::array<std::filesystem::path, fileCount> sources;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const auto i = static_cast<std::size_t>(fileIndex);
        sources[i] = familyFile(folder, weaponType, fileIndex);
        bytes[i] = helper::readWholeFile(sources[i]);
    }
    return checkedFamily(weaponType, std::move(bytes), sources);
}

void requireTablesOf(const FamilyFiles& templates, const FamilyFiles& files, const std::filesystem::path& folder) {
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const auto i = static_cast<std::size_t>(fileIndex);
        const std::size_t expected = templates.layouts[i].recordTable;
        const std::size_t found = files.layouts[i].recordTable;
        if (found != expected) {
            throw helper::FileError("cannot compare", familyFile(folder, files.weaponType, fileIndex),
                                    "its record table starts at " + std::to_string(found) + ", the template's at " +
                                        std::to_string(expected));
        }
    }
}

std::size_t recordOffset(const FamilyFiles& files, int fileIndex, int slot) {
    return files.layouts[static_cast<std::size_t>(fileIndex)].recordOffset(slot);
}

std::size_t recordOffset(int fileIndex, int slot) {
    const auto table = helper::catalogueTableOffset("00", fileIndex);
    if (!table) throw std::logic_error("the catalogue has no record tables for the great sword");
    return *table + helper::recordSize * static_cast<std::size_t>(slot);
}

std::vector<helper::ActionRow> actionRows(const FamilyFiles& files) {
    std::vector<helper::ActionRow> rows;
    const helper::ActionNameTable* names = helper::findActionNames(files.weaponType);
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const auto i = static_cast<std::size_t>(fileIndex);
        helper::appendActionRows(files.bytes[i].data(), files.layouts[i], files.weaponType, fileIndex, names, rows);
    }
    return rows;
}

}  // namespace cli
