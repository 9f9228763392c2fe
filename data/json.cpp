#include "json.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace helper {

namespace {

// A JSON value of the kinds an action row holds.
struct Scalar {
    enum class Kind { text, number, null } kind = Kind::null;
    std::string text;
    double number = 0;
};

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Reads one flat JSON object of texts, numbers and nulls.
class ObjectReader {
public:
    explicit ObjectReader(std::string_view text) : text_(text) {}

    template <typename Visit>
    void read(Visit visit) {
        expect('{');
        if (peek() == '}') {
            ++pos_;
        } else {
            for (;;) {
                const std::string key = readString();
                expect(':');
                visit(key, readScalar());
                skipSpace();
                if (peek() == ',') {
                    ++pos_;
                    continue;
                }
                expect('}');
                break;
            }
        }
        skipSpace();
        if (pos_ != text_.size()) fail("text after the object");
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw std::invalid_argument(std::string("JSON: ") + what + " at offset " + std::to_string(pos_));
    }
    void skipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r')) ++pos_;
    }
    char peek() {
        skipSpace();
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void expect(char c) {
        if (peek() != c) fail("unexpected character");
        ++pos_;
    }
    std::uint32_t readHex4() {
        if (text_.size() - pos_ < 4) fail("short \\u escape");
        std::uint32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            code <<= 4;
            if (c >= '0' && c <= '9') code |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') code |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') code |= static_cast<std::uint32_t>(c - 'A' + 10);
            else fail("bad \\u escape");
        }
        return code;
    }
    std::string readString() {
        expect('"');
        std::string out;
        for (;;) {
            if (pos_ >= text_.size()) fail("unterminated string");
            const char c = text_[pos_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) fail("control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) fail("unterminated escape");
            switch (const char e = text_[pos_++]) {
                case '"': case '\\': case '/': out += e; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    std::uint32_t code = readHex4();
                    if (code >= 0xD800 && code < 0xDC00 && text_.substr(pos_, 2) == "\\u") {
                        pos_ += 2;
                        const std::uint32_t low = readHex4();
                        if (low < 0xDC00 || low >= 0xE000) fail("bad surrogate pair");
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xD800 && code < 0xE000) {
                        fail("lone surrogate");
                    }
                    appendUtf8(out, code);
                    break;
                }
                default: fail("bad escape");
            }
        }
    }
    Scalar readScalar() {
        Scalar value;
        const char c = peek();
        if (c == '"') {
            value.kind = Scalar::Kind::text;
            value.text = readString();
        } else if (text_.substr(pos_, 4) == "null") {
            pos_ += 4;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && std::string_view("+-.eE0123456789").find(text_[pos_]) != std::string_view::npos) ++pos_;
            const std::string number(text_.substr(start, pos_ - start));
            char* end = nullptr;
            value.number = std::strtod(number.c_str(), &end);
            if (end != number.c_str() + number.size()) fail("bad number");
            value.kind = Scalar::Kind::number;
        } else {
            fail("expected a text, a number or null");
        }
        return value;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string expectText(const std::string& key, const Scalar& value) {
    if (value.kind != Scalar::Kind::text) throw std::invalid_argument("JSON: " + key + " must be a text");
    return value.text;
}

int expectInteger(const std::string& key, const Scalar& value) {
    // Every int of 32 bits, the lowest included: a row's fields are ints.
    if (value.kind != Scalar::Kind::number || value.number != std::floor(value.number) ||
        value.number < -2147483648.0 || value.number > 2147483647.0) {
        throw std::invalid_argument("JSON: " + key + " must be an integer");
    }
    return static_cast<int>(value.number);
}

}  // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    static constexpr char hex[] = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[(c >> 4) & 0xF];
                    out += hex[c & 0xF];
                } else {
                    out += c;  // UTF-8 passes through
                }
        }
    }
    return out + "\"";
}

std::string toJson(const ActionRow& row) {
    std::string out = "{\"weaponType\":" + jsonString(row.weaponType);
    out += ",\"fileIndex\":" + std::to_string(row.fileIndex);
    out += ",\"actIndex\":" + std::to_string(row.actIndex);
    if (row.actName) out += ",\"actName\":" + jsonString(*row.actName);
    out += ",\"damageType\":" + std::to_string(row.damageType);
    for (std::size_t field = 0; field < valueFieldInfo.size(); ++field) {
        out += ",\"";
        out += valueFieldInfo[field].name;
        out += "\":" + jsonString(row.*valueMembers<ActionRow>[field]);
    }
    return out + "}";
}

std::string toJson(const std::vector<ActionRow>& rows) {
    std::string out = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += i ? ",\n" : "\n";
        out += toJson(rows[i]);
    }
    return out + (rows.empty() ? "]" : "\n]");
}

ActionRow actionRowFromJson(std::string_view text) {
    ActionRow row = action();
    ObjectReader(text).read([&](const std::string& key, const Scalar& value) {
        if (key == "weaponType") row.weaponType = expectText(key, value);
        else if (key == "fileIndex") row.fileIndex = expectInteger(key, value);
        else if (key == "actIndex") row.actIndex = expectInteger(key, value);
        else if (key == "damageType") row.damageType = expectInteger(key, value);
        else if (key == "actName") {
            if (value.kind == Scalar::Kind::null) row.actName.reset();
            else row.actName = expectText(key, value);
        } else {
            for (std::size_t field = 0; field < valueFieldInfo.size(); ++field) {
                if (key == valueFieldInfo[field].name) {
                    row.*valueMembers<ActionRow>[field] = expectText(key, value);
                    return;
                }
            }
            throw std::invalid_argument("JSON: unknown field " + key);
        }
    });
    return row;
}

ActionRow deepClone(const ActionRow& row) { return actionRowFromJson(toJson(row)); }

}  // namespace helper
