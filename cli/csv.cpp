#include "csv.h"

#include <cstdint>

namespace cli {

namespace {

// Length of the UTF-8 sequence at `text[i]`, 0 when it is not a valid one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length;
    std::uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - i < length) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::vector<CsvRecord> records() {
        std::vector<CsvRecord> out;
        while (pos_ < text_.size()) {
            CsvRecord record{line_, {}};
            bool quoted = false;
            for (;;) {
                quoted |= atQuote();
                record.fields.push_back(atQuote() ? quotedField() : plainField());
                if (pos_ < text_.size() && text_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                skipLineBreak();  // or the end of the text
                break;
            }
            const bool emptyLine = record.fields.size() == 1 && record.fields[0].empty() && !quoted;
            if (!emptyLine) out.push_back(std::move(record));
        }
        return out;
    }

private:
    bool atQuote() const { return pos_ < text_.size() && text_[pos_] == '"'; }
    bool atLineBreak() const { return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n'); }

    void skipLineBreak() {
        if (!atLineBreak()) return;
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
        ++line_;
    }

    std::string plainField() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !atLineBreak()) {
            if (text_[pos_] == '"') throw CsvError(line_, "a quote inside a field that does not begin with one");
            ++pos_;
        }
        return std::string(text_.substr(start, pos_ - start));
    }

    std::string quotedField() {
        const std::size_t startLine = line_;
        ++pos_;  // the opening quote
        std::string field;
        for (;;) {
            if (pos_ >= text_.size()) throw CsvError(startLine, "a quoted field that is never closed");
            const char c = text_[pos_];
            if (c == '"') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
                    field += '"';
                    pos_ += 2;
                    continue;
                }
                ++pos_;  // the closing quote
                break;
            }
            if (atLineBreak()) {
                // Kept as it stands; only the line count needs the break's form.
                const bool crlf = c == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
                field.append(text_.substr(pos_, crlf ? 2 : 1));
                pos_ += crlf ? 2 : 1;
                ++line_;
                continue;
            }
            field += c;
            ++pos_;
        }
        if (pos_ < text_.size() && text_[pos_] != ',' && !atLineBreak()) {
            throw CsvError(line_, "text after the closing quote of a field");
        }
        return field;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
};

bool needsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

std::size_t firstInvalidUtf8Line(std::string_view text) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) return line;
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
        i += length;
    }
    return 0;
}

std::vector<CsvRecord> parseCsv(std::string_view text) {
    if (text.substr(0, utf8ByteOrderMark.size()) == utf8ByteOrderMark) text.remove_prefix(utf8ByteOrderMark.size());
    if (const std::size_t line = firstInvalidUtf8Line(text)) {
        throw CsvError(line, "the text is not UTF-8 (save the file as CSV in UTF-8)");
    }
    return Parser(text).records();
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ',';
        const std::string& field = fields[i];
        if (!needsQuotes(field)) {
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
