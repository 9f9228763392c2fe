#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "file_io.h"
#include "folders.h"

namespace helper {

std::filesystem::path userDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) throw FileError("cannot find", "~/.local/share", "HOME is not set");
    return std::filesystem::path(home) / ".local" / "share";
}

std::filesystem::path programFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) throw FileError("cannot find", "/proc/self/exe", error.message());
    return executable.parent_path().native() + "/";
}

}  // namespace helper
