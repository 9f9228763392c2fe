#include "text_decoding.h"

#include <cstdint>

#include "code_page.h"

namespace cli {

namespace {

constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view utf16BigEndianMark = "\xFE\xFF";

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Length of the UTF-8 sequence at `text[i]`, 0 when it is not a valid one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length;
    std::uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - i < length) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

// The line that follows `text`: 1 and one more for each line break in it.
std::size_t lineAfter(std::string_view text) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
    }
    return line;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string utf8FromUtf16(std::string_view bytes, bool bigEndian) {
    const auto unit = [&](std::size_t i) -> std::uint32_t {
        const auto first = static_cast<std::uint8_t>(bytes[i]), second = static_cast<std::uint8_t>(bytes[i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    std::string out;
    out.reserve(bytes.size() / 2 * 3);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (code >= 0xD800 && code <= 0xDFFF) throw TextError(lineAfter(out), "the UTF-16 text holds half a character");
        appendUtf8(out, code);
    }
    if (i < bytes.size()) throw TextError(lineAfter(out), "the UTF-16 text ends in the middle of a character");
    return out;
}

}  // namespace

std::size_t firstInvalidUtf8Line(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) return lineAfter(text.substr(0, i));
        i += length;
    }
    return 0;
}

DecodedText decodeText(std::string_view bytes) {
    if (startsWith(bytes, utf16LittleEndianMark)) {
        return {utf8FromUtf16(bytes.substr(utf16LittleEndianMark.size()), false), TextEncoding::utf16LittleEndian};
    }
    if (startsWith(bytes, utf16BigEndianMark)) {
        return {utf8FromUtf16(bytes.substr(utf16BigEndianMark.size()), true), TextEncoding::utf16BigEndian};
    }
    const bool marked = startsWith(bytes, utf8Mark);
    if (marked) bytes.remove_prefix(utf8Mark.size());
    const std::size_t invalidLine = firstInvalidUtf8Line(bytes);
    if (invalidLine == 0) return {std::string(bytes), TextEncoding::utf8};
    if (marked) throw TextError(invalidLine, "the text begins as UTF-8 but is not UTF-8 (save the file as CSV in UTF-8)");
    if (auto text = utf8FromCodePage936(bytes)) return {std::move(*text), TextEncoding::codePage936};
    throw TextError(invalidLine, "the text is neither UTF-8 nor GBK (code page 936); save the file as CSV in UTF-8");
}

}  // namespace cli
