#include "templates.h"

#include <array>

// Generated from wp00.col and wp00_01.col at build time.
extern const unsigned char template_wp00_col[];
extern const std::size_t template_wp00_col_size;
extern const unsigned char template_wp00_01_col[];
extern const std::size_t template_wp00_01_col_size;

namespace templates {

namespace {

struct Entry {
    std::string_view name;
    const unsigned char* data;
    const std::size_t* size;
};

const std::array<Entry, 2> entries{{
    {"\\res\\wp00.col", template_wp00_col, &template_wp00_col_size},
    {"\\res\\wp00_01.col", template_wp00_01_col, &template_wp00_01_col_size},
}};

}  // namespace

Bytes builtin(std::string_view name) {
    for (const Entry& entry : entries) {
        if (entry.name == name) return {entry.data, *entry.size};
    }
    return {nullptr, 0};
}

}  // namespace templates
