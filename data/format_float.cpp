#include "format_float.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace helper {

namespace {

// Decimal digits of a non-negative integer-valued double of any size, exactly:
// the value is m * 2^e with a 53-bit m; it is built in base 10^9 limbs.
std::string integerDigits(double value) {
    if (value < 18446744073709551616.0) {  // 2^64
        return std::to_string(static_cast<std::uint64_t>(value));
    }
    int exponent = 0;
    const double mantissa = std::frexp(value, &exponent);  // value = mantissa * 2^exponent
    auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    exponent -= 53;

    std::vector<std::uint32_t> limbs;  // little-endian, base 10^9
    while (m > 0) {
        limbs.push_back(static_cast<std::uint32_t>(m % 1000000000u));
        m /= 1000000000u;
    }
    for (int i = 0; i < exponent; ++i) {
        std::uint32_t carry = 0;
        for (auto& limb : limbs) {
            const std::uint64_t doubled = std::uint64_t{limb} * 2 + carry;
            limb = static_cast<std::uint32_t>(doubled % 1000000000u);
            carry = static_cast<std::uint32_t>(doubled / 1000000000u);
        }
        if (carry) limbs.push_back(carry);
    }
    std::string text = std::to_string(limbs.back());
    for (auto it = limbs.rbegin() + 1; it != limbs.rend(); ++it) {
        const std::string limb = std::to_string(*it);
        text.append(9 - limb.size(), '0').append(limb);
    }
    return text;
}

}  // namespace

std::string fixedText(double num, int decimals) {
    if (decimals < 0 || decimals > 2) throw std::invalid_argument("fixedText: decimals must be 0, 1 or 2");
    if (std::isnan(num)) return "nan";
    const std::string sign = std::signbit(num) ? "-" : "";
    if (std::isinf(num)) return sign + "inf";

    const double magnitude = std::fabs(num);
    double whole = std::floor(magnitude);
    const double fraction = magnitude - whole;  // exact: both lie in the same binade or below

    // fraction * scale rounded to an integer, half away from zero. The product
    // is below 100, so its error term from fma is exact, and 0.5 is a multiple
    // of the product's ulp: when the rounded product's fraction is not exactly
    // 0.5, the error term is too small to move it across 0.5.
    static constexpr std::uint32_t scales[] = {1, 10, 100};
    const std::uint32_t scale = scales[decimals];
    const double product = fraction * scale;
    const double error = std::fma(fraction, scale, -product);
    double digits = std::floor(product);
    const double rest = product - digits;
    if (rest > 0.5 || (rest == 0.5 && error >= 0)) digits += 1;
    if (digits >= scale) {  // the fraction rounded up into the next integer
        digits -= scale;
        whole += 1;
    }

    std::string text = sign + integerDigits(whole);
    if (decimals > 0) {
        std::string fractionDigits = std::to_string(static_cast<std::uint32_t>(digits));
        text += '.';
        text.append(decimals - fractionDigits.size(), '0').append(fractionDigits);
    }
    return text;
}

std::string formatFloat(double num) {
    for (int decimals = 2; decimals >= 0; --decimals) {
        std::string text = fixedText(num, decimals);
        if (text.back() != '0') return text;
    }
    return fixedText(num, 0);
}

}  // namespace helper
