// Replacing files whole, one or several as one, on the steps of
// file_io_platform.h.
#include <charconv>
#include <map>
#include <set>
#include <string_view>

#include "file_io.h"
#include "file_io_platform.h"

namespace helper {

namespace fs = std::filesystem;

namespace {

using platform::PathKind;

constexpr std::string_view leftoverMarker = ".brindlemark-";
constexpr std::string_view newSuffix = ".new";
constexpr std::string_view oldSuffix = ".old";

fs::path folderOf(const fs::path& path) { return path.has_parent_path() ? path.parent_path() : fs::path("."); }

[[noreturn]] void refuseKind(PathKind kind, const fs::path& target) {
    throw FileError("cannot replace", target, kind == PathKind::folder ? "it is a folder" : "it is not a regular file");
}

// Refuses a target that must not be replaced; an absent one is fine.
void checkTarget(const fs::path& target) {
    const PathKind kind = platform::pathKind(target);
    if (kind == PathKind::absent) return;
    if (kind != PathKind::file) refuseKind(kind, target);
    platform::checkReplaceable(target);
}

bool isOurs(const Leftover& leftover) {
    return leftover.processId == platform::currentProcessId() || platform::processIsRunning(leftover.processId);
}

// Removes what an export killed before its end left beside the `targets`,
// which lie in `folder`; files of a running export (this one or another
// program's) stay. An old file whose target is missing, because the export
// was killed between moving it aside and renaming the new one into place, is
// put back instead. The folder is read once for all its targets.
void removeLeftovers(const fs::path& folder, const std::vector<fs::path>& targets) noexcept {
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (const fs::directory_iterator end; !error && entry != end; entry.increment(error)) {
        for (const fs::path& target : targets) {
            try {
                const fs::path& path = entry->path();
                const auto leftover = leftoverOf(target, path);
                if (!leftover) continue;
                if (isOurs(*leftover)) break;
                if (leftover->kind == LeftoverKind::oldFile && platform::pathKind(target) == PathKind::absent) {
                    platform::moveFile(path, target, target);
                } else {
                    platform::removeFile(path);
                }
                break;
            } catch (...) {
                // A leftover that cannot be dealt with is no reason to fail an export.
                break;
            }
        }
    }
}

unsigned long nextCount() {
    static unsigned long count = 0;
    return ++count;
}

bool parseNumber(std::string_view text, unsigned long& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// One file of a FileSetReplacement's commit: where its old file was put, and
// whether the new one is in place.
struct Step {
    FileReplacement* file;
    fs::path backup;  // empty: there was no old file (or it is not moved yet)
    bool placed = false;
};

// Puts the old files back, the last replaced first. Returns a note for the
// error message on what could not be put back, empty when all went back.
std::string putBack(const std::vector<Step>& steps) {
    std::string notes;
    std::set<fs::path> folders;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        const fs::path& target = step->file->target();
        try {
            folders.insert(folderOf(target));
            if (!step->backup.empty()) {
                platform::moveFile(step->backup, target, target);
            } else if (step->placed && !platform::removeFile(target)) {
                notes += "; the new " + pathText(target) + " could not be removed";
            }
        } catch (...) {
            notes += "; the previous " + pathText(target) + " could not be put back and is kept as " +
                     pathText(step->backup);
        }
    }
    for (const fs::path& folder : folders) {
        try {
            platform::syncFolder(folder);
        } catch (...) {
        }
    }
    return notes;
}

}  // namespace

fs::path leftoverName(const fs::path& target, LeftoverKind kind, unsigned long processId, unsigned long count) {
    fs::path name = target;
    name += std::string(leftoverMarker) + std::to_string(processId) + "-" + std::to_string(count) +
            std::string(kind == LeftoverKind::newContent ? newSuffix : oldSuffix);
    return name;
}

std::optional<Leftover> leftoverOf(const fs::path& target, const fs::path& candidate) {
    const std::string name = pathText(candidate.filename());
    const std::string prefix = pathText(target.filename()) + std::string(leftoverMarker);
    if (name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    std::string_view rest = std::string_view(name).substr(prefix.size());

    LeftoverKind kind;
    if (rest.size() > newSuffix.size() && rest.substr(rest.size() - newSuffix.size()) == newSuffix) {
        kind = LeftoverKind::newContent;
    } else if (rest.size() > oldSuffix.size() && rest.substr(rest.size() - oldSuffix.size()) == oldSuffix) {
        kind = LeftoverKind::oldFile;
    } else {
        return std::nullopt;
    }
    rest.remove_suffix(newSuffix.size());

    const std::size_t dash = rest.find('-');
    unsigned long processId = 0, count = 0;
    if (dash == std::string_view::npos || !parseNumber(rest.substr(0, dash), processId) ||
        !parseNumber(rest.substr(dash + 1), count)) {
        return std::nullopt;
    }
    return Leftover{kind, processId};
}

FileReplacement FileReplacement::prepare(const fs::path& path, const void* data, std::size_t size) {
    if (path.has_parent_path()) createFolders(path.parent_path());
    removeLeftovers(folderOf(path), {path});
    return prepareCleared(path, data, size);
}

FileReplacement FileReplacement::prepareCleared(const fs::path& path, const void* data, std::size_t size) {
    checkTarget(path);
    // Names of this process's own leftovers may be taken; the count moves on.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        fs::path temporary = leftoverName(path, LeftoverKind::newContent, platform::currentProcessId(), nextCount());
        if (platform::writeNewFile(temporary, data, size, path)) return FileReplacement(path, std::move(temporary));
    }
    throw FileError("cannot create a temporary file beside", path, "every name tried is taken");
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::move(other.temporary_)) {
    other.temporary_.clear();
}

FileReplacement::~FileReplacement() {
    if (!temporary_.empty()) platform::removeFile(temporary_);
}

void FileReplacement::commit() {
    platform::moveFile(temporary_, target_, target_);
    temporary_.clear();
    platform::syncFolder(folderOf(target_));
}

void replaceFile(const fs::path& path, const void* data, std::size_t size) {
    FileReplacement::prepare(path, data, size).commit();
}

FileSetReplacement FileSetReplacement::prepare(const std::vector<NewContent>& files) {
    // The leftovers first, each folder's once: an export's two files share theirs.
    std::map<fs::path, std::vector<fs::path>> targetsByFolder;
    for (const NewContent& file : files) {
        if (file.path.has_parent_path()) createFolders(file.path.parent_path());
        targetsByFolder[folderOf(file.path)].push_back(file.path);
    }
    for (const auto& [folder, targets] : targetsByFolder) removeLeftovers(folder, targets);

    std::vector<FileReplacement> prepared;
    prepared.reserve(files.size());
    for (const NewContent& file : files) {
        prepared.push_back(FileReplacement::prepareCleared(file.path, file.data, file.size));
    }
    return FileSetReplacement(std::move(prepared));
}

void FileSetReplacement::commit() {
    std::vector<Step> steps;
    steps.reserve(files_.size());
    try {
        std::set<fs::path> folders;
        for (FileReplacement& file : files_) {
            steps.push_back({&file, {}, false});
            Step& step = steps.back();
            const fs::path& target = file.target_;
            folders.insert(folderOf(target));
            // Checked again: the target may have changed since prepare().
            const PathKind kind = platform::pathKind(target);
            if (kind == PathKind::file) {
                fs::path backup;
                do {
                    backup = leftoverName(target, LeftoverKind::oldFile, platform::currentProcessId(), nextCount());
                } while (platform::pathKind(backup) != PathKind::absent);
                platform::moveFile(target, backup, target);
                step.backup = std::move(backup);
            } else if (kind != PathKind::absent) {
                refuseKind(kind, target);
            }
            platform::moveFile(file.temporary_, target, target);
            file.temporary_.clear();
            step.placed = true;
        }
        for (const fs::path& folder : folders) platform::syncFolder(folder);
    } catch (const FileError& error) {
        const std::string notPutBack = putBack(steps);
        if (notPutBack.empty()) throw;
        throw FileError(error.action(), error.path(), error.reason() + notPutBack);
    } catch (...) {
        putBack(steps);
        throw;
    }
    // A backup that cannot be removed now is removed by a later export.
    for (const Step& step : steps) {
        if (!step.backup.empty()) platform::removeFile(step.backup);
    }
}

void replaceFiles(const std::vector<NewContent>& files) { FileSetReplacement::prepare(files).commit(); }

}  // namespace helper
