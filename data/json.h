// Action rows as JSON objects keyed by their field names, and back. Texts stay
// texts and numbers stay numbers; an unset name is left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "action_row.h"

namespace helper {

std::string toJson(const ActionRow& row);
std::string toJson(const std::vector<ActionRow>& rows);  // a JSON array

// Throws std::invalid_argument for text that is not one such object.
ActionRow actionRowFromJson(std::string_view text);

// An independent copy of a row, made through its JSON text.
ActionRow deepClone(const ActionRow& row);

// `text` as a JSON string literal, quotes included.
std::string jsonString(std::string_view text);

}  // namespace helper
