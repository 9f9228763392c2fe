// The three forms in which `list` prints the actions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "action_row.h"

namespace cli {

enum class ListFormat { table, csv, json };

std::optional<ListFormat> listFormatByName(std::string_view name);

// Aligned columns under a caption line, for a terminal.
std::string tableListing(const std::vector<helper::ActionRow>& rows);

// UTF-8 with a byte-order mark (so that spreadsheet programs read the Chinese
// texts as such), a caption line, one line per action, CRLF line ends.
std::string csvListing(const std::vector<helper::ActionRow>& rows);

// A JSON array of the rows, one object per line, keyed by field name.
std::string jsonListing(const std::vector<helper::ActionRow>& rows);

std::string listing(const std::vector<helper::ActionRow>& rows, ListFormat format);

}  // namespace cli
