// The built-in template files, embedded in the program at build time and
// found by name ("\res\wp00.col", "\res\wp00_01.col").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace templates {

struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
};

// The built-in file of that name; size 0 and data null when there is none.
Bytes builtin(std::string_view name);

}  // namespace templates
