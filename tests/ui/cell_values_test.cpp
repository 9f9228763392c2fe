#include "cell_values.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* text;
    const char* reason;  // nullptr: accepted
    double value;
};

const Case cases[] = {
    {"48", nullptr, 48},
    {"1.15", nullptr, 1.15},
    {"1e3", nullptr, 1000},
    {"0x10", nullptr, 16},
    {"0XfF", nullptr, 255},
    {"-0x10", nullptr, -16},
    {"-5", nullptr, -5},
    {"-.5", nullptr, -0.5},
    {" 5", nullptr, 5},
    {"65534.99", nullptr, 65534.99},
    {"-1e30", nullptr, -1e30},
    {"0", nullptr, 0},
    {"", "不是数字", 0},
    {"abc", "不是数字", 0},
    {"-", "不是数字", 0},
    {"5 ", "不是数字", 0},
    {"1.2.3", "不是数字", 0},
    {"0x", "不是数字", 0},
    {"0x1.8", "不是数字", 0},
    {"0x1p3", "不是数字", 0},
    {"1e", "不是数字", 0},
    {"inf", "不是数字", 0},
    {"-infinity", "不是数字", 0},
    {"nan", "不是数字", 0},
    {"1d3", "不是数字", 0},
    {"１２", "不是数字", 0},  // full-width digits
    {"65535", "数字太大", 0},
    // The bound is on the stored float: 65534.99609375 is the largest float
    // below 65535, and texts from 65534.998046875 (halfway) up round to 65535.
    {"65534998046874e-9", nullptr, 65534.998046874},
    {"65534998046875e-9", "数字太大", 0},
    {"65534999e-3", "数字太大", 0},
    {"65534.999", "数字太大", 0},  // the bound is checked before the decimals
    {"--5", nullptr, 5},           // a "-" before a signed number
    {"-+5", nullptr, -5},
    {"- 5", nullptr, -5},
    {"\t\n 7", nullptr, 7},
    {"-65535", nullptr, -65535},
    {"65535.5", "数字太大", 0},
    {"1e39", "数字太大", 0},
    {"-1e50", "数字太大", 0},  // no lower bound, but its nearest float is -infinity
    {"-1e39", "数字太大", 0},
    {"1e999", "数字太大", 0},
    {"0x10000", "数字太大", 0},
    {".5", "不能以小数点开头", 0},
    {"5.", "不能以小数点结尾", 0},
    {"1.005", "小数点后最多2位", 0},
    {"1.5e3", "小数点后最多2位", 0},
};

TEST(CheckFloat, AcceptsOrRefusesEveryCellTextWithItsReason) {
    for (const Case& c : cases) {
        const FloatCheck check = ui_checkFloat(c.text);
        if (c.reason) {
            EXPECT_FALSE(check.ok) << '"' << c.text << '"';
            EXPECT_EQ(check.reason, c.reason) << '"' << c.text << '"';
        } else {
            EXPECT_TRUE(check.ok) << '"' << c.text << "\" refused: " << check.reason;
            EXPECT_EQ(check.value, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(CheckFloat, TheLargestNegativeFloatStillPasses) {
    EXPECT_TRUE(ui_checkFloat("-34e37").ok);
    EXPECT_EQ(ui_checkFloat("-35e37").reason, "数字太大");
}

TEST(DamageTypeCell, NamesCodesAndReadsNamesBack) {
    EXPECT_EQ(ui_damageType(1), "切断");
    EXPECT_EQ(ui_damageType(3), "弹");
    EXPECT_EQ(ui_damageType(7), "7");
    EXPECT_EQ(ui_damageTypeVal("打击"), "2");
    EXPECT_EQ(ui_damageTypeVal("弹"), "3");
    for (const char* refused : {"切断 ", " 切断", "1", "", "打"}) EXPECT_EQ(ui_damageTypeVal(refused), std::nullopt) << refused;
}

}  // namespace
