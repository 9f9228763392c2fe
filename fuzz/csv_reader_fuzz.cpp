// The CSV reader on any bytes, with each of the three separators. It reads
// nothing outside its text, takes no more fields on a line than it is allowed,
// numbers its records and errors by lines that exist, one record after another
// on later lines; and the records it reads, written again with csvLine, read
// back to the same fields.
#include <cstdint>
#include <string>
#include <vector>

#include "csv.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t fieldLimit = 64;

void checkWithSeparator(std::string_view text, char separator, std::size_t lines) {
    std::vector<cli::CsvRecord> records;
    try {
        cli::CsvReader reader(text, separator, fieldLimit);
        cli::CsvRecord record;
        while (reader.next(record)) {
            fuzz::require(!record.fields.empty() && record.fields.size() <= fieldLimit,
                          "a record has at least one field and no more than allowed");
            fuzz::require(record.line >= 1 && record.line <= lines, "a record starts on a line of the text");
            fuzz::require(records.empty() || record.line > records.back().line,
                          "each record starts on a later line than the one before");
            records.push_back(record);
        }
    } catch (const cli::CsvError& error) {
        fuzz::require(error.line() >= 1 && error.line() <= lines, "an error names a line of the text");
        return;
    }

    std::string written;
    for (const cli::CsvRecord& record : records) written += cli::csvLine(record.fields);
    const std::vector<cli::CsvRecord> reread = cli::parseCsv(written);
    fuzz::require(reread.size() == records.size(), "records written with csvLine read back as as many");
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (reread[i].fields != records[i].fields) {
            fuzz::fail("records written with csvLine read back to the same fields",
                       fuzz::visibleFields(records[i].fields) + " reads back as " +
                           fuzz::visibleFields(reread[i].fields));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ExactCopy input(data, size);
    const std::string_view text = input.text();
    const std::size_t lines = fuzz::lineBreaks(text) + 1;

    const char detected = cli::detectSeparator(text);
    fuzz::require(detected == ',' || detected == ';' || detected == '\t', "the separator found is one of three");
    for (const char separator : {',', ';', '\t'}) checkWithSeparator(text, separator, lines);
    return 0;
}
