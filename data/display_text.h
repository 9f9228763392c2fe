// Text taken from a file for display: a name table entry may hold any bytes.
#pragma once

#include <string>
#include <string_view>

namespace helper {

// `bytes` as valid UTF-8 that shows on one line: every byte that is not part
// of a valid UTF-8 sequence (overlong forms and surrogates included) and
// every control character becomes U+FFFD.
std::string displayText(std::string_view bytes);

}  // namespace helper
