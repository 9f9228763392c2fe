#include "csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cli::CsvRecord;
using Fields = std::vector<std::string>;

struct Parsed {
    std::size_t line;
    Fields fields;
};

std::vector<Parsed> parse(const std::string& text) {
    std::vector<Parsed> out;
    for (const CsvRecord& record : cli::parseCsv(text)) out.push_back({record.line, record.fields});
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
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.text), c.records) << c.text;
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
        {"a\r\nb\xC0\xAF\r\n", 2},        // overlong UTF-8
        {"a\r\n\xED\xA0\x80\r\n", 2},     // a UTF-16 surrogate
        {"a\nb\n\xE5\x8A", 3},            // truncated sequence at the end
        {"\xB6\xAF\xD7\xF7", 1},          // GBK text, as a spreadsheet may save it
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

}  // namespace
