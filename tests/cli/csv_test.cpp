#include "csv.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using cli::CsvRecord;
using Fields = std::vector<std::string>;

struct Parsed {
    std::size_t line;
    Fields fields;
};

std::vector<Parsed> parse(const std::string& text, char separator = ',') {
    std::vector<Parsed> out;
    for (const CsvRecord& record : cli::parseCsv(text, separator)) out.push_back({record.line, record.fields});
    return out;
}

bool operator==(const Parsed& a, const Parsed& b) { return a.line == b.line && a.fields == b.fields; }
void PrintTo(const Parsed& p, std::ostream* os) {
    *os << "line " << p.line << ":";
    for (const auto& f : p.fields) *os << " [" << f << "]";
}

TEST(Csv, ReadsFieldsRecordsAndQuotesAsRfc4180Describes) {
    struct Case {
        const char* text;
        std::vector<Parsed> records;
    };
    const Case cases[] = {
        {"a,b\r\nc,d\r\n", {{1, {"a", "b"}}, {2, {"c", "d"}}}},
        {"a,b\nc,d", {{1, {"a", "b"}}, {2, {"c", "d"}}}},           // LF and no final line break
        {"a\rb\r", {{1, {"a"}}, {2, {"b"}}}},                       // lone CR
        {"\xEF\xBB\xBF动作序号,动作值\r\n", {{1, {"动作序号", "动作值"}}}},  // byte-order mark skipped
        {"a,,\r\n", {{1, {"a", "", ""}}}},                          // empty fields, trailing comma
        {"\"a,b\",\"say \"\"hi\"\"\",\"\"\r\n", {{1, {"a,b", "say \"hi\"", ""}}}},
        {"\"two\r\nlines\",x\r\nnext\r\n", {{1, {"two\r\nlines", "x"}}, {3, {"next"}}}},
        {"a\r\n\r\n\r\nb\r\n", {{1, {"a"}}, {4, {"b"}}}},           // empty lines are no records
        {"\"\"\r\n", {{1, {""}}}},                                  // but a quoted empty field is one
        {" a , b ", {{1, {" a ", " b "}}}},                          // blanks belong to the field
        {"", {}},
        {"\xFF\xB6\xAF,\x80\r\n", {{1, {"\xFF\xB6\xAF", "\x80"}}}},  // bytes of any encoding
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.text), c.records) << c.text;
}

TEST(Csv, TakesASemicolonOrATabAsTheSeparator) {
    EXPECT_EQ(parse("a;\"b;c\";d,e\r\n", ';'), (std::vector<Parsed>{{1, {"a", "b;c", "d,e"}}}));
    EXPECT_EQ(parse("a\t\"b\tc\"\td;e\r\n\t\r\n", '\t'),
              (std::vector<Parsed>{{1, {"a", "b\tc", "d;e"}}, {2, {"", ""}}}));
}

TEST(Csv, DetectsTheSeparatorFromTheCaptionLine) {
    struct Case {
        const char* text;
        char separator;
    };
    const Case cases[] = {
        {"动作序号,动作值\r\n05;1\t2\r\n", ','},  // later lines do not count
        {"动作序号;动作值;骑乘值\r\n", ';'},
        {"动作序号\t动作值\n", '\t'},
        {"\"动作序号\";\"动作值\"", ';'},
        {"\"a,b,c\";d;e\r\n", ';'},            // not inside quotes
        {"\"two\r\nlines,\";x\r\n", ';'},    // nor in a line break inside quotes
        {"\r\n\r\na;b\r\n", ';'},            // the first line that is not empty
        {"动作序号\r\n", ','},                   // one column: any will do
        {"", ','},
        {"a;b,c;d\r\n", ';'},                    // the most frequent
    };
    for (const Case& c : cases) EXPECT_EQ(cli::detectSeparator(c.text), c.separator) << c.text;
}

TEST(Csv, RefusesMalformedTextWithItsLine) {
    struct Case {
        const char* text;
        std::size_t line;
    };
    const Case cases[] = {
        {"a\r\n\"open,b\r\nc\r\n", 2},    // never closed: reported where it opens
        {"a\r\nx\"y\r\n", 2},             // quote inside a plain field
        {"a\r\n\"x\"y,z\r\n", 2},         // text after the closing quote
        {"a\r\n\"x\r\n\"y\r\n", 3},       // ... on the line where the field ends
        {"a\r\"x\ry\rz\"q\r", 4},          // lone CRs count as line breaks inside quotes too
    };
    for (const Case& c : cases) {
        try {
            cli::parseCsv(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const cli::CsvError& error) {
            EXPECT_EQ(error.line(), c.line) << c.text << ": " << error.what();
        }
    }
}

TEST(Csv, WrittenLinesReadBackToTheSameFields) {
    const Fields fields{"plain", "", "a,b", "say \"hi\"", "two\r\nlines", "强蓄力斩-横击"};
    const std::string line = cli::csvLine(fields);
    EXPECT_EQ(line, "plain,,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",强蓄力斩-横击\r\n");
    const auto records = cli::parseCsv(line + cli::csvLine({"x"}));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields, fields);
    EXPECT_EQ(records[1].line, 3u);
}

std::vector<Fields> readBack(const std::vector<Fields>& records) {
    std::string text;
    for (const Fields& record : records) text += cli::csvLine(record);
    std::vector<Fields> out;
    for (const CsvRecord& record : cli::parseCsv(text, cli::detectSeparator(text))) out.push_back(record.fields);
    return out;
}

TEST(Csv, AnyRecordListReadsBackAsWritten) {
    const std::string mark(cli::utf8ByteOrderMark);
    const std::vector<std::vector<Fields>> lists = {
        {{""}},                              // an empty line would be no record
        {{""}, {""}, {"", ""}},
        {{mark + "x", "y"}, {mark}},         // a leading mark would be skipped
        {{"a;b;c", "d"}, {"e\tf"}},          // the caption line would pick ';' or a tab
        {{"\r"}, {"\n"}, {"\r\n"}, {"\"\""}},
        {{" ", "\x00"}, {"\xFF\xFE", "\xEF\xBB"}},
    };
    for (const auto& records : lists) EXPECT_EQ(readBack(records), records);

    // And any mix of the characters that matter to the syntax.
    const std::vector<std::string> pieces{"", "a", " ", ",", ";", "\t", "\"", "\r", "\n", mark, "动"};
    std::mt19937 random(4180);
    const auto pick = [&random](std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(random); };
    for (int round = 0; round < 2000; ++round) {
        std::vector<Fields> records(1 + pick(3));
        for (Fields& record : records) {
            record.resize(1 + pick(3));
            for (std::string& field : record) {
                for (std::size_t n = pick(4); n > 0; --n) field += pieces[pick(pieces.size())];
            }
        }
        const auto back = readBack(records);
        EXPECT_EQ(back, records);
        if (back != records) break;
    }
}

TEST(Csv, ALineOfTooManyFieldsIsRefusedBeforeItCostsMemory) {
    cli::CsvReader reader("a,b,c\r\nd,e,f,g\r\n", ',', 3);
    CsvRecord record;
    ASSERT_TRUE(reader.next(record));
    try {
        reader.next(record);
        ADD_FAILURE() << "accepted";
    } catch (const cli::CsvError& error) {
        EXPECT_EQ(error.line(), 2u);
        EXPECT_STREQ(error.what(), "a line of more than 3 fields");
    }
}

}  // namespace
