// Records made of any bytes, written with csvLine, read back to the same
// records on the lines they were written to. The input spells the records:
// 0xFF ends a record, 0xFE ends a field, 0xFD stands for a UTF-8 byte-order
// mark, and every other byte is itself; an input whose first byte is odd gets
// a byte-order mark before its first line, as the list's CSV has. Every record
// has at least one field (an empty one when nothing is spelled).
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "csv.h"
#include "fuzz_support.h"

namespace {

using Fields = std::vector<std::string>;

std::vector<Fields> recordsOf(const std::uint8_t* data, std::size_t size) {
    std::vector<Fields> records;
    Fields fields(1);
    for (std::size_t i = 0; i < size; ++i) {
        switch (data[i]) {
            case 0xFF:
                records.push_back(std::move(fields));
                fields.assign(1, "");
                break;
            case 0xFE: fields.emplace_back(); break;
            case 0xFD: fields.back() += cli::utf8ByteOrderMark; break;
            default: fields.back() += static_cast<char>(data[i]);
        }
    }
    if (fields.size() > 1 || !fields[0].empty()) records.push_back(std::move(fields));
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool marked = data[0] & 1;
    const std::vector<Fields> records = recordsOf(data + 1, size - 1);

    std::string written(marked ? cli::utf8ByteOrderMark : "");
    std::size_t widest = 0;
    for (const Fields& fields : records) {
        written += cli::csvLine(fields);
        widest = std::max(widest, fields.size());
    }
    const fuzz::ExactCopy text(reinterpret_cast<const std::uint8_t*>(written.data()), written.size());

    fuzz::require(cli::detectSeparator(text.text()) == ',', "the separator found in written records is the comma");
    std::vector<cli::CsvRecord> read;
    try {
        cli::CsvReader reader(text.text(), ',', widest);  // the widest record is within the limit
        cli::CsvRecord record;
        while (reader.next(record)) read.push_back(record);
    } catch (const cli::CsvError& error) {
        fuzz::fail("written records read back", std::string(error.what()) + " on line " + std::to_string(error.line()));
    }
    if (read.size() != records.size()) {
        fuzz::fail("written records read back as as many",
                   std::to_string(records.size()) + " written, " + std::to_string(read.size()) + " read");
    }
    std::size_t line = 1;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (read[i].fields != records[i]) {
            fuzz::fail("written records read back to the same fields",
                       fuzz::visibleFields(records[i]) + " reads back as " + fuzz::visibleFields(read[i].fields));
        }
        if (read[i].line != line) {
            fuzz::fail("a record read back starts on the line it was written to",
                       "record " + std::to_string(i + 1) + " on line " + std::to_string(read[i].line) +
                           " for " + std::to_string(line));
        }
        for (const std::string& field : records[i]) line += fuzz::lineBreaks(field);
        ++line;
    }
    return 0;
}
