#include "family.h"

#include <stdexcept>

#include "catalogue.h"
#include "file_io.h"
#include "records.h"
#include "staging.h"

namespace cli {

namespace {

const helper::TableOffsets& offsets() {
    static const helper::TableOffsets& found = [] () -> const helper::TableOffsets& {
        const helper::TableOffsets* table = helper::findActionOffsets(weaponType);
        if (!table) throw std::logic_error("the catalogue has no record tables for the great sword");
        return *table;
    }();
    return found;
}

const helper::ActionNameTable& names() {
    static const helper::ActionNameTable& found = [] () -> const helper::ActionNameTable& {
        const helper::ActionNameTable* table = helper::findActionNames(weaponType);
        if (!table) throw std::logic_error("the catalogue has no action names for the great sword");
        return *table;
    }();
    return found;
}

}  // namespace

helper::Folders programFolders(const std::filesystem::path& programFolder) {
    helper::Folders folders = helper::foldersFor(programFolder, programFolder);
    folders.working.clear();
    return folders;
}

FamilyFiles templateFiles(const helper::Folders& folders) {
    FamilyFiles files;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        files.bytes[static_cast<std::size_t>(fileIndex)] =
            helper::readTemplate(helper::templateName(weaponType, fileIndex), folders);
    }
    return files;
}

std::filesystem::path familyFile(const std::filesystem::path& folder, int fileIndex) {
    return folder / std::filesystem::u8path(helper::collisionFileName(weaponType, fileIndex));
}

FamilyFiles folderFiles(const std::filesystem::path& folder) {
    FamilyFiles files;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        files.bytes[static_cast<std::size_t>(fileIndex)] = helper::readWholeFile(familyFile(folder, fileIndex));
    }
    return files;
}

std::size_t tableOffset(int fileIndex) { return offsets()[static_cast<std::size_t>(fileIndex)]; }

std::size_t recordOffset(int fileIndex, int slot) {
    return tableOffset(fileIndex) + helper::recordSize * static_cast<std::size_t>(slot);
}

std::vector<helper::ActionRow> actionRows(const FamilyFiles& files) {
    std::vector<helper::ActionRow> rows;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const Bytes& bytes = files.bytes[static_cast<std::size_t>(fileIndex)];
        const std::size_t start = tableOffset(fileIndex);
        if (bytes.size() <= start) continue;
        helper::readActionTable(bytes.data() + start, bytes.size() - start, weaponType, fileIndex, names(), rows);
    }
    return rows;
}

}  // namespace cli
