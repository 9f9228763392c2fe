// 32-bit IEEE floats as collision files store them: little-endian, 4 bytes.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace helper {

static_assert(std::numeric_limits<float>::is_iec559, "collision files hold IEEE 754 floats");

// True when the nearest 32-bit float to `value` is finite. Values at or beyond
// 2^128 - 2^103, halfway between the largest float and 2^128, round to
// infinity; NaN is not finite either.
inline bool nearestFloatIsFinite(double value) {
    constexpr double limit = 340282356779733661637539395458142568448.0;  // 2^128 - 2^103
    return std::fabs(value) < limit;  // false for NaN too
}

inline float loadFloat32(const std::uint8_t* bytes) {
    const std::uint32_t bits = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                               std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void storeFloat32(std::uint8_t* bytes, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace helper
