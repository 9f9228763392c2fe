// The text of a file as UTF-8, from the encodings spreadsheet programs save
// in: UTF-8 with or without a byte-order mark, UTF-16 with its byte-order mark
// ("Unicode text"), and the Chinese Windows code page 936 (GBK). Line breaks
// keep their place, so that a line counted in the text is that line of the
// file.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cli {

enum class TextEncoding { utf8, utf16LittleEndian, utf16BigEndian, codePage936 };

struct DecodedText {
    std::string text;  // UTF-8, without a byte-order mark
    TextEncoding encoding;
};

// Bytes that are none of those texts.
class TextError : public std::runtime_error {
public:
    TextError(std::size_t line, const std::string& reason) : std::runtime_error(reason), line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// A byte-order mark decides: UTF-8's, or UTF-16's in either byte order. Without
// one, bytes that are valid UTF-8 are UTF-8 (all ASCII text is); others are
// read in code page 936. Throws TextError, with the line of the first byte
// that is not UTF-8 when the bytes are text in neither.
DecodedText decodeText(std::string_view bytes);

// The line (from 1) of the first byte of `text` that is not part of valid
// UTF-8 (overlong forms and surrogates included), or 0 when all of it is.
std::size_t firstInvalidUtf8Line(std::string_view text);

}  // namespace cli
