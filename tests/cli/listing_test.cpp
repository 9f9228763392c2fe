#include "listing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_fixtures.h"
#include "json.h"
#include "text_table.h"

namespace {

using testing_support::runCli;

// The great sword's 60 editable actions as the templates hold them and the
// editor shows them: 动作序号, 招式名称, 伤害类型, the seven values, 文件序号, 实际动作序号.
const char* const templateRows[] = {
    "00,直斩,切断,48,1,1,1,0,0,0,0,0",
    "01,横扫斩,切断,26,1,1,1,0,0,0,0,1",
    "02,上捞斩,切断,38,1,1,1,0,0,0,0,2",
    "03,横击,打击,16,1,1,1,20,15,0,0,3",
    "04,蓄力斩1,切断,48,1,1,1,0,0,0,0,4",
    "05,蓄力斩2,切断,77,1,1.1,1.2,0,0,0,0,5",
    "06,蓄力斩3,切断,105,1,1.2,1.3,0,0,0,0,6",
    "08,强蓄力斩1,切断,65,1,1.1,1.2,0,0,0,0,8",
    "09,强蓄力斩2,切断,90,1,1.15,1.3,0,0,0,0,9",
    "010,强蓄力斩3,切断,115,1,1.2,1.5,0,0,0,0,10",
    "011,,切断,70,1,1,1,0,0,0,0,11",
    "012,强力横扫斩1,切断,59,1,1,1,0,0,0,0,12",
    "013,强力横扫斩2,切断,66,1,1,1,0,0,0,0,13",
    "014,强力横扫斩3,切断,78,1,1,1,0,0,0,0,14",
    "015,,切断,52,1,1,1,0,0,0,0,15",
    "016,,切断,48,1,1,1,0,0,100,0,16",
    "017,真蓄力斩-第一刀1,切断,15,0,1,1,0,0,0,0,17",
    "018,真蓄力斩-第一刀2,切断,20,0,1,1,0,0,0,0,18",
    "019,真蓄力斩-第一刀3,切断,22,0,1,1,0,0,0,0,19",
    "020,真蓄力斩1,切断,165,1.35,1.3,1.4,0,0,0,0,20",
    "021,真蓄力斩2,切断,182,1.5,1.4,1.5,0,0,0,0,21",
    "022,真蓄力斩3,切断,211,1.7,1.5,1.7,0,0,0,0,22",
    "023,冲撞攻击-飞身跃入横扫斩,切断,71,1,1.8,1.8,0,0,0,0,23",
    "024,冲撞攻击2-飞身跃入横扫斩,切断,85,1,2.45,2.45,0,0,0,0,24",
    "025,冲撞攻击3-飞身跃入横扫斩,切断,110,1,2.9,2.9,0,0,0,0,25",
    "029,,切断,70,0,1,1,0,0,0,0,29",
    "030,,切断,92,0,1.2,1.2,0,0,0,0,30",
    "031,,切断,106,0,1.3,1.3,0,0,0,0,31",
    "032,,切断,28,1,1,1,0,0,0,0,32",
    "033,,切断,35,1,1.2,1.2,0,0,0,0,33",
    "034,,切断,46,1,1.3,1.3,0,0,0,0,34",
    "035,,切断,70,0,1,1,0,0,0,0,35",
    "036,,切断,92,0,1.2,1.2,0,0,0,0,36",
    "037,,切断,106,0,1.3,1.3,0,0,0,0,37",
    "038,,切断,28,1,1,1,0,0,0,0,38",
    "039,,切断,35,1,1.2,1.2,0,0,0,0,39",
    "040,,切断,46,1,1.3,1.3,0,0,0,0,40",
    "041,,切断,70,0,1,1,0,0,0,0,41",
    "042,,切断,92,0,1.2,1.2,0,0,0,0,42",
    "043,,切断,106,0,1.3,1.3,0,0,0,0,43",
    "045,跳跃蓄力斩1,切断,70,1,1,1,0,0,55,0,45",
    "046,跳跃蓄力斩2,切断,92,1,1.2,1.2,0,0,80,0,46",
    "047,跳跃蓄力斩3,切断,106,1,1.3,1.3,0,0,100,0,47",
    "049,蓄力上捞斩1,切断,48,1,1,1,0,0,0,0,49",
    "050,蓄力上捞斩2,切断,72,1,1.2,1.2,0,0,0,0,50",
    "051,蓄力上捞斩3,切断,98,1,1.3,1.3,0,0,0,0,51",
    "053,下坠突刺1,切断,16,1,0.2,0.2,0,0,20,0,53",
    "054,下坠突刺2,切断,22,1,0.25,0.25,0,0,20,0,54",
    "055,下坠突刺3,切断,27,1,0.3,0.3,0,0,20,0,55",
    "056,,切断,18,1,1,1,0,0,0,0,56",
    "058,强蓄力斩-横击,打击,18,1,1,1,30,20,0,0,58",
    "059,,切断,29,1,1,1,0,0,0,0,59",
    "060,,切断,41,1,1,1,0,0,0,0,60",
    "062,,切断,28,1,1,1,0,0,0,0,62",
    "063,,切断,35,1,1.2,1.2,0,0,0,0,63",
    "064,,切断,46,1,1.3,1.3,0,0,0,0,64",
    "10,踢,打击,5,1,0,0,10,5,0,1,0",
    "11,冲撞攻击1,打击,26,1.2,0,0,30,20,0,1,1",
    "12,冲撞攻击2,打击,35,1.3,0,0,40,25,0,1,2",
    "13,冲撞攻击3,打击,48,1.5,0,0,55,30,0,1,3",
};

std::vector<std::string> splitLines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(end, start)) != std::string::npos; start = at + end.size()) {
        lines.push_back(text.substr(start, at - start));
    }
    EXPECT_EQ(start, text.size()) << "the last line has no line end";
    return lines;
}

