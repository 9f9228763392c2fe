// Win32 implementation of the file services: wide-character paths, and the
// system's own (localised) error texts.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "file_io.h"
#include "file_io_platform.h"
#include "system_message_win32.h"

namespace helper {

namespace {

std::string utf8(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

// A file error's reason reads as part of a sentence: no final full stop.
std::string systemReason(DWORD error) {
    std::string text = systemMessage(error);
    if (text.empty()) return "error " + std::to_string(error);
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    return text;
}

[[noreturn]] void fail(const char* action, const std::filesystem::path& path, DWORD error = GetLastError()) {
    throw FileError(action, path, systemReason(error));
}

HANDLE handleOf(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

class HandleGuard {
public:
    explicit HandleGuard(HANDLE handle) : handle_(handle) {}
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    ~HandleGuard() {
        if (valid()) CloseHandle(handle_);
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

void writeAll(HANDLE file, const void* data, std::size_t size, std::uint64_t offset,
              const std::filesystem::path& path) {
    auto bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        OVERLAPPED position = at(offset);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, &position)) fail("cannot write", path);
        bytes += written;
        size -= written;
        offset += written;
    }
}

std::uint64_t sizeOf(HANDLE file, const std::filesystem::path& path) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) fail("cannot read the size of", path);
    return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace

UpdateFile UpdateFile::open(const std::filesystem::path& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) fail("cannot open", path);
    return UpdateFile(path, reinterpret_cast<std::intptr_t>(file));
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
    if (handle_ != -1) CloseHandle(handleOf(handle_));
    handle_ = -1;
}

std::uint64_t UpdateFile::size() const { return sizeOf(handleOf(handle_), path_); }

std::size_t UpdateFile::readAt(std::uint64_t offset, void* buffer, std::size_t count) const {
    auto bytes = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const std::size_t left = count - total;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        OVERLAPPED position = at(offset + total);
        DWORD got = 0;
        if (!ReadFile(handleOf(handle_), bytes + total, chunk, &got, &position)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            fail("cannot read", path_);
        }
        if (got == 0) break;  // end of file
        total += got;
    }
    return total;
}

void UpdateFile::writeAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    writeAll(handleOf(handle_), buffer, count, offset, path_);
}

void UpdateFile::close() {
    const HANDLE file = handleOf(std::exchange(handle_, -1));
    if (file != handleOf(-1) && !CloseHandle(file)) fail("cannot write", path_);
}

// Why the opened file is not read, or null for a file on a disk.
static const char* notRegularReason(HANDLE file) {
    if (GetFileType(file) != FILE_TYPE_DISK) return "it is a device or a pipe, not a file";
    // The attributes alone: the whole BY_HANDLE_FILE_INFORMATION also asks
    // for the volume's serial number, which under Wine costs more than
    // reading the file.
    FILE_ATTRIBUTE_TAG_INFO information{};
    if (GetFileInformationByHandleEx(file, FileAttributeTagInfo, &information, sizeof information) &&
        (information.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return "it is a folder, not a file";
    }
    return nullptr;
}

std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& path) {
    // FILE_FLAG_BACKUP_SEMANTICS opens a folder too, so that it is refused as
    // one rather than with "access denied". The opened handle is checked, so
    // that nothing can swap the file between a check and the open.
    HandleGuard file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) fail("cannot open", path);
    if (const char* reason = notRegularReason(file.get())) throw FileError("cannot read", path, reason);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(sizeOf(file.get(), path)));
    std::size_t total = 0;
    while (total < bytes.size()) {
        const std::size_t left = bytes.size() - total;
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + total,
                      left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left), &got, nullptr)) {
            fail("cannot read", path);
        }
        if (got == 0) break;  // the file shrank meanwhile
        total += got;
    }
    bytes.resize(total);
    return bytes;
}

std::vector<std::uint8_t> readFileStart(const std::filesystem::path& path, std::size_t maxBytes) {
    HandleGuard file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) fail("cannot open", path);
    constexpr std::size_t block = 1 << 16;
    std::vector<std::uint8_t> bytes;
    if (GetFileType(file.get()) == FILE_TYPE_DISK) {
        bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(sizeOf(file.get(), path), maxBytes)));
    }
    std::size_t total = 0;
    while (total < maxBytes) {
        bytes.resize(total + std::min(block, maxBytes - total));
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &got, nullptr)) {
            if (GetLastError() == ERROR_BROKEN_PIPE) break;  // the end of a pipe's data
            fail("cannot read", path);
        }
        if (got == 0) break;
        total += got;
    }
    bytes.resize(total);
    return bytes;
}

void writeWholeFile(const std::filesystem::path& path, const void* data, std::size_t size) {
    // Overwritten in place and then cut to length, rather than truncated first:
    // rewriting a file of the same size then costs no reallocation.
    HandleGuard file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) fail("cannot write", path);
    writeAll(file.get(), data, size, 0, path);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())) fail("cannot write", path);
    if (!CloseHandle(file.release())) fail("cannot write", path);
}

namespace platform {

PathKind pathKind(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathKind::absent;
        fail("cannot replace", path, error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::other;
    return PathKind::file;
}

void checkReplaceable(const std::filesystem::path& target) {
    // MoveFileExW replaces a read-only file on some systems; the user's
    // read-only mark is honoured on every one.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) fail("cannot replace", target);
    if (attributes & FILE_ATTRIBUTE_READONLY) fail("cannot replace", target, ERROR_ACCESS_DENIED);
    // Renaming a file needs the same right as deleting it; asking for it now
    // finds a file that another program holds open without sharing it, before
    // any file of an export has been replaced.
    HandleGuard probe(CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) fail("cannot replace", target);
}

bool writeNewFile(const std::filesystem::path& path, const void* data, std::size_t size,
                  const std::filesystem::path& target) {
    HandleGuard file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
        fail("cannot create a temporary file beside", target, error);
    }
    try {
        writeAll(file.get(), data, size, 0, target);
        // On disk before it is renamed over the target: otherwise a power loss
        // soon after the rename can leave an empty file where the old one was.
        if (!FlushFileBuffers(file.get())) fail("cannot write", target);
        if (!CloseHandle(file.release())) fail("cannot write", target);
    } catch (...) {
        if (file.valid()) CloseHandle(file.release());  // a file open without sharing cannot be deleted
        DeleteFileW(path.c_str());
        throw;
    }
    return true;
}

void moveFile(const std::filesystem::path& from, const std::filesystem::path& to,
              const std::filesystem::path& reported) {
    // Write-through: the rename is on disk when the call returns.
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        fail("cannot replace", reported);
    }
}

bool removeFile(const std::filesystem::path& path) noexcept { return DeleteFileW(path.c_str()) != 0; }

void syncFolder(const std::filesystem::path&) {
    // Nothing to do: every rename was made with MOVEFILE_WRITE_THROUGH.
}

unsigned long currentProcessId() { return GetCurrentProcessId(); }

bool processIsRunning(unsigned long id) {
    HandleGuard process(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id)));
    // A process that exists but may not be opened is running all the same.
    if (!process.valid()) return GetLastError() == ERROR_ACCESS_DENIED;
    return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace platform

std::string systemMessage(unsigned long error) {
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text = length && message ? std::wstring(message, length) : std::wstring();
    if (message) LocalFree(message);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return utf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace helper
