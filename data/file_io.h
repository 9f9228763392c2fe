// The file services the editor needs, on the platform's own API (POSIX or
// Win32), so that every failure carries the path and the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace helper {

// A file-system failure: what was being done, to which path, and the system's
// own description of why it failed.
class FileError : public std::runtime_error {
public:
    FileError(std::string action, const std::filesystem::path& path, std::string reason);

    const std::string& action() const { return action_; }
    const std::filesystem::path& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    std::string action_;
    std::filesystem::path path_;
    std::string reason_;
};

// UTF-8 text of a path, for messages.
std::string pathText(const std::filesystem::path& path);

// An existing file opened for binary update (read and write access), used by
// positioned reads and writes. Closed by close() or, discarding errors, by the
// destructor.
class UpdateFile {
public:
    static UpdateFile open(const std::filesystem::path& path);

    UpdateFile(UpdateFile&& other) noexcept;
    UpdateFile& operator=(UpdateFile&& other) noexcept;
    UpdateFile(const UpdateFile&) = delete;
    UpdateFile& operator=(const UpdateFile&) = delete;
    ~UpdateFile();

    std::uint64_t size() const;
    // Reads up to `count` bytes at `offset`; fewer only where the file ends.
    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) const;
    // Writes all `count` bytes at `offset`.
    void writeAt(std::uint64_t offset, const void* buffer, std::size_t count);
    // Hands the written bytes to the system and closes the file.
    void close();

    const std::filesystem::path& path() const { return path_; }

private:
    UpdateFile(std::filesystem::path path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
    void release() noexcept;

    std::filesystem::path path_;
    std::intptr_t handle_;  // file descriptor or HANDLE
};

// The whole content of a file.
std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& path);

// The first `maxBytes` bytes of a file, all of it when it is shorter, read up
// to its end rather than to the size the system reports (a pipe reports
// none). A caller that refuses files above a size asks for one byte more
// than it accepts and never holds more than that.
std::vector<std::uint8_t> readFileStart(const std::filesystem::path& path, std::size_t maxBytes);

// Replacing the whole content of a file so that it holds either its old
// content or the new one, never a part: prepare() writes the new bytes to a
// temporary file in the same folder (creating missing parent folders) and
// checks that the target may be replaced; commit() renames the temporary file
// over the target. A read-only target is refused, as is one that another
// program holds open without letting it be replaced. A replacement that is
// never committed removes its temporary file.
class FileReplacement {
public:
    static FileReplacement prepare(const std::filesystem::path& path, const void* data, std::size_t size);

    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&&) = delete;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();

    void commit();

private:
    FileReplacement(std::filesystem::path target, std::filesystem::path temporary)
        : target_(std::move(target)), temporary_(std::move(temporary)) {}

    std::filesystem::path target_;
    std::filesystem::path temporary_;  // empty once committed or moved from
};

// Creates or truncates `path` and writes `size` bytes into it, in place. For
// the editor's own working copies, which the next load rewrites anyway; files
// the user keeps are replaced with FileReplacement.
void writeWholeFile(const std::filesystem::path& path, const void* data, std::size_t size);

// prepare() and commit() in one.
void replaceFile(const std::filesystem::path& path, const void* data, std::size_t size);

struct NewContent {
    std::filesystem::path path;
    const void* data;
    std::size_t size;
};

// Replaces several files, each whole: every new content is written and every
// target checked before the first target is replaced, so that a full disk or
// a read-only or locked target leaves all the old files in place. A rename
// that fails after others succeeded (the target locked in between) leaves
// those replaced; it throws all the same.
void replaceFiles(const std::vector<NewContent>& files);

// Creates a folder and every missing parent; an existing folder is left alone.
void createFolders(const std::filesystem::path& path);

bool isRegularFile(const std::filesystem::path& path);

}  // namespace helper
