// What the builders of files from descriptions share: the little-endian
// output and the error that names the description's line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class LittleEndianWriter {
public:
    std::vector<std::uint8_t> bytes;

    void u8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v) {
        u8(v & 0xFF);
        u8(v >> 8 & 0xFF);
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) u8(v >> (8 * i) & 0xFF);
    }
};

[[noreturn]] inline void fail(int line, const std::string& what) {
    throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}
