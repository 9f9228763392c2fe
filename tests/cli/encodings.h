// UTF-8 test texts re-encoded as a spreadsheet program may save them: UTF-16
// little-endian, and the Chinese Windows code page 936 through the platform's
// own converter (the reverse of the one under test).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>

#include "text.h"
#else
#include <iconv.h>
#endif

namespace testing_support {

// Without a byte-order mark; the text must be valid UTF-8.
inline std::string utf16LittleEndian(std::string_view utf8) {
    std::string out;
    const auto unit = [&out](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<std::uint8_t>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length; ++k) code = code << 6 | (static_cast<std::uint8_t>(utf8[i + k]) & 0x3F);
        i += length;
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out;
}

inline std::string codePage936(std::string_view utf8) {
    if (utf8.empty()) return {};
#ifdef _WIN32
    const std::wstring wide = widen(utf8);
    const int length = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length, nullptr, nullptr);
    return out;
#else
    const iconv_t converter = iconv_open("CP936", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP936 converter");
    std::string out(utf8.size() * 2, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* next = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(converter, &in, &inLeft, &next, &outLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1)) throw std::runtime_error("not convertible to CP936");
    out.resize(out.size() - outLeft);
    return out;
#endif
}

}  // namespace testing_support
