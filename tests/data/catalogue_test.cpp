#include "catalogue.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using helper::weaponTypes;

TEST(Catalogue, ListsTheFourteenFamiliesInCodeOrder) {
    ASSERT_EQ(weaponTypes.size(), 14u);
    for (std::size_t i = 0; i < weaponTypes.size(); ++i) {
        EXPECT_EQ(weaponTypes[i].code, (i < 10 ? "0" : "") + std::to_string(i));
    }
    EXPECT_EQ(weaponTypes.front().name, "大剑");
    EXPECT_EQ(weaponTypes.back().name, "轻弩");
}

TEST(Catalogue, FindsAFamilyOnlyByItsExactName) {
    struct Case {
        const char* name;
        std::optional<std::string_view> code;
    };
    const Case cases[] = {
        {"大剑", "00"}, {"轻弩", "13"}, {"大剑 ", std::nullopt}, {" 大剑", std::nullopt},
        {"大", std::nullopt}, {"", std::nullopt}, {"great sword", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(helper::weaponTypeCode(c.name), c.code) << '"' << c.name << '"';
}

TEST(Catalogue, NamesDamageTypesOneToThreeOnly) {
    EXPECT_EQ(helper::damageTypeName(1), "切断");
    EXPECT_EQ(helper::damageTypeName(2), "打击");
    EXPECT_EQ(helper::damageTypeName(3), "弹");
    for (int code : {0, 4, 64, 216, 255, -1}) EXPECT_EQ(helper::damageTypeName(code), std::nullopt) << code;

    EXPECT_EQ(helper::damageTypeCode("打击"), "2");
    EXPECT_EQ(helper::damageTypeCode("切断 "), std::nullopt);
    EXPECT_EQ(helper::damageTypeCode("2"), std::nullopt);
}

TEST(Catalogue, BuildsActionKeysAndFindsTheirNames) {
    const helper::ActionNameTable* names = helper::findActionNames("00");
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->size(), 36u);
    struct Case {
        int file, slot;
        const char* key;
        std::optional<std::string_view> name;
    };
    const Case cases[] = {
        {0, 0, "00", "直斩"},   {0, 5, "05", "蓄力斩2"}, {0, 10, "010", "强蓄力斩3"},
        {0, 11, "011", std::nullopt}, {0, 58, "058", "强蓄力斩-横击"}, {1, 0, "10", "踢"},
        {1, 3, "13", "冲撞攻击3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(helper::actionKey(c.file, c.slot), c.key);
        EXPECT_EQ(helper::actionName(*names, c.key), c.name) << c.key;
    }
}

TEST(Catalogue, KnowsRecordTablesOfTheGreatSwordAlone) {
    const helper::TableOffsets* offsets = helper::findActionOffsets("00");
    ASSERT_NE(offsets, nullptr);
    EXPECT_EQ((*offsets)[0], 3685u);
    EXPECT_EQ((*offsets)[1], 439u);
    EXPECT_EQ(helper::findActionOffsets("01"), nullptr);
    EXPECT_EQ(helper::findActionNames("13"), nullptr);
}

}  // namespace
