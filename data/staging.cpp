#include "staging.h"

#include <array>
#include <stdexcept>
#include <string>

#include "catalogue.h"
#include "collision_check.h"
#include "file_io.h"
#include "records.h"
#include "templates.h"

namespace helper {

namespace fs = std::filesystem;

namespace {

constexpr int fileCount = 2;

// Whether anything at all is at `path`, a dangling link included.
bool somethingAt(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
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

TemplateFile readTemplate(std::string_view name, const Folders& folders) {
    fs::path loose = looseTemplateFile(folders, name);
    if (somethingAt(loose)) {
        std::vector<std::uint8_t> bytes = readWholeFile(loose);
        return {std::move(loose), std::move(bytes)};
    }
    const templates::Bytes builtin = templates::builtin(name);
    if (!builtin.data) throw FileError("cannot read", loose, "there is no template of this name");
    return {fs::u8path(name), std::vector<std::uint8_t>(builtin.data, builtin.data + builtin.size)};
}

bool hasTemplates(std::string_view weaponType, const Folders& folders) {
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const std::string name = templateName(weaponType, fileIndex);
        if (templates::builtin(name).data || somethingAt(looseTemplateFile(folders, name))) return true;
    }
    return false;
}

void createRes(std::string_view weaponType, const Folders& folders) {
    std::array<TemplateFile, fileCount> files;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        TemplateFile& file = files[static_cast<std::size_t>(fileIndex)];
        file = readTemplate(templateName(weaponType, fileIndex), folders);
        checkedLayout(file.bytes.data(), file.bytes.size(), file.source, catalogueTableOffset(weaponType, fileIndex));
    }
    createFolders(folders.working);
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const TemplateFile& file = files[static_cast<std::size_t>(fileIndex)];
        writeWholeFile(stagedFile(folders, weaponType, fileIndex), file.bytes.data(), file.bytes.size());
    }
}

std::vector<ActionRow> getActions(std::string_view weaponName, const Folders& folders) {
    const auto code = weaponTypeCode(weaponName);
    if (!code) throw std::invalid_argument("unknown weapon family \"" + std::string(weaponName) + "\"");
    createRes(*code, folders);
    return loadRes(*code, findActionOffsets(*code), findActionNames(*code), folders);
}

void outputRes(const std::vector<ExportRow>& actions, const Folders& folders) {
    if (actions.empty()) throw std::invalid_argument("outputRes: no rows to export");
    const std::string& code = actions.front().weaponType;
    // A family the catalogue has no tables for writes where its staged files have them.
    const auto contents = writeFileAndRead(actions, findActionOffsets(code), folders);
    // replaceFiles creates the output folder.
    std::vector<NewContent> files;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const auto& bytes = contents[static_cast<std::size_t>(fileIndex)];
        files.push_back({outputFile(folders, code, fileIndex), bytes.data(), bytes.size()});
    }
    replaceFiles(files);
}

}  // namespace helper