TEST(List, CsvOfTheTemplatesHoldsTheSixtyActionsUnderTheEditorsCaptions) {
    testing_support::TempFolder program;  // no res folder: the built-in templates
    const auto result = runCli({"list", "--format", "csv"}, program.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.out.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> lines = splitLines(result.out.substr(3), "\r\n");
    ASSERT_EQ(lines.size(), 61u);
    EXPECT_EQ(lines[0], "动作序号,招式名称,伤害类型,动作值,物理倍率,属性倍率,异常属性倍率,眩晕值,夺取耐力值,骑乘值,文件序号,"
                        "实际动作序号");
    for (std::size_t i = 0; i < 60; ++i) EXPECT_EQ(lines[i + 1], templateRows[i]) << "row " << i + 1;
}

TEST(List, TableLinesUpTheChineseColumnsAndIsTheDefault) {
    testing_support::TempFolder program;
    const auto result = runCli({"list"}, program.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = splitLines(result.out, "\n");
    ASSERT_EQ(lines.size(), 61u);
    EXPECT_EQ(lines[0].rfind("动作序号  招式名称", 0), 0u) << lines[0];
    // 伤害类型 starts in the same cell on every line: after 动作序号 (8 cells),
    // the longest name (冲撞攻击2-飞身跃入横扫斩, 24 cells) and two blanks each.
    // Counted here without displayWidth: the texts hold ASCII, which takes one
    // cell, and Chinese in three UTF-8 bytes, which takes two.
    const auto cellsBefore = [](const std::string& line, const std::string& text) {
        const std::string prefix = line.substr(0, line.find(text));
        std::size_t cells = 0;
        for (const char c : prefix) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) cells += 1;
            else if (byte >= 0xE0) cells += 2;
        }
        return cells;
    };
    EXPECT_EQ(cellsBefore(lines[0], "伤害类型"), 36u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const bool cutting = lines[i].find("切断") != std::string::npos;
        EXPECT_EQ(cellsBefore(lines[i], cutting ? "切断" : "打击"), 36u) << lines[i];
    }
    std::istringstream first(lines[1]);
    std::vector<std::string> words;
    for (std::string word; first >> word;) words.push_back(word);
    EXPECT_EQ(words, (std::vector<std::string>{"00", "直斩", "切断", "48", "1", "1", "1", "0", "0", "0", "0", "0"}));
}

TEST(List, JsonHoldsOneActionRowPerLine) {
    testing_support::TempFolder program;
    const auto result = runCli({"list", "--format=json"}, program.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = splitLines(result.out, "\n");
    ASSERT_EQ(lines.size(), 62u);
    EXPECT_EQ(lines.front(), "[");
    EXPECT_EQ(lines.back(), "]");
    EXPECT_EQ(lines[11], R"({"weaponType":"00","fileIndex":0,"actIndex":11,"damageType":1,"actVal":"70","wlMagn":"1",)"
                         R"("sxMagn":"1","ycsxMagn":"1","qjVal":"0","mqVal":"0","qcVal":"0"},)");
    const helper::ActionRow last = helper::actionRowFromJson(lines[60]);
    EXPECT_EQ(last.actName, "冲撞攻击3");
    EXPECT_EQ(last.fileIndex, 1);
    EXPECT_EQ(last.damageType, 2);
    EXPECT_EQ(last.qjVal, "55");
}

TEST(List, LooseTemplatesBesideTheProgramReplaceTheBuiltInOnes) {
    // As in the editor: res/wp00.col beside the program is the template.
    testing_support::TempFolder program;
    testing_support::Bytes wp00 = testing_support::templateBytes(0);
    const testing_support::Bytes value = testing_support::floatBytes(250);
    std::copy(value.begin(), value.end(), wp00.begin() + testing_support::fieldOffset(0, 0, 8));
    testing_support::writeBytes(program.path() / "res" / "wp00.col", wp00);
    const auto result = runCli({"list", "--format", "csv"}, program.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\r\n00,直斩,切断,250,1,1,1,0,0,0,0,0\r\n"), std::string::npos);
}

}  // namespace
