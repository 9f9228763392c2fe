#include "cell_values.h"

#include <cctype>
#include <cstdlib>

#include "catalogue.h"
#include "float32.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Length of the decimal number at the start of `text` per the syntax above, 0
// when there is none.
std::size_t decimalLength(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t integerStart = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    const bool integerDigits = i > integerStart;
    bool fractionDigits = false;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) ++j;
        fractionDigits = j > i + 1;
        if (integerDigits || fractionDigits) i = j;
    }
    if (!integerDigits && !fractionDigits) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t exponentStart = j;
        while (j < text.size() && isDigit(text[j])) ++j;
        if (j > exponentStart) i = j;  // an exponent without digits is not part of the number
    }
    return i;
}

}  // namespace

std::optional<NumberScan> scanNumber(std::string_view text) {
    const bool negated = !text.empty() && text[0] == '-';
    const std::string_view rest = negated ? text.substr(1) : text;
    const std::size_t prefix = negated ? 1 : 0;

    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') && hexDigit(rest[2]) >= 0) {
        double value = 0;
        std::size_t i = 2;
        for (; i < rest.size() && hexDigit(rest[i]) >= 0; ++i) value = value * 16 + hexDigit(rest[i]);
        return NumberScan{negated ? -value : value, prefix + i};
    }
    const std::size_t length = decimalLength(rest);
    if (length == 0) return std::nullopt;
    // The span holds nothing but the syntax above, which strtod reads the same
    // way in the "C" locale, exactly and to the nearest double.
    const std::string span(rest.substr(0, length));
    const double value = std::strtod(span.c_str(), nullptr);
    return NumberScan{negated ? -value : value, prefix + length};
}

FloatCheck ui_checkFloat(std::string_view text) {
    FloatCheck result;
    const auto number = scanNumber(text);
    if (!number || number->consumed != text.size()) {
        result.reason = reasons::notANumber;
        return result;
    }
    // The bound holds for the value as the file stores it, the nearest 32-bit
    // float: 65534999e-3 is below 65535 but is stored as 65535.0f, which
    // would then show as "65535" and be refused when read back.
    if (!helper::nearestFloatIsFinite(number->value) || static_cast<float>(number->value) >= 65535.0f) {
        result.reason = reasons::tooLarge;
        return result;
    }
    if (const auto point = text.find('.'); point != std::string_view::npos) {
        if (point == 0) {
            result.reason = reasons::leadingPoint;
            return result;
        }
        if (point == text.size() - 1) {
            result.reason = reasons::trailingPoint;
            return result;
        }
        if (text.size() - point - 1 > 2) {
            result.reason = reasons::tooManyDecimals;
            return result;
        }
    }
    result.ok = true;
    result.value = number->value;
    return result;
}

std::string ui_damageType(int code) {
    if (const auto name = helper::damageTypeName(code)) return std::string(*name);
    return std::to_string(code);
}

std::optional<std::string> ui_damageTypeVal(std::string_view text) {
    if (const auto code = helper::damageTypeCode(text)) return std::string(*code);
    return std::nullopt;
}
