// The file services the editor needs, on the platform's own API (POSIX or
// Win32), so that every failure carries the path and the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
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
// temporary file in the same folder (creating missing parent folders),
// flushes it to disk and checks that the target may be replaced; commit()
// renames the temporary file over the target. Refused before anything is
// replaced: a target that is a folder or anything else but a file, a
// read-only target, and one that another program holds open without letting
// it be replaced. A replacement that is never committed removes its
// temporary file. prepare() also removes the files that an export killed
// before its end left beside the target (see leftoverOf), or puts back the
// old file it had moved aside where the target is missing.
class FileReplacement {
public:
    static FileReplacement prepare(const std::filesystem::path& path, const void* data, std::size_t size);

    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&&) = delete;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();

    void commit();

    const std::filesystem::path& target() const { return target_; }
    // Empty once committed.
    const std::filesystem::path& temporary() const { return temporary_; }

private:
    friend class FileSetReplacement;

    // prepare() once the target's folder exists and its leftovers are dealt with.
    static FileReplacement prepareCleared(const std::filesystem::path& path, const void* data, std::size_t size);

    FileReplacement(std::filesystem::path target, std::filesystem::path temporary)
        : target_(std::move(target)), temporary_(std::move(temporary)) {}

    std::filesystem::path target_;
    std::filesystem::path temporary_;  // empty once committed or moved from
};

struct NewContent {
    std::filesystem::path path;
    const void* data;
    std::size_t size;
};

// Replacing several files as one, so that they all hold the new contents or
// all the old ones. prepare() prepares every file (see FileReplacement), so a
// full disk or a target that is a folder, read-only or locked leaves all the
// old files in place. commit() then, file by file, moves the old file aside
// to a backup beside it and renames the new one into place; when a step
// fails it puts every old file back (and removes a new file where there was
// none), then throws the step's error. The backups are removed once all new
// files are in place. commit() is called once: after a failure the new
// contents are gone, and a new replacement starts from prepare().
class FileSetReplacement {
public:
    static FileSetReplacement prepare(const std::vector<NewContent>& files);

    void commit();

    const std::vector<FileReplacement>& files() const { return files_; }

private:
    explicit FileSetReplacement(std::vector<FileReplacement> files) : files_(std::move(files)) {}

    std::vector<FileReplacement> files_;
};

// The files an export of this program leaves beside a target while it runs:
// the new content before it is renamed into place, and the old file while the
// new ones are put in place. Their names are the target's name followed by
// ".brindlemark-", the process id, "-", a count, and ".new" or ".old", so
// that a later export can tell them from the user's files.
enum class LeftoverKind { newContent, oldFile };

struct Leftover {
    LeftoverKind kind;
    unsigned long processId;
};

std::filesystem::path leftoverName(const std::filesystem::path& target, LeftoverKind kind, unsigned long processId,
                                   unsigned long count);
// What `candidate` is to `target`, when its name is one of leftoverName's.
std::optional<Leftover> leftoverOf(const std::filesystem::path& target, const std::filesystem::path& candidate);

// Creates or truncates `path` and writes `size` bytes into it, in place. For
// the editor's own working copies, which the next load rewrites anyway; files
// the user keeps are replaced with FileReplacement.
void writeWholeFile(const std::filesystem::path& path, const void* data, std::size_t size);

// FileReplacement's prepare() and commit() in one.
void replaceFile(const std::filesystem::path& path, const void* data, std::size_t size);

// FileSetReplacement's prepare() and commit() in one.
void replaceFiles(const std::vector<NewContent>& files);

// Creates a folder and every missing parent; an existing folder is left alone.
void createFolders(const std::filesystem::path& path);

bool isRegularFile(const std::filesystem::path& path);

}  // namespace helper
