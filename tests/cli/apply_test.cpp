#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli_fixtures.h"
#include "csv.h"
#include "edits.h"
#include "encodings.h"

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
        {"stored as 65535", "动作序号,眩晕值\r\n05,65534999e-3\r\n", "2: 眩晕值: 数字太大"},
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
        {"file index of another action", "动作序号,文件序号\r\n10,0\r\n",
         "2: 文件序号: \"0\" does not match action number 10, which is in file 1 (action number 010 without"},
        {"slot of another action", "动作序号,实际动作序号\r\n05,5.5\r\n",
         "2: 实际动作序号: \"5.5\" does not match action number 05, which is slot 5"},
        {"key of another place", "动作序号,文件序号,实际动作序号\r\n6,0,5\r\n",
         "2: 动作序号: \"6\" is not the action number of file 0, slot 5, which is 05"},
        {"no action at the place", "动作序号,实际动作序号,文件序号\r\n07,7,0\r\n", "2: no action is in file 0, slot 7"},
        {"file index not a number", "动作序号,文件序号,实际动作序号\r\n05,O,5\r\n", "2: 文件序号: \"O\" is not a file index"},
        {"same place twice", "动作序号,文件序号,实际动作序号\r\n5,0,5\r\n05,0,5.0\r\n",
         "3: 动作序号: action number 05 is listed twice, first on line 2"},
        {"value under no caption", "动作序号,,动作值\r\n05,,80\r\n06,x,80\r\n",
         "3: field 2 holds \"x\" in a column without a caption"},
        {"value beyond the captions", "动作序号,动作值\r\n05,80,,1\r\n", "2: field 4 holds \"1\" in a column without"},
        {"decimal comma in a comma file", "动作序号,物理倍率\r\n05,\"1,5\"\r\n", "2: 物理倍率: 不是数字"},
        {"decimal comma, three decimals", "动作序号;物理倍率\r\n05;1,005\r\n", "2: 物理倍率: 小数点后最多2位"},
        {"decimal comma and point", "动作序号;物理倍率\r\n05;1.000,5\r\n", "2: 物理倍率: 不是数字"},
        {"three decimals, zeros", "动作序号,动作值\r\n05,130.000\r\n", "2: 动作值: 小数点后最多2位"},
        {"unclosed quote", "动作序号,动作值\r\n05,\"80\r\n06,80\r\n", "2: not a CSV file: a quoted field that is never closed"},
        {"neither UTF-8 nor GBK", "动作序号,动作值\r\n05,80\r\n06,\xFF\r\n",
         "3: not a CSV file: the text is neither UTF-8 nor GBK"},
        {"UTF-16 cut short", std::string("\xFF\xFE\x52", 3), "1: not a CSV file: the UTF-16 text ends in the middle"},
        {"empty file", "", "1: the file is empty"},
        {"only empty rows", "\r\n,,,\r\n\"\",\r\n", "1: the file is empty"},
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

// The list's own CSV, saved again by a spreadsheet program in each of the
// ways they do, applies to the same bytes.
using Table = std::vector<std::vector<std::string>>;

struct Form {
    char separator = ',';
    bool quoteAll = false;
    std::string lineEnd = "\r\n";
};

std::string written(const Table& table, const Form& form) {
    std::string text;
    for (const auto& record : table) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            if (i) text += form.separator;
            const std::string& field = record[i];
            if (!form.quoteAll && field.find_first_of(std::string("\"\r\n") + form.separator) == std::string::npos) {
                text += field;
                continue;
            }
            text += '"';
            for (const char c : field) text += c == '"' ? std::string("\"\"") : std::string(1, c);
            text += '"';
        }
        text += form.lineEnd;
    }
    return text;
}

// Each value cell (columns 4 to 10 of the list) through `change`.
Table withValues(Table table, std::string (*change)(const std::string&)) {
    for (std::size_t line = 1; line < table.size(); ++line) {
        for (std::size_t field = 3; field < 10; ++field) table[line][field] = change(table[line][field]);
    }
    return table;
}

