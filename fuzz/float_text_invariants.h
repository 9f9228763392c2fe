// What the display text of a 32-bit float must be, for any bit pattern: the
// fuzz target of formatFloat and a strided sweep among the unit tests check it.
//
// - NaN is "nan", the infinities "inf" and "-inf";
// - a finite value is "-" exactly when its sign bit is set, then its integer
//   digits without leading zeros, then at most two decimals, the last not "0";
// - fixedText with d decimals holds the value times 10^d rounded to an integer,
//   exactly, halfway away from zero (checked here with integer arithmetic),
//   and the text shown is the first of those with two, one and no decimals
//   that does not end in "0";
// - a value below 65535 that is the float nearest to its two-decimal text (as
//   every value of the templates is) is shown in a text that ui_checkFloat
//   accepts and that stands for the same float again.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "cell_values.h"
#include "format_float.h"

namespace fuzz {

namespace float_text_detail {

__extension__ typedef unsigned __int128 Wide;  // every integer a float holds

struct Parts {
    bool negative = false;
    Wide integer = 0;
    unsigned fraction = 0;  // the decimals as an integer: 5 of "1.05"
    int decimals = 0;
    bool operator==(const Parts& other) const {
        return negative == other.negative && integer == other.integer && fraction == other.fraction &&
               decimals == other.decimals;
    }
};

// The parts of "-?(0|[1-9][0-9]*)(\.[0-9]{1,2})?", nothing for any other text.
inline std::optional<Parts> parse(const std::string& text) {
    Parts parts;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        parts.negative = true;
        ++i;
    }
    const std::size_t integerStart = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const Wide next = parts.integer * 10 + static_cast<unsigned>(text[i] - '0');
        if (next / 10 != parts.integer) return std::nullopt;  // more than 128 bits
        parts.integer = next;
    }
    const std::size_t integerLength = i - integerStart;
    if (integerLength == 0 || (integerLength > 1 && text[integerStart] == '0')) return std::nullopt;
    if (i == text.size()) return parts;
    if (text[i++] != '.') return std::nullopt;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && parts.decimals < 2; ++i) {
        parts.fraction = parts.fraction * 10 + static_cast<unsigned>(text[i] - '0');
        ++parts.decimals;
    }
    if (parts.decimals == 0 || i != text.size()) return std::nullopt;
    return parts;
}

// The value rounded to `decimals` decimals, halfway away from zero, exactly:
// a finite float's magnitude is m * 2^e with an integer m below 2^24.
inline Parts rounded(float value, int decimals) {
    Parts parts;
    parts.negative = std::signbit(value);
    parts.decimals = decimals;
    int exponent = 0;
    const float fraction = std::frexp(std::fabs(value), &exponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
    exponent -= 24;
    if (exponent >= 0) {  // an integer, below 2^128
        parts.integer = Wide{m} << exponent;
        return parts;
    }
    const unsigned scale = decimals == 0 ? 1 : decimals == 1 ? 10 : 100;
    const std::uint64_t scaled = m * scale;  // below 2^31
    const int shift = -exponent;
    std::uint64_t result = 0;  // scaled / 2^shift, rounded
    if (shift <= 40) {  // else less than half
        const std::uint64_t whole = scaled >> shift;
        const std::uint64_t rest = scaled - (whole << shift);
        result = rest >= (std::uint64_t{1} << (shift - 1)) ? whole + 1 : whole;
    }
    parts.integer = result / scale;
    parts.fraction = static_cast<unsigned>(result % scale);
    return parts;
}

inline std::string bitsText(std::uint32_t bits) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) out += hex[(bits >> shift) & 0xF];
    return out;
}

}  // namespace float_text_detail

// Empty when the display text of the float of these bits is as described
// above; otherwise what is wrong.
inline std::string floatTextViolation(std::uint32_t bits) {
    using namespace float_text_detail;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    const std::string text = helper::formatFloat(value);
    const std::string about = bitsText(bits) + " (" + helper::fixedText(value, 2) + ") is shown as \"" + text + "\"";

    if (std::isnan(value)) return text == "nan" ? "" : about + ", not \"nan\"";
    if (std::isinf(value)) return text == (value < 0 ? "-inf" : "inf") ? "" : about + ", not the infinity";

    const auto shown = parse(text);
    if (!shown) return about + ": not a plain decimal number of at most two decimals";
    if (shown->decimals > 0 && text.back() == '0') return about + ": a trailing 0 after the point";
    for (int decimals = 0; decimals <= 2; ++decimals) {
        const std::string fixed = helper::fixedText(value, decimals);
        const auto parts = parse(fixed);
        if (!parts || !(*parts == rounded(value, decimals))) {
            return about + ": fixedText with " + std::to_string(decimals) + " decimals is \"" + fixed +
                   "\", not the value rounded to them, halfway away from zero";
        }
        // Shown: the first of the texts with two, one and no decimals that does not end in 0.
        if (decimals == shown->decimals && fixed != text) return about + ", not \"" + fixed + "\"";
        if (decimals > shown->decimals && fixed.back() != '0') return about + ", not \"" + fixed + "\"";
    }

    // A two-decimal value: the float nearest to its own two-decimal text.
    const bool twoDecimal = static_cast<float>(std::strtod(helper::fixedText(value, 2).c_str(), nullptr)) == value;
    if (value < 65535.0f && twoDecimal) {
        const FloatCheck check = ui_checkFloat(text);
        if (!check.ok) return about + ", which ui_checkFloat refuses: " + check.reason;
        const float back = static_cast<float>(check.value);
        if (std::memcmp(&back, &value, sizeof value) != 0) {
            return about + ", which ui_checkFloat reads as another float, " + helper::fixedText(back, 2);
        }
    }
    return "";
}

}  // namespace fuzz
