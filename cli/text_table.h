// Text laid out in columns for a terminal, where East Asian wide characters
// (the Chinese names and captions) take two cells.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The number of terminal cells that a UTF-8 text takes: two for wide and
// full-width characters, none for combining marks and zero-width characters,
// one for everything else (a byte that is not valid UTF-8 included).
std::size_t displayWidth(std::string_view text);

enum class Align { left, right };

// One line per row, each cell padded to the widest of its column and columns
// separated by two blanks; no blanks at the end of a line. `align` holds one
// entry per column (missing ones are left-aligned).
std::string layoutColumns(const std::vector<std::vector<std::string>>& rows, const std::vector<Align>& align);

}  // namespace cli
