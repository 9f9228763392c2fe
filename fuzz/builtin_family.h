// The built-in templates of the great sword as the command line's files,
// walked and checked, read once for the whole run.
#pragma once

#include "family.h"
#include "folders.h"
#include "templates.h"

namespace fuzz {

inline const cli::FamilyFiles& builtinFamily() {
    static const cli::FamilyFiles files = [] {
        std::array<cli::Bytes, cli::fileCount> bytes;
        std::array<std::filesystem::path, cli::fileCount> sources;
        for (int fileIndex = 0; fileIndex < cli::fileCount; ++fileIndex) {
            const std::string name = helper::templateName(cli::defaultFamily, fileIndex);
            const templates::Bytes builtin = templates::builtin(name);
            bytes[static_cast<std::size_t>(fileIndex)].assign(builtin.data, builtin.data + builtin.size);
            sources[static_cast<std::size_t>(fileIndex)] = name;
        }
        return cli::checkedFamily(cli::defaultFamily, std::move(bytes), sources);
    }();
    return files;
}

}  // namespace fuzz
