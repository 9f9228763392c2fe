#include "folders.h"

#include <stdexcept>
#include <string>

namespace helper {

namespace fs = std::filesystem;

namespace {

constexpr fs::path::value_type separator = fs::path::preferred_separator;

fs::path withTrailingSeparator(const fs::path& folder) {
    fs::path::string_type text = folder.native();
    if (text.empty() || text.back() != separator) text += separator;
    return fs::path(text);
}

// Appends a relative path written with "/" as a run of native components.
fs::path::string_type nativeRelative(std::string_view relative) {
    fs::path::string_type text;
    for (char c : relative) text += c == '/' ? separator : static_cast<fs::path::value_type>(c);
    return text;
}

}  // namespace

Folders foldersFor(const fs::path& userData, const fs::path& program) {
    Folders folders;
    fs::path::string_type data = userData.native();
    while (!data.empty() && data.back() == separator) data.pop_back();
    folders.working = fs::path(data + separator + nativeRelative("tessaly/brindlemark/"));
    folders.program = withTrailingSeparator(program);
    folders.outputBase = fs::path(folders.program.native() + nativeRelative("out/nativePC/hm/wp/"));
    return folders;
}

const Folders& defaultFolders() {
    static const Folders folders = foldersFor(userDataFolder(), programFolder());
    return folders;
}

std::string collisionFileName(std::string_view weaponType, int fileIndex) {
    if (fileIndex != 0 && fileIndex != 1) throw std::invalid_argument("file index must be 0 or 1");
    std::string name = "wp";
    name += weaponType;
    name += fileIndex == 0 ? ".col" : "_0" + std::to_string(fileIndex) + ".col";
    return name;
}

std::string templateName(std::string_view weaponType, int fileIndex) {
    return "\\res\\" + collisionFileName(weaponType, fileIndex);
}

fs::path stagedFile(const Folders& folders, std::string_view weaponType, int fileIndex) {
    return folders.working / fs::u8path(collisionFileName(weaponType, fileIndex));
}

fs::path outputFolder(const Folders& folders, std::string_view weaponType) {
    return folders.outputBase / fs::u8path("wp" + std::string(weaponType)) / "collision";
}

fs::path outputFile(const Folders& folders, std::string_view weaponType, int fileIndex) {
    return outputFolder(folders, weaponType) / fs::u8path(collisionFileName(weaponType, fileIndex));
}

}  // namespace helper
