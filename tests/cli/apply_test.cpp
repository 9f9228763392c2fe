#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_fixtures.h"
#include "csv.h"
#include "edits.h"

namespace {

namespace fs = std::filesystem;

using testing_support::Bytes;
using testing_support::changedOffsets;
using testing_support::fieldOffset;
using testing_support::fileBytes;
using testing_support::floatBytes;
using testing_support::outputTree;
using testing_support::pathArgument;
using testing_support::runCli;
using testing_support::templateBytes;
using testing_support::templateCsv;
using testing_support::writeText;

const std::string header = "动作序号,招式名称,伤害类型,动作值,物理倍率,属性倍率,异常属性倍率,眩晕值,夺取耐力值,骑乘值,文件序号,实际动作序号";

class Apply : public ::testing::Test {
protected:
    testing_support::TempFolder temp;
    fs::path program = temp.path() / "program";
    fs::path out = temp.path() / "mod";
    fs::path edits = temp.path() / "edits.csv";

    testing_support::CliResult apply(const std::string& csv) {
        writeText(edits, csv);
        return runCli({"apply", pathArgument(edits), "--out", pathArgument(out)}, program);
    }
    fs::path output(int fileIndex) const {
        return outputTree(out) / (fileIndex == 0 ? "wp00.col" : "wp00_01.col");
    }
};

TEST_F(Apply, TheUneditedListWritesTheTemplatesByteForByte) {
    for (const std::string& csv : {templateCsv(), templateCsv().substr(3)}) {  // with and without the mark
        const auto result = apply(csv);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(fileBytes(output(0)), templateBytes(0));
        EXPECT_EQ(fileBytes(output(1)), templateBytes(1));
    }
}

TEST_F(Apply, OneEditedCellChangesExactlyItsField) {
    // 属性倍率 of 09 (file 0, slot 9), in the full list.
    std::string csv = templateCsv();
    const std::string row = "\r\n09,强蓄力斩2,切断,90,1,1.15,1.3,0,0,0,0,9\r\n";
    const std::size_t at = csv.find(row);
    ASSERT_NE(at, std::string::npos);
    csv.replace(at, row.size(), "\r\n09,强蓄力斩2,切断,90,1,2.5,1.3,0,0,0,0,9\r\n");
    const auto result = apply(csv);
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const std::size_t field = fieldOffset(0, 9, 20);
    const Bytes edited = fileBytes(output(0));
    EXPECT_EQ(changedOffsets(templateBytes(0), edited),
              (std::vector<std::size_t>{field, field + 1, field + 2, field + 3}));
    EXPECT_EQ(Bytes(edited.begin() + field, edited.begin() + field + 4), floatBytes(2.5f));
    EXPECT_EQ(fileBytes(output(1)), templateBytes(1));
}

TEST_F(Apply, UnlistedActionsAndColumnsKeepTheTemplatesExactBytes) {
    // A loose template whose 属性倍率 of 05 has more decimals than the list
    // shows: a line that leaves that column out must not round it to 0.33.
    Bytes wp00 = templateBytes(0);
    const Bytes third = floatBytes(0.333f);
    std::copy(third.begin(), third.end(), wp00.begin() + fieldOffset(0, 5, 20));
    testing_support::writeBytes(program / "res" / "wp00.col", wp00);

    const auto result = apply("动作序号,动作值,伤害类型\r\n05,80,打击\r\n12,36,切断\r\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("wrote 2 listed actions"), std::string::npos) << result.out;

    Bytes expected0 = wp00;
    expected0[fieldOffset(0, 5, 4)] = 2;
    const Bytes eighty = floatBytes(80);
    std::copy(eighty.begin(), eighty.end(), expected0.begin() + fieldOffset(0, 5, 8));
    EXPECT_EQ(fileBytes(output(0)), expected0);
    Bytes expected1 = templateBytes(1);
    expected1[fieldOffset(1, 2, 4)] = 1;
    const Bytes value = floatBytes(36);
    std::copy(value.begin(), value.end(), expected1.begin() + fieldOffset(1, 2, 8));
    EXPECT_EQ(fileBytes(output(1)), expected1);
}

TEST_F(Apply, AnExportedFolderListsWithTheEditedValues) {
    ASSERT_EQ(apply("动作序号,伤害类型,骑乘值\r\n13,切断,12.5\r\n").exitCode, 0);
    const auto listed = runCli({"list", "--format", "csv", "--from", pathArgument(outputTree(out))}, program);
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("\r\n13,冲撞攻击3,切断,48,1.5,0,0,55,30,12.5,1,3\r\n"), std::string::npos);
    // Everything else reads as before.
    std::string expected = templateCsv();
    const std::string row = "13,冲撞攻击3,打击,48,1.5,0,0,55,30,0,1,3";
    expected.replace(expected.find(row), row.size(), "13,冲撞攻击3,切断,48,1.5,0,0,55,30,12.5,1,3");
    EXPECT_EQ(listed.out, expected);
}

// Each CSV is refused whole: nothing is written, and stderr names the line,
// the column and the reason.
TEST_F(Apply, RefusedFilesWriteNothingAndNameTheCell) {
    struct Case {
        const char* what;
        std::string csv;
        std::string message;  // expected on stderr after "<file>:"
    };
    const Case cases[] = {
        {"bad number", header + "\r\n00,直斩,切断,48,1,1,1,0,0,0,0,0\r\n05,蓄力斩2,切断,77,1,1.1,1.2,0,0,1.005,0,5\r\n",
         "3: 骑乘值: 小数点后最多2位"},
        {"empty number", "动作序号,动作值\r\n05,\r\n", "2: 动作值: 不是数字"},
        {"number too large", "动作序号,眩晕值\r\n05,65535\r\n", "2: 眩晕值: 数字太大"},
        {"leading point", "动作序号,物理倍率\r\n05,.5\r\n", "2: 物理倍率: 不能以小数点开头"},
        {"trailing blank", "动作序号,动作值\r\n05,5 \r\n", "2: 动作值: 不是数字"},
        {"bad damage type", "动作序号,伤害类型\r\n05,切断 \r\n", "2: 伤害类型: 伤害类型错误"},
        {"damage type code", "动作序号,伤害类型\r\n05,1\r\n", "2: 伤害类型: 伤害类型错误"},
        {"unknown key", "动作序号,动作值\r\n00,48\r\n099,48\r\n", "3: 动作序号: unknown action number \"099\""},
        {"leading zero lost", "动作序号,动作值\r\n5,48\r\n", "2: 动作序号: unknown action number \"5\" (action number 05"},
        {"duplicate key", "动作序号,动作值\r\n05,48\r\n06,48\r\n05,49\r\n",
         "4: 动作序号: action number 05 is listed twice, first on line 2"},
        {"ragged row", header + "\r\n05,蓄力斩2,切断,77,1,1.1,1.2,0,0,0,0\r\n", "2: 11 fields where the caption line has 12"},
        {"missing key column", "招式名称,动作值\r\n蓄力斩2,80\r\n", "1: no 动作序号 column"},
        {"unknown column", "动作序号,动作值 \r\n05,80\r\n", "1: 动作值 : unknown column \"动作值 \""},
        {"column twice", "动作序号,动作值,动作值\r\n05,80,81\r\n", "1: 动作值: the column appears twice"},
        {"file index of another action", "动作序号,文件序号,实际动作序号\r\n10,0,10\r\n",
         "2: 文件序号: \"0\" does not match action number 10, which is in file 1"},
        {"unclosed quote", "动作序号,动作值\r\n05,\"80\r\n06,80\r\n", "2: not a CSV file: a quoted field that is never closed"},
        {"not UTF-8", "\xB6\xAF\xD7\xF7\xD0\xF2\xBA\xC5,\r\n", "1: not a CSV file: the text is not UTF-8"},
        {"empty file", "", "1: the file is empty"},
    };
    for (const Case& c : cases) {
        const auto result = apply(c.csv);
        EXPECT_EQ(result.exitCode, 1) << c.what;
        EXPECT_NE(result.err.find(pathArgument(edits) + ":" + c.message), std::string::npos)
            << c.what << "\n" << result.err;
        EXPECT_NE(result.err.find("nothing was written"), std::string::npos) << c.what;
        EXPECT_TRUE(result.out.empty()) << c.what;
        EXPECT_FALSE(fs::exists(out)) << c.what;
    }
}

TEST_F(Apply, EveryRefusedCellIsReportedInLineOrder) {
    const auto result = apply("动作序号,伤害类型,动作值,骑乘值\r\n00,弹,48,0\r\n05,x,abc,5.\r\n099,切断,1,2\r\n");
    EXPECT_EQ(result.exitCode, 1);
    const std::string file = pathArgument(edits);
    EXPECT_EQ(result.err, file + ":3: 伤害类型: 伤害类型错误\n" +
                              file + ":3: 动作值: 不是数字\n" +
                              file + ":3: 骑乘值: 不能以小数点结尾\n" +
                              file + ":4: 动作序号: unknown action number \"099\"\n"
                              "brindlemark-cli apply: 4 refusals; nothing was written\n");
}

TEST_F(Apply, ATargetThatCannotBeReplacedLeavesBothOldFiles) {
    ASSERT_EQ(apply("动作序号,动作值\r\n05,80\r\n").exitCode, 0);
    const Bytes first0 = fileBytes(output(0));
    const Bytes first1 = fileBytes(output(1));
    fs::permissions(output(1), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    // wp00.col could be replaced, wp00_01.col cannot: neither changes.
    const auto result = apply("动作序号,动作值\r\n05,90\r\n10,6\r\n");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(pathArgument(output(1))), std::string::npos) << result.err;
    EXPECT_EQ(fileBytes(output(0)), first0);
    EXPECT_EQ(fileBytes(output(1)), first1);
    EXPECT_EQ(std::distance(fs::directory_iterator(outputTree(out)), fs::directory_iterator()), 2);
    fs::permissions(output(1), fs::perms::owner_write, fs::perm_options::add);  // so that it can be removed
}

TEST_F(Apply, AMissingEditsFileIsAnErrorWithItsPath) {
    const auto result = runCli({"apply", pathArgument(edits), "--out", pathArgument(out)}, program);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("cannot open " + pathArgument(edits) + ": "), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
