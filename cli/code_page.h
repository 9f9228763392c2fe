// Text in the Chinese Windows code page (936, GBK), as spreadsheet programs on
// a Chinese Windows save a CSV by default, converted with the platform's own
// converter: iconv on POSIX systems, MultiByteToWideChar on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

// `bytes` read as code page 936, in UTF-8; nothing when they are not text in
// that code page (a lone lead byte, a pair the code page does not define).
// Throws std::runtime_error when the platform has no such converter.
std::optional<std::string> utf8FromCodePage936(std::string_view bytes);

}  // namespace cli
