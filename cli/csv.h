// Comma-separated values as RFC 4180 describes them: records end with CRLF (LF
// and a lone CR are read too), fields are separated by commas, and a field
// that holds a comma, a quote or a line break is enclosed in quotes, with each
// quote inside doubled. Texts are UTF-8; a leading byte-order mark is skipped
// when reading.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

inline constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

struct CsvRecord {
    std::size_t line;  // the line the record starts on, counted from 1
    std::vector<std::string> fields;
};

// Text that is not such a file: not UTF-8, an unterminated quoted field, or a
// quote where none may stand.
class CsvError : public std::runtime_error {
public:
    CsvError(std::size_t line, const std::string& reason)
        : std::runtime_error(reason), line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// The records of a CSV text. Empty lines are no records; a line break at the
// end of the text ends the last record. Throws CsvError.
std::vector<CsvRecord> parseCsv(std::string_view text);

// One record as a line of CSV text, CRLF included.
std::string csvLine(const std::vector<std::string>& fields);

// The line (from 1) of the first byte of `text` that is not part of valid
// UTF-8 (overlong forms and surrogates included), or 0 when all of it is.
std::size_t firstInvalidUtf8Line(std::string_view text);

}  // namespace cli
