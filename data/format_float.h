#pragma once

#include <string>

namespace helper {

// The display text of a value read from a collision file: the first of its
// fixed-point texts with two, one and zero decimals that does not end in "0";
// the zero-decimal text when all three do. 2 -> "2", 1.15f -> "1.15",
// 0.333f -> "0.33", 0.999f -> "1".
//
// Rounding is exact on the binary value, and a value exactly halfway between
// two texts rounds away from zero (0.125 -> "0.13"), the same on every
// platform: the C library's printf is not used.
std::string formatFloat(double num);

// The fixed-point text of `num` with `decimals` (0, 1 or 2) digits after the
// point, rounded as formatFloat rounds.
std::string fixedText(double num, int decimals);

}  // namespace helper
