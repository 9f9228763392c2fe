#include "file_io.h"

namespace helper {

FileError::FileError(std::string action, const std::filesystem::path& path, std::string reason)
    : std::runtime_error(action + " " + pathText(path) + ": " + reason),
      action_(std::move(action)),
      path_(path),
      reason_(std::move(reason)) {}

std::string pathText(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::move(other.temporary_)) {
    other.temporary_.clear();
}

FileReplacement::~FileReplacement() {
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

void replaceFile(const std::filesystem::path& path, const void* data, std::size_t size) {
    FileReplacement::prepare(path, data, size).commit();
}

void replaceFiles(const std::vector<NewContent>& files) {
    std::vector<FileReplacement> replacements;
    replacements.reserve(files.size());
    for (const NewContent& file : files) replacements.push_back(FileReplacement::prepare(file.path, file.data, file.size));
    for (FileReplacement& replacement : replacements) replacement.commit();
}

void createFolders(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) throw FileError("cannot create folder", path, error.message());
}

bool isRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace helper
