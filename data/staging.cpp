#include "staging.h"

#include <stdexcept>
#include <string>

#include "catalogue.h"
#include "file_io.h"
#include "records.h"
#include "templates.h"

namespace helper {

namespace fs = std::filesystem;

namespace {

constexpr int fileCount = 2;

const TableOffsets& offsetsOf(std::string_view weaponType) {
    const TableOffsets* offsets = findActionOffsets(weaponType);
    if (!offsets) throw std::invalid_argument("no record tables are known for weapon type " + std::string(weaponType));
    return *offsets;
}

}  // namespace

fs::path looseTemplateFile(const Folders& folders, std::string_view name) {
    fs::path path = folders.program;
    std::size_t start = 0;
    while (start < name.size()) {
        const std::size_t end = std::min(name.find_first_of("\\/", start), name.size());
        if (end > start) path /= fs::u8path(name.substr(start, end - start));
        start = end + 1;
    }
    return path;
}

std::vector<std::uint8_t> readTemplate(std::string_view name, const Folders& folders) {
    const fs::path loose = looseTemplateFile(folders, name);
    if (isRegularFile(loose)) return readWholeFile(loose);
    const templates::Bytes builtin = templates::builtin(name);
    if (!builtin.data) throw FileError("cannot read", loose, "there is no template of this name");
    return std::vector<std::uint8_t>(builtin.data, builtin.data + builtin.size);
}

void createRes(std::string_view weaponType, const Folders& folders) {
    createFolders(folders.working);
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const std::vector<std::uint8_t> bytes = readTemplate(templateName(weaponType, fileIndex), folders);
        writeWholeFile(stagedFile(folders, weaponType, fileIndex), bytes.data(), bytes.size());
    }
}

std::vector<ActionRow> getActions(std::string_view weaponName, const Folders& folders) {
    const auto code = weaponTypeCode(weaponName);
    if (!code) throw std::invalid_argument("unknown weapon family \"" + std::string(weaponName) + "\"");
    const TableOffsets& offsets = offsetsOf(*code);
    const ActionNameTable* names = findActionNames(*code);
    if (!names) throw std::invalid_argument("no action names are known for weapon type " + std::string(*code));
    createRes(*code, folders);
    return loadRes(*code, offsets, *names, folders);
}

void outputRes(const std::vector<ExportRow>& actions, const Folders& folders) {
    if (actions.empty()) throw std::invalid_argument("outputRes: no rows to export");
    const std::string& code = actions.front().weaponType;
    const auto contents = writeFileAndRead(actions, offsetsOf(code), folders);
    createFolders(outputFolder(folders, code));
    std::vector<NewContent> files;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const auto& bytes = contents[static_cast<std::size_t>(fileIndex)];
        files.push_back({outputFile(folders, code, fileIndex), bytes.data(), bytes.size()});
    }
    replaceFiles(files);
}

}  // namespace helper