std::string spreadsheetDecimals(const std::string& value) {  // "130.0", "1.10"; "1.15" stays
    const std::size_t point = value.find('.');
    if (point == std::string::npos) return value + ".0";
    return value.size() - point == 2 ? value + "0" : value;
}

std::string decimalComma(const std::string& value) {
    std::string out = value;
    if (const std::size_t point = out.find('.'); point != std::string::npos) out[point] = ',';
    return out;
}

Table keysAsNumbers(Table table) {  // "00" -> "0", "05" -> "5", "010" -> "10"
    for (std::size_t line = 1; line < table.size(); ++line) {
        std::string& key = table[line][0];
        key.erase(0, std::min(key.find_first_not_of('0'), key.size() - 1));
    }
    return table;
}

Table withEmptyColumnsAndRows(Table table) {
    for (auto& record : table) record.insert(record.end(), {"", ""});
    table.insert(table.end(), 3, std::vector<std::string>(table[0].size()));
    return table;
}

Table reversed(Table table) {
    for (auto& record : table) std::reverse(record.begin(), record.end());
    return table;
}

TEST_F(Apply, WhatASpreadsheetSavesAppliesToTheSameBytes) {
    // Two edits in the list: 动作值 of 09 from 90 to 130, 属性倍率 of 05 from 1.1 to 1.5.
    std::string csv = templateCsv();
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"\r\n09,强蓄力斩2,切断,90,", "\r\n09,强蓄力斩2,切断,130,"},
                                   {"\r\n05,蓄力斩2,切断,77,1,1.1,", "\r\n05,蓄力斩2,切断,77,1,1.5,"}}) {
        ASSERT_NE(csv.find(from), std::string::npos) << from;
        csv.replace(csv.find(from), from.size(), to);
    }
    Bytes expected0 = templateBytes(0);
    for (const auto& [offset, value] : {std::pair<std::size_t, float>{fieldOffset(0, 9, 8), 130.0f},
                                        {fieldOffset(0, 5, 20), 1.5f}}) {
        const Bytes bytes = floatBytes(value);
        std::copy(bytes.begin(), bytes.end(), expected0.begin() + offset);
    }
    const Bytes expected1 = templateBytes(1);

    const std::string withoutMark = csv.substr(cli::utf8ByteOrderMark.size());
    const Table table = [&] {
        Table out;
        for (const auto& record : cli::parseCsv(withoutMark)) out.push_back(record.fields);
        return out;
    }();
    ASSERT_EQ(written(table, {}), withoutMark);
    const Form semicolons{';'}, tabs{'\t'};

    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"the list as written", csv},
        {"no byte-order mark", withoutMark},
        {"LF line ends", written(table, {',', false, "\n"})},
        {"every field quoted", written(table, {',', true})},
        {"numbers as 130.0 and 1.10", written(withValues(table, spreadsheetDecimals), {})},
        {"action numbers as numbers", written(keysAsNumbers(table), {})},
        {"empty trailing columns and lines", written(withEmptyColumnsAndRows(table), {}) + "\r\n\r\n"},
        {"columns in another order", written(reversed(table), {})},
        {"semicolons", written(table, semicolons)},
        {"semicolons and decimal commas", written(withValues(table, decimalComma), semicolons)},
        {"tabs", written(table, tabs)},
        {"UTF-16 text with tabs", "\xFF\xFE" + testing_support::utf16LittleEndian(written(table, tabs))},
        {"code page 936", testing_support::codePage936(withoutMark)},
        {"all of them", testing_support::codePage936(written(
                            withEmptyColumnsAndRows(reversed(keysAsNumbers(withValues(
                                withValues(table, spreadsheetDecimals), decimalComma)))),
                            {';', true, "\n"}))},
    };
    for (const Case& c : cases) {
        fs::remove_all(out);
        const auto result = apply(c.bytes);
        ASSERT_EQ(result.exitCode, 0) << c.what << "\n" << result.err;
        EXPECT_NE(result.out.find("wrote 60 listed actions"), std::string::npos) << c.what << "\n" << result.out;
        EXPECT_EQ(fileBytes(output(0)), expected0) << c.what;
        EXPECT_EQ(fileBytes(output(1)), expected1) << c.what;
    }
}

