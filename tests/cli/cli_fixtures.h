// Shared helpers of the command-line tests: running a command in-process on
// real files, the listed CSV of the templates, and record positions.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "commands.h"
#include "family.h"
#include "file_io.h"
#include "fixtures.h"
#include "float32.h"
#include "listing.h"

namespace testing_support {

struct CliResult {
    int exitCode;
    std::string out;
    std::string err;
};

// One command line, run as main() runs it, for a program in `programFolder`.
inline CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& programFolder) {
    cli::Output output;
    const int code = cli::runCli(args, programFolder, output);
    return {code, output.out, output.err};
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
    writeBytes(path, Bytes(text.begin(), text.end()));
}

inline std::string pathArgument(const std::filesystem::path& path) { return helper::pathText(path); }

inline cli::FamilyFiles builtinTemplates() {
    return cli::checkedFamily("00", {templateBytes(0), templateBytes(1)}, {"wp00.col", "wp00_01.col"});
}

// What `list --format csv` prints for the built-in templates.
inline std::string templateCsv() { return cli::csvListing(cli::actionRows(builtinTemplates())); }

// Output tree below `folder`, as apply --out writes it.
inline std::filesystem::path outputTree(const std::filesystem::path& folder) {
    return folder / "out" / "nativePC" / "hm" / "wp" / "wp00" / "collision";
}

// Byte offset of a value field (its record offset: 8, 16, ..., 36) in a file.
inline std::size_t fieldOffset(int fileIndex, int slot, std::size_t inRecord) {
    return cli::recordOffset(fileIndex, slot) + inRecord;
}

inline Bytes floatBytes(float value) {
    Bytes bytes(4);
    helper::storeFloat32(bytes.data(), value);
    return bytes;
}

// Offsets where two byte strings differ (and, for unequal lengths, none).
inline std::vector<std::size_t> changedOffsets(const Bytes& before, const Bytes& after) {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i] != after[i]) changed.push_back(i);
    }
    return changed;
}

}  // namespace testing_support
