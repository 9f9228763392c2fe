#include "json.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace {

helper::ActionRow sample() {
    helper::ActionRow row = helper::action();
    row.weaponType = "00";
    row.fileIndex = 1;
    row.actIndex = 3;
    row.actName = "冲撞攻击3";
    row.damageType = 2;
    row.actVal = "48";
    row.wlMagn = "1.5";
    row.sxMagn = row.ycsxMagn = "0";
    row.qjVal = "55";
    row.mqVal = "30";
    row.qcVal = "0";
    return row;
}

TEST(Json, DeepCloneKeepsEveryFieldAndItsKind) {
    const helper::ActionRow row = sample();
    EXPECT_EQ(helper::toJson(row),
              R"({"weaponType":"00","fileIndex":1,"actIndex":3,"actName":"冲撞攻击3","damageType":2,)"
              R"("actVal":"48","wlMagn":"1.5","sxMagn":"0","ycsxMagn":"0","qjVal":"55","mqVal":"30","qcVal":"0"})");
    EXPECT_EQ(helper::deepClone(row), row);

    helper::ActionRow nameless = row;
    nameless.actName.reset();
    EXPECT_EQ(helper::toJson(nameless).find("actName"), std::string::npos);
    EXPECT_EQ(helper::deepClone(nameless), nameless);
    EXPECT_FALSE(helper::deepClone(nameless).actName.has_value());

    helper::ActionRow extremes = row;
    extremes.fileIndex = std::numeric_limits<int>::min();
    extremes.actIndex = std::numeric_limits<int>::max();
    extremes.damageType = std::numeric_limits<int>::min();
    EXPECT_EQ(helper::deepClone(extremes), extremes);
}

TEST(Json, TextsWithQuotesBackslashesAndControlsRoundTrip) {
    helper::ActionRow row = sample();
    row.actName = std::string("a\"b\\c\n\t\x01 ✓");
    row.actVal = "";
    EXPECT_EQ(helper::deepClone(row), row);
    EXPECT_EQ(helper::jsonString("\x1f"), "\"\\u001f\"");
}

TEST(Json, ReadsEscapesAndRefusesWhatIsNotARow) {
    const helper::ActionRow row =
        helper::actionRowFromJson(R"( { "actName" : "\u76f4\u65a9 \ud83d\ude00", "fileIndex": 1 } )");
    EXPECT_EQ(row.actName, "直斩 😀");
    EXPECT_EQ(row.fileIndex, 1);

    for (const char* bad : {"", "{", "[]", R"({"fileIndex":"1"})", R"({"fileIndex":1.5})",
                            R"({"fileIndex":2147483648})", R"({"fileIndex":-2147483649})", R"({"actVal":2})",
                            R"({"unknown":"x"})", R"({"actName":"x"} x)", R"({"actName":"\ud800"})"}) {
        EXPECT_THROW(helper::actionRowFromJson(bad), std::invalid_argument) << bad;
    }
}

}  // namespace