TEST_F(Apply, AFileOverTheSizeLimitIsRefusedUnread) {
    // The list padded with empty lines to the limit still applies; one byte more is refused.
    std::string csv = templateCsv();
    csv.append(cli::maxCsvBytes - csv.size(), '\n');
    ASSERT_EQ(apply(csv).exitCode, 0);
    fs::remove_all(out);

    const auto result = apply(csv + "\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, pathArgument(edits) + ": the file is larger than 4 MiB; a list of edits is a few KiB "
                                                "(is it the right file?)\n"
                                                "brindlemark-cli apply: 1 refusal; nothing was written\n");
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(Apply, MessagesQuoteOnlyAShortExcerptOfTheInput) {
    struct Case {
        const char* what;
        std::string csv;
        std::string message;
    };
    const std::string nuls(1 << 20, '\0');
    const std::string longKey(1 << 20, '5');
    const Case cases[] = {
        {"a caption of NUL bytes", "动作序号," + nuls + "\r\n",
         ":1: " + std::string(40 * 4, 'x') + "...: unknown column \"" + std::string(40 * 4, 'x') + "\"... (1048576 bytes)"},
        {"a long action number", "动作序号,动作值\r\n" + longKey + ",1\r\n",
         ":2: 动作序号: unknown action number \"" + std::string(40, '5') + "\"... (1048576 bytes)\n"},
        {"a byte-order mark in a caption", "动作序号,\xEF\xBB\xBF动作值\r\n", ":1: \\uFEFF动作值: unknown column \"\\uFEFF动作值\""},
    };
    for (const Case& c : cases) {
        const auto result = apply(c.csv);
        EXPECT_EQ(result.exitCode, 1) << c.what;
        std::string expected = c.message;
        for (std::size_t at; (at = expected.find("xxxx")) != std::string::npos;) expected.replace(at, 4, "\\x00");
        EXPECT_NE(result.err.find(pathArgument(edits) + expected), std::string::npos) << c.what << "\n" << result.err;
        EXPECT_LT(result.err.size(), 2000u) << c.what;
    }
}

TEST_F(Apply, ManyRefusalsListTheFirstHundredAndCountTheRest) {
    std::string csv = "动作序号,动作值\r\n";
    for (int i = 0; i < 5000; ++i) csv += "x\r\n";
    const auto result = apply(csv);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 101);
    EXPECT_NE(result.err.find(pathArgument(edits) + ":101: 1 field where the caption line has 2\n"), std::string::npos);
    EXPECT_NE(result.err.find("\nbrindlemark-cli apply: 5000 refusals (the first 100 listed); nothing was written\n"),
              std::string::npos) << result.err.substr(result.err.size() - 200);
}

TEST_F(Apply, ASecondTargetThatIsAFolderLeavesTheFirstFileAsItWas) {
    ASSERT_EQ(apply("动作序号,动作值\r\n05,80\r\n").exitCode, 0);
    const Bytes first0 = fileBytes(output(0));
    fs::remove(output(1));
    fs::create_directory(output(1));

    const auto result = apply("动作序号,动作值\r\n05,90\r\n");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(pathArgument(output(1)) + ": it is a folder"), std::string::npos) << result.err;
    EXPECT_EQ(fileBytes(output(0)), first0);
    EXPECT_TRUE(fs::is_directory(output(1)));
    EXPECT_EQ(std::distance(fs::directory_iterator(outputTree(out)), fs::directory_iterator()), 2);
}

TEST_F(Apply, AMissingEditsFileIsAnErrorWithItsPath) {
    const auto result = runCli({"apply", pathArgument(edits), "--out", pathArgument(out)}, program);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("cannot open " + pathArgument(edits) + ": "), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
