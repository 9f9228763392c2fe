#include "csv.h"

#include <array>

namespace cli {

namespace {

constexpr std::string_view separators = ",;\t";

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

bool needsQuotes(std::string_view field, bool onlyField) {
    if (onlyField && field.empty()) return true;  // else an empty line, which is no record
    if (field.substr(0, utf8ByteOrderMark.size()) == utf8ByteOrderMark) return true;  // else skipped at the start
    return field.find_first_of(",;\t\"\r\n") != std::string_view::npos;
}

}  // namespace

CsvReader::CsvReader(std::string_view text, char separator, std::size_t maxFields)
    : text_(text), separator_(separator), maxFields_(maxFields) {
    if (text_.substr(0, utf8ByteOrderMark.size()) == utf8ByteOrderMark) pos_ = utf8ByteOrderMark.size();
}

bool CsvReader::next(CsvRecord& record) {
    while (pos_ < text_.size()) {
        record.line = line_;
        std::size_t count = 0;
        bool quoted = false;
        for (;;) {
            if (count == maxFields_) {
                throw CsvError(record.line, "a line of more than " + std::to_string(maxFields_) + " fields");
            }
            // Fields of the previous record are overwritten, keeping their storage.
            if (count == record.fields.size()) record.fields.emplace_back();
            std::string& field = record.fields[count++];
            field.clear();
            if (atQuote()) {
                quoted = true;
                quotedField(field);
            } else {
                plainField(field);
            }
            if (pos_ < text_.size() && text_[pos_] == separator_) {
                ++pos_;
                continue;
            }
            skipLineBreak();  // or the end of the text
            break;
        }
        record.fields.resize(count);
        const bool emptyLine = count == 1 && record.fields[0].empty() && !quoted;
        if (!emptyLine) return true;
    }
    return false;
}

bool CsvReader::atQuote() const { return pos_ < text_.size() && text_[pos_] == '"'; }
bool CsvReader::atLineBreak() const { return pos_ < text_.size() && isLineBreak(text_[pos_]); }

void CsvReader::skipLineBreak() {
    if (!atLineBreak()) return;
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
}

void CsvReader::plainField(std::string& field) {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != separator_ && !atLineBreak()) {
        if (text_[pos_] == '"') throw CsvError(line_, "a quote inside a field that does not begin with one");
        ++pos_;
    }
    field.assign(text_.substr(start, pos_ - start));
}

void CsvReader::quotedField(std::string& field) {
    const std::size_t startLine = line_;
    ++pos_;  // the opening quote
    for (;;) {
        const std::size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos) throw CsvError(startLine, "a quoted field that is never closed");
        // Line breaks inside are kept as they stand; only the line count needs their form.
        for (std::size_t i = pos_; i < quote; ++i) {
            if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 == quote || text_[i + 1] != '\n'))) ++line_;
        }
        field.append(text_.substr(pos_, quote - pos_));
        pos_ = quote + 1;
        if (pos_ < text_.size() && text_[pos_] == '"') {  // a doubled quote
            field += '"';
            ++pos_;
            continue;
        }
        break;  // the closing quote
    }
    if (pos_ < text_.size() && text_[pos_] != separator_ && !atLineBreak()) {
        throw CsvError(line_, "text after the closing quote of a field");
    }
}

std::vector<CsvRecord> parseCsv(std::string_view text, char separator) {
    std::vector<CsvRecord> records;
    CsvReader reader(text, separator);
    CsvRecord record;
    while (reader.next(record)) records.push_back(record);
    return records;
}

char detectSeparator(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isLineBreak(text[i])) ++i;
    std::array<std::size_t, separators.size()> counts{};
    bool quoted = false;
    for (; i < text.size() && (quoted || !isLineBreak(text[i])); ++i) {
        if (text[i] == '"') quoted = !quoted;  // a doubled quote toggles twice
        if (quoted) continue;
        const std::size_t which = separators.find(text[i]);
        if (which != std::string_view::npos) ++counts[which];
    }
    std::size_t best = 0;
    for (std::size_t k = 1; k < counts.size(); ++k) {
        if (counts[k] > counts[best]) best = k;
    }
    return separators[best];
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ',';
        const std::string& field = fields[i];
        if (!needsQuotes(field, fields.size() == 1)) {
            line += field;
            continue;
        }
        line += '"';
        for (char c : field) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\r\n";
}

}  // namespace cli
