// What a grid cell's text means: the number check of the value columns and the
// damage-type names of column 4.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace reasons {
inline constexpr std::string_view notANumber = "不是数字";
inline constexpr std::string_view tooLarge = "数字太大";
inline constexpr std::string_view leadingPoint = "不能以小数点开头";
inline constexpr std::string_view trailingPoint = "不能以小数点结尾";
inline constexpr std::string_view tooManyDecimals = "小数点后最多2位";
// Of a damage-type cell whose text is none of the three names.
inline constexpr std::string_view badDamageType = "伤害类型错误";
}  // namespace reasons

struct NumberScan {
    double value;
    std::size_t consumed;  // characters read, a leading "-" included
};

// Reads a number from the start of `text`: an optional "-", then either a
// hexadecimal integer after "0x" or "0X", or a decimal number (optional white
// space, optional sign, digits with an optional point and fraction or a point
// and digits, optional exponent). Nothing when no number can be read.
// Infinity and NaN spellings are not numbers.
std::optional<NumberScan> scanNumber(std::string_view text);

struct FloatCheck {
    bool ok = false;
    double value = 0;    // when ok
    std::string reason;  // when not ok: one of `reasons`
};

// Whether a value cell may be exported, and its number. Refused: text that is
// not one whole number; a number whose nearest 32-bit float (the value a
// file stores) is 65535 or more, or not finite; a first "." that begins or
// ends the text or has more than two characters after it.
FloatCheck ui_checkFloat(std::string_view text);

// The text of column 4 for a damage type code: its name, or the code's
// decimal text when it has none.
std::string ui_damageType(int code);

// The damage type code text ("1", "2", "3") whose name equals `text` exactly.
std::optional<std::string> ui_damageTypeVal(std::string_view text);
