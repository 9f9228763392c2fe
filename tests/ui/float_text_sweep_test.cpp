// The display text of floats on a strided sweep of all 2^32 bit patterns and
// on every pattern near the bound and near a few rounding turns: the
// invariants that the fuzz target of formatFloat checks on any pattern.
#include "float_text_invariants.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(FloatText, HoldsOnAStridedSweepOfEveryBitPattern) {
    constexpr std::uint64_t stride = 16411;  // a prime: the low bits take every value along the way
    for (std::uint64_t bits = 0; bits < (std::uint64_t{1} << 32); bits += stride) {
        const std::string violation = fuzz::floatTextViolation(static_cast<std::uint32_t>(bits));
        ASSERT_EQ(violation, "");
    }
}

TEST(FloatText, HoldsNearTheBoundAndWhereRoundingTurns) {
    for (const float centre : {65535.0f, -65535.0f, 0.125f, 0.005f, 1.005f, 0.995f, 9.995f, 16777216.0f, 0.0f}) {
        const std::uint32_t middle = bitsOf(centre);
        for (std::uint32_t bits = middle - 512; bits != middle + 512; ++bits) {
            const std::string violation = fuzz::floatTextViolation(bits);
            ASSERT_EQ(violation, "");
        }
    }
}

}  // namespace
