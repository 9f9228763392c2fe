// Comma-separated values as RFC 4180 describes them: records end with CRLF (LF
// and a lone CR are read too), fields are separated by commas, and a field
// that holds a comma, a quote or a line break is enclosed in quotes, with each
// quote inside doubled. Reading also takes a semicolon or a tab as the
// separator, as spreadsheet programs save in some locales and for "Unicode
// text". The syntax is all ASCII, so the reader works on the bytes of any text
// that keeps ASCII bytes for ASCII characters (UTF-8 does); what the bytes
// mean is the caller's (see text_decoding.h).
#pragma once

#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

inline constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

struct CsvRecord {
    std::size_t line = 0;  // the line the record starts on, counted from 1
    std::vector<std::string> fields;
};

// Text that is not such a file: an unterminated quoted field, a quote where
// none may stand, or a line of more fields than the reader takes.
class CsvError : public std::runtime_error {
public:
    CsvError(std::size_t line, const std::string& reason)
        : std::runtime_error(reason), line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// The records of a CSV text one at a time, so that a long text never costs
// more than its longest record. Empty lines are no records; a line break at
// the end of the text ends the last record; a byte-order mark at the start of
// the text is skipped.
class CsvReader {
public:
    explicit CsvReader(std::string_view text, char separator = ',',
                       std::size_t maxFields = std::numeric_limits<std::size_t>::max());

    // The next record into `record` (its storage is reused); false at the end
    // of the text. Throws CsvError.
    bool next(CsvRecord& record);

private:
    bool atQuote() const;
    bool atLineBreak() const;
    void skipLineBreak();
    void plainField(std::string& field);
    void quotedField(std::string& field);

    std::string_view text_;
    char separator_;
    std::size_t maxFields_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
};

// All records of a CSV text. Throws CsvError.
std::vector<CsvRecord> parseCsv(std::string_view text, char separator = ',');

// The separator of a text whose first line names its columns: whichever of
// comma, semicolon and tab that line (outside quotes) holds most often; a
// comma when it holds none. Captions hold none of the three themselves.
char detectSeparator(std::string_view text);

// One record as a line of CSV text with commas, CRLF included. Read back, the
// line gives the same fields whatever they hold, with any of the separators:
// a field is quoted when it holds a separator, a quote or a line break, when
// it begins with a byte-order mark, or when it is the only field and empty.
// A record needs a field: none gives an empty line, which is no record.
std::string csvLine(const std::vector<std::string>& fields);

}  // namespace cli
