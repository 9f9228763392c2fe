// Where the editor keeps its files. Every path of a folder ends with a
// separator, so file names are joined by plain concatenation.
#pragma once

#include <filesystem>
#include <string_view>

namespace helper {

struct Folders {
    std::filesystem::path working;     // staged copies: <user data>\tessaly\brindlemark\  .
    std::filesystem::path program;     // the executable's folder; res\ there overrides the built-in templates
    std::filesystem::path outputBase;  // <program>out\nativePC\hm\wp\  .
};

// The folders of a program in `program` for a user whose data folder (roaming
// application data on Windows) is `userData`.
Folders foldersFor(const std::filesystem::path& userData, const std::filesystem::path& program);

// The folders of this program for the current user, computed on first use.
const Folders& defaultFolders();

// The platform's per-user data folder, without a trailing separator: roaming
// application data on Windows; $XDG_DATA_HOME or ~/.local/share elsewhere.
std::filesystem::path userDataFolder();

// The folder that holds the running executable, with a trailing separator.
std::filesystem::path programFolder();

// File names inside those folders. `fileIndex` is 0 (wpNN.col) or 1 (wpNN_01.col).
std::filesystem::path stagedFile(const Folders& folders, std::string_view weaponType, int fileIndex);
std::filesystem::path outputFolder(const Folders& folders, std::string_view weaponType);
std::filesystem::path outputFile(const Folders& folders, std::string_view weaponType, int fileIndex);

// The name by which a built-in template is read: "\res\wpNN.col", "\res\wpNN_01.col".
std::string templateName(std::string_view weaponType, int fileIndex);

// "wpNN.col" or "wpNN_01.col".
std::string collisionFileName(std::string_view weaponType, int fileIndex);

}  // namespace helper
