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
