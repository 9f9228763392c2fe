// What the fuzz targets share: the input as a heap block of exactly its size,
// so that the address checks catch a read even one byte past its end, and the
// check of an invariant, which ends the run with a message (and libFuzzer
// keeps the input) when it does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

class ExactCopy {
public:
    ExactCopy(const std::uint8_t* data, std::size_t size) : bytes_(new std::uint8_t[size]), size_(size) {
        if (size) std::memcpy(bytes_.get(), data, size);
    }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    std::string_view text() const { return {reinterpret_cast<const char*>(bytes_.get()), size_}; }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_;
};

// `text` with control characters and backslashes as \xHH, for messages;
// other bytes pass, so that UTF-8 stays readable.
inline std::string visible(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F && byte != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out;
}

// The line breaks of `text`; CRLF is one.
inline std::size_t lineBreaks(std::string_view text) {
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++breaks;
    }
    return breaks;
}

// "[a], [\x0Ab]" for the fields of a CSV record.
inline std::string visibleFields(const std::vector<std::string>& fields) {
    std::string out;
    for (const std::string& field : fields) out += (out.empty() ? "[" : ", [") + visible(field) + "]";
    return out;
}

[[noreturn]] inline void fail(std::string_view invariant, std::string_view detail) {
    std::fprintf(stderr, "\nInvariant does not hold: %.*s\n  %.*s\n", static_cast<int>(invariant.size()),
                 invariant.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

// For a detail that costs something to make, test and call fail() instead.
inline void require(bool holds, std::string_view invariant, std::string_view detail = {}) {
    if (!holds) fail(invariant, detail);
}

}  // namespace fuzz
