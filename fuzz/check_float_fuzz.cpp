// The number check of a value cell on any text. A value that ui_checkFloat
// accepts is finite and is stored as a float below 65535; for a text without
// an exponent, the display text of that float is accepted again and stands for
// the same float, so that a value exported and loaded again shows as what was
// typed.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "cell_values.h"
#include "float32.h"
#include "format_float.h"
#include "fuzz_support.h"

namespace {

bool isReason(std::string_view reason) {
    for (const std::string_view known : {reasons::notANumber, reasons::tooLarge, reasons::leadingPoint,
                                         reasons::trailingPoint, reasons::tooManyDecimals}) {
        if (reason == known) return true;
    }
    return false;
}

// "1e3", "1.5E-2"; not the digits of a hexadecimal number ("0x1E").
bool hasExponent(std::string_view text) {
    if (!text.empty() && text[0] == '-') text.remove_prefix(1);
    if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return false;
    return text.find_first_of("eE") != std::string_view::npos;
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ExactCopy input(data, size);
    const std::string_view text = input.text();

    const auto scan = scanNumber(text);
    if (scan) fuzz::require(scan->consumed > 0 && scan->consumed <= text.size(), "scanNumber reads within its text");

    const FloatCheck check = ui_checkFloat(text);
    if (!check.ok) {
        if (!isReason(check.reason)) fuzz::fail("a refusal gives one of the reasons", fuzz::visible(text));
        return 0;
    }
    if (!scan || scan->consumed != text.size() || !(scan->value == check.value)) {
        fuzz::fail("an accepted text is one whole number, the number accepted", fuzz::visible(text));
    }
    if (!std::isfinite(check.value) || !helper::nearestFloatIsFinite(check.value)) {
        fuzz::fail("an accepted value is finite, also as a 32-bit float", fuzz::visible(text));
    }
    const float stored = static_cast<float>(check.value);
    if (!(stored < 65535.0f)) {
        fuzz::fail("an accepted value is stored as a float below 65535",
                   fuzz::visible(text) + " is stored as " + helper::fixedText(stored, 2));
    }
    if (hasExponent(text)) return 0;  // "1e-5" is accepted, and shown as "0"

    const std::string shown = helper::formatFloat(stored);
    const FloatCheck again = ui_checkFloat(shown);
    if (!again.ok || bitsOf(static_cast<float>(again.value)) != bitsOf(stored)) {
        fuzz::fail("the display text of an accepted value's float is accepted and stands for that float",
                   fuzz::visible(text) + " is shown as " + shown + (again.ok ? "" : ", refused: " + again.reason));
    }
    return 0;
}
