// The steps of a file replacement that differ between POSIX and Win32, used by
// the portable replacement logic in file_io_replacement.cpp.
#pragma once

#include <cstddef>
#include <filesystem>

namespace helper::platform {

enum class PathKind {
    absent,
    file,    // a regular file, or a symbolic link to one
    folder,  // or a link to one
    other,   // a device, a pipe, a link to nothing, ...
};

// Throws a FileError when the system cannot tell.
PathKind pathKind(const std::filesystem::path& path);

// Throws a FileError when the file at `target` (which exists) must not or
// cannot be replaced: it is read-only, or another program holds it open
// without letting it be renamed.
void checkReplaceable(const std::filesystem::path& target);

// Creates `path`, which must not exist, writes the bytes, flushes them to disk
// and closes it. False when a file of that name exists already; throws a
// FileError (naming `target`) on any other failure, leaving no file behind.
bool writeNewFile(const std::filesystem::path& path, const void* data, std::size_t size,
                  const std::filesystem::path& target);

// Renames `from` to `to`, replacing a file at `to`. Throws a FileError naming
// `reported`.
void moveFile(const std::filesystem::path& from, const std::filesystem::path& to,
              const std::filesystem::path& reported);

// Removes a file (never a folder); false when it could not.
bool removeFile(const std::filesystem::path& path) noexcept;

// Makes the renames in a folder durable, where the system needs to be told.
void syncFolder(const std::filesystem::path& folder);

unsigned long currentProcessId();
// False for a process that has ended, and for an id that no process can have.
bool processIsRunning(unsigned long id);

}  // namespace helper::platform
