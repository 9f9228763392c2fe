#include "text_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(TextTable, WideCharactersTakeTwoCells) {
    struct Case {
        const char* text;
        std::size_t width;
    };
    const Case cases[] = {
        {"", 0},
        {"48", 2},
        {"直斩", 4},
        {"冲撞攻击-飞身跃入横扫斩", 23},  // the ASCII hyphen takes one cell
        {"目前只做了大剑 ：)", 18},          // full-width colon: two
        {"溜め斬りLv1", 11},                 // kana and kanji, then ASCII
        {"전투", 4},                         // Hangul
        {"e\xCC\x81", 1},                    // e + combining acute accent
        {"\xFF" "a", 2},                     // a stray byte counts one
    };
    for (const Case& c : cases) EXPECT_EQ(cli::displayWidth(c.text), c.width) << c.text;
}

TEST(TextTable, ColumnsLineUpOnScreenWhateverTheirCharacters) {
    const std::vector<std::vector<std::string>> rows{
        {"动作序号", "招式名称", "动作值"},
        {"00", "直斩", "48"},
        {"011", "", "70"},
        {"023", "冲撞攻击-飞身跃入横扫斩", "105"},
    };
    const std::string text = cli::layoutColumns(rows, {cli::Align::left, cli::Align::left, cli::Align::right});
    std::istringstream lines(text);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 4u);
    // The last column is right-aligned, so every line ends in the same cell.
    for (const std::string& line : got) EXPECT_EQ(cli::displayWidth(line), cli::displayWidth(got[0])) << line;
    // Widths 8, 23 and 6 cells, two blanks between columns.
    EXPECT_EQ(got[1], "00" + std::string(6 + 2, ' ') + "直斩" + std::string(19 + 2 + 4, ' ') + "48");
    EXPECT_EQ(got[2], "011" + std::string(5 + 2 + 23 + 2 + 4, ' ') + "70");
}

}  // namespace
