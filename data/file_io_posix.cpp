// POSIX implementation of the file services.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "file_io.h"
#include "file_io_platform.h"

namespace helper {

namespace {

std::string systemReason(int error) { return std::strerror(error); }

[[noreturn]] void fail(const char* action, const std::filesystem::path& path, int error = errno) {
    throw FileError(action, path, systemReason(error));
}

int descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

// Closes a descriptor on every path out of a scope unless released.
class FdGuard {
public:
    explicit FdGuard(int fd) : fd_(fd) {}
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    ~FdGuard() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

void writeAll(int fd, const void* data, std::size_t size, std::uint64_t offset, const std::filesystem::path& path) {
    auto bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) continue;
            fail("cannot write", path);
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
}

}  // namespace

UpdateFile UpdateFile::open(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fail("cannot open", path);
    return UpdateFile(path, fd);
}

UpdateFile::UpdateFile(UpdateFile&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, -1)) {}

UpdateFile& UpdateFile::operator=(UpdateFile&& other) noexcept {
    if (this != &other) {
        release();
        path_ = std::move(other.path_);
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

UpdateFile::~UpdateFile() { release(); }

void UpdateFile::release() noexcept {
    if (handle_ >= 0) ::close(descriptor(handle_));
    handle_ = -1;
}

std::uint64_t UpdateFile::size() const {
    struct stat info {};
    if (::fstat(descriptor(handle_), &info) != 0) fail("cannot read the size of", path_);
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t UpdateFile::readAt(std::uint64_t offset, void* buffer, std::size_t count) const {
    auto bytes = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const ssize_t got = ::pread(descriptor(handle_), bytes + total, count - total,
                                    static_cast<off_t>(offset + total));
        if (got < 0) {
            if (errno == EINTR) continue;
            fail("cannot read", path_);
        }
        if (got == 0) break;  // end of file
        total += static_cast<std::size_t>(got);
    }
    return total;
}

void UpdateFile::writeAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    writeAll(descriptor(handle_), buffer, count, offset, path_);
}

void UpdateFile::close() {
    const int fd = descriptor(std::exchange(handle_, -1));
    if (fd >= 0 && ::close(fd) != 0) fail("cannot write", path_);
}

// Why a file of this mode is not read, or null for a regular file.
static const char* notRegularReason(mode_t mode) {
    if (S_ISREG(mode)) return nullptr;
    if (S_ISDIR(mode)) return "it is a folder, not a file";
    if (S_ISFIFO(mode)) return "it is a FIFO (named pipe), not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
    if (S_ISSOCK(mode)) return "it is a socket, not a file";
    return "it is not a regular file";
}

std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& path) {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer. The
    // opened handle is then checked, so that nothing can swap the file
    // between a check and the open.
    FdGuard fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) fail("cannot open", path);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) fail("cannot read the size of", path);
    if (const char* reason = notRegularReason(info.st_mode)) throw FileError("cannot read", path, reason);

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t total = 0;
    while (total < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + total, bytes.size() - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            fail("cannot read", path);
        }
        if (got == 0) break;  // the file shrank meanwhile
        total += static_cast<std::size_t>(got);
    }
    bytes.resize(total);
    return bytes;
}

std::vector<std::uint8_t> readFileStart(const std::filesystem::path& path, std::size_t maxBytes) {
    FdGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) fail("cannot open", path);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) fail("cannot read the size of", path);

    constexpr std::size_t block = 1 << 16;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::min<std::uint64_t>(static_cast<std::uint64_t>(info.st_size), maxBytes));
    std::size_t total = 0;
    while (total < maxBytes) {
        bytes.resize(total + std::min(block, maxBytes - total));
        const ssize_t got = ::read(fd.get(), bytes.data() + total, bytes.size() - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            fail("cannot read", path);
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    bytes.resize(total);
    return bytes;
}

void writeWholeFile(const std::filesystem::path& path, const void* data, std::size_t size) {
    // Overwritten in place and then cut to length, rather than truncated first:
    // rewriting a file of the same size then costs no block reallocation.
    FdGuard fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) fail("cannot write", path);
    writeAll(fd.get(), data, size, 0, path);
    if (::ftruncate(fd.get(), static_cast<off_t>(size)) != 0) fail("cannot write", path);
    if (::close(fd.release()) != 0) fail("cannot write", path);
}

namespace platform {

PathKind pathKind(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return PathKind::absent;
        fail("cannot replace", path);
    }
    if (S_ISLNK(info.st_mode) && ::stat(path.c_str(), &info) != 0) return PathKind::other;  // a link to nothing
    if (S_ISREG(info.st_mode)) return PathKind::file;
    if (S_ISDIR(info.st_mode)) return PathKind::folder;
    return PathKind::other;
}

void checkReplaceable(const std::filesystem::path& target) {
    // A file the user made read-only keeps its content. rename() alone would
    // replace it (only the folder's permissions matter to it), and root may
    // write anything, so the mode bits are checked here.
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) fail("cannot replace", target);
    if ((info.st_mode & S_IWUSR) == 0) fail("cannot replace", target, EACCES);
}

bool writeNewFile(const std::filesystem::path& path, const void* data, std::size_t size,
                  const std::filesystem::path& target) {
    // 0666 rather than mkstemp's 0600, so that the umask applies as for any new file.
    FdGuard fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        if (errno == EEXIST) return false;
        fail("cannot create a temporary file beside", target);
    }
    try {
        writeAll(fd.get(), data, size, 0, target);
        // On disk before it is renamed over the target: otherwise a power loss
        // soon after the rename can leave an empty file where the old one was.
        if (::fsync(fd.get()) != 0) fail("cannot write", target);
        if (::close(fd.release()) != 0) fail("cannot write", target);
    } catch (...) {
        ::unlink(path.c_str());
        throw;
    }
    return true;
}

void moveFile(const std::filesystem::path& from, const std::filesystem::path& to,
              const std::filesystem::path& reported) {
    if (::rename(from.c_str(), to.c_str()) != 0) fail("cannot replace", reported);
}

bool removeFile(const std::filesystem::path& path) noexcept { return ::unlink(path.c_str()) == 0; }

void syncFolder(const std::filesystem::path& folder) {
    FdGuard fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) fail("cannot write", folder);
    // Some file systems cannot sync a folder and say so; their renames are as
    // durable as they get.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP) fail("cannot write", folder);
}

unsigned long currentProcessId() { return static_cast<unsigned long>(::getpid()); }

bool processIsRunning(unsigned long id) {
    // 0 and ids beyond pid_t would name process groups or nothing for kill().
    if (id == 0 || id > static_cast<unsigned long>(std::numeric_limits<pid_t>::max())) return false;
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

}  // namespace platform

}  // namespace helper
