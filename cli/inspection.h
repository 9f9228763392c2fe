// What `inspect` prints of a collision file: its block map (offset, size, tag
// and counts of every block), its name table and its records, as far as the
// walk read them, and where and why the walk stopped if it did.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "collision_layout.h"

namespace cli {

enum class InspectFormat { table, json };

// `walk` is the walk of `data`; `file` names it in the first line.
std::string inspectionTable(std::string_view file, const helper::LayoutWalk& walk, const std::uint8_t* data);

// One JSON object: file, size, blocks, names, records and fault (null when
// the file follows the layout); one array element per line.
std::string inspectionJson(std::string_view file, const helper::LayoutWalk& walk, const std::uint8_t* data);

}  // namespace cli
