#include "format_float.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Case {
    float value;
    const char* text;
};

// Values are the 32-bit floats nearest to the literals, as a file holds them.
const Case cases[] = {
    {1.5f, "1.5"},     {2.0f, "2"},       {0.333f, "0.33"}, {10.0f, "10"},    {105.0f, "105"},
    {100.5f, "100.5"}, {1.15f, "1.15"},   {0.0f, "0"},      {0.999f, "1"},    {0.004f, "0"},
    {0.125f, "0.13"},  {0.5f, "0.5"},     {1.1f, "1.1"},    {2.45f, "2.45"},  {1.35f, "1.35"},
    {0.2f, "0.2"},     {0.25f, "0.25"},   {48.0f, "48"},    {65534.99f, "65534.99"},
    // Exact halves round away from zero, whichever way a printf would go.
    {0.625f, "0.63"},  {0.375f, "0.38"},  {-0.125f, "-0.13"}, {2.5f, "2.5"},
    // Not ties: 0.005f and 1.005f lie just below the half and round down.
    {0.005f, "0"},     {1.005f, "1"},     {-1.5f, "-1.5"},  {-2.0f, "-2"},
    // Large floats are integers and print every digit.
    {16777216.0f, "16777216"}, {3.0e38f, "300000000549775575777803994281145270272"},
};

TEST(FormatFloat, GivesTheShortestOfTwoOneAndZeroDecimals) {
    for (const Case& c : cases) EXPECT_EQ(helper::formatFloat(c.value), c.text) << c.value;
}

TEST(FormatFloat, SpellsNonFiniteValues) {
    EXPECT_EQ(helper::formatFloat(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(helper::formatFloat(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(helper::formatFloat(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(FormatFloat, FixedTextCarriesIntoTheIntegerPart) {
    EXPECT_EQ(helper::fixedText(0.999f, 2), "1.00");
    EXPECT_EQ(helper::fixedText(9.996, 2), "10.00");
    EXPECT_EQ(helper::fixedText(0.95, 1), "0.9");  // 0.95 as a double lies below the half
    EXPECT_EQ(helper::fixedText(0.25, 1), "0.3");
    EXPECT_EQ(helper::fixedText(0.5, 0), "1");
    EXPECT_EQ(helper::fixedText(7.0, 2), "7.00");
}

}  // namespace
