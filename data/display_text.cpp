#include "display_text.h"

#include <cstdint>

namespace helper {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at the start of `text` and its code
// point, or 0 when it is not one.
std::size_t sequenceAt(std::string_view text, std::uint32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length;
    std::uint32_t smallest;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        length = 2, smallest = 0x80, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3, smallest = 0x800, code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4, smallest = 0x10000, code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3Fu);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return 0;
    return length;
}

bool isControl(std::uint32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

}  // namespace

std::string displayText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        std::uint32_t code = 0;
        const std::size_t length = sequenceAt(bytes, code);
        if (length == 0 || isControl(code)) {
            out += replacement;
            bytes.remove_prefix(length ? length : 1);
        } else {
            out += bytes.substr(0, length);
            bytes.remove_prefix(length);
        }
    }
    return out;
}

}  // namespace helper
