#include "collision_builder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "description_support.h"

namespace {

class Builder : public LittleEndianWriter {
public:
    void tag(const char* text) {
        for (std::size_t i = 0; i < 4; ++i) u8(i < std::strlen(text) ? static_cast<unsigned char>(text[i]) : 0);
    }
    void raw(const std::vector<std::uint8_t>& data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    void f32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void fill(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) u8(nextFiller());
    }

    std::uint32_t seed = 1;

private:
    std::uint8_t nextFiller() {  // xorshift32
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const auto byte = static_cast<std::uint8_t>(seed >> 24);
        return byte ? byte : 0xA5;
    }
};

struct Name {
    std::int64_t category, slot, flag, number;
    std::string text;
};

struct Record {
    std::uint32_t slot;
    std::uint32_t damage;  // bytes 4..7, little-endian
    float values[7];
};

struct Description {
    std::uint32_t seed = 1;
    std::uint32_t header[3] = {};
    std::vector<Name> names;
    std::uint32_t clnd[2] = {};
    std::vector<std::uint32_t> groups;
    std::uint32_t atkMagic = 0, atk[2] = {};
    std::vector<Record> records;
    std::uint32_t oapMagic = 0, oap = 0, oapData = 0;
    std::vector<std::pair<std::string, std::uint64_t>> checks;
};

std::int64_t number(std::istringstream& in, int line, int base = 0) {
    std::string token;
    if (!(in >> token)) fail(line, "a number is missing");
    char* end = nullptr;
    const long long value = std::strtoll(token.c_str(), &end, base);
    if (*end) fail(line, "not a number: " + token);
    return value;
}

std::string quoted(std::istringstream& in, int line) {
    std::string rest;
    std::getline(in, rest);
    const auto open = rest.find('"');
    const auto close = rest.rfind('"');
    if (open == std::string::npos || close == open) fail(line, "a quoted name is missing");
    return rest.substr(open + 1, close - open - 1);
}

std::uint32_t damageWord(const std::string& token, int line) {
    const auto plus = token.find('+');
    char* end = nullptr;
    const unsigned long first = std::strtoul(token.substr(0, plus).c_str(), &end, 10);
    if (*end || first > 255) fail(line, "bad damage byte: " + token);
    std::uint32_t word = static_cast<std::uint32_t>(first);
    if (plus != std::string::npos) {
        const std::string more = token.substr(plus + 1);
        const unsigned long rest = std::strtoul(more.c_str(), &end, 16);
        if (*end || more.size() != 6) fail(line, "bad damage bytes: " + token);
        // "64+a1b2c3": bytes 5, 6, 7 are a1, b2, c3 in file order.
        word |= static_cast<std::uint32_t>((rest >> 16 & 0xFF) << 8 | (rest >> 8 & 0xFF) << 16 | (rest & 0xFF) << 24);
    }
    return word;
}

Description parse(std::istream& input) {
    Description d;
    std::string text;
    for (int line = 1; std::getline(input, text); ++line) {
        if (const auto hash = text.find('#'); hash != std::string::npos && text.find('"') > hash) text.erase(hash);
        std::istringstream in(text);
        std::string word;
        if (!(in >> word)) continue;
        if (word == "filler") {
            d.seed = static_cast<std::uint32_t>(number(in, line));
        } else if (word == "header") {
            for (auto& v : d.header) v = static_cast<std::uint32_t>(number(in, line));
        } else if (word == "name") {
            Name n{number(in, line), number(in, line), number(in, line), number(in, line), {}};
            n.text = quoted(in, line);
            d.names.push_back(n);
        } else if (word == "clnd") {
            for (auto& v : d.clnd) v = static_cast<std::uint32_t>(number(in, line));
        } else if (word == "group") {
            d.groups.push_back(static_cast<std::uint32_t>(number(in, line)));
        } else if (word == "atk") {
            d.atkMagic = static_cast<std::uint32_t>(number(in, line, 16));
            for (auto& v : d.atk) v = static_cast<std::uint32_t>(number(in, line));
        } else if (word == "record") {
            Record r{};
            r.slot = static_cast<std::uint32_t>(number(in, line));
            std::string damage;
            in >> damage;
            r.damage = damageWord(damage, line);
            for (float& v : r.values) {
                std::string token;
                if (!(in >> token)) fail(line, "a value is missing");
                char* end = nullptr;
                v = std::strtof(token.c_str(), &end);
                if (*end) fail(line, "not a value: " + token);
            }
            if (r.slot != d.records.size()) fail(line, "records must be listed by slot from 0");
            d.records.push_back(r);
        } else if (word == "oap") {
            d.oapMagic = static_cast<std::uint32_t>(number(in, line, 16));
            d.oap = static_cast<std::uint32_t>(number(in, line));
            d.oapData = static_cast<std::uint32_t>(number(in, line));
        } else if (word == "check") {
            std::string what;
            in >> what;
            d.checks.emplace_back(what, static_cast<std::uint64_t>(number(in, line)));
        } else {
            fail(line, "unknown line: " + word);
        }
    }
    return d;
}

// Magic numbers are written so that their hex text reads in file order.
void magic(Builder& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.u8(value >> shift & 0xFF);
}

std::vector<std::uint8_t> build(const Description& d) {
    Builder out;
    out.seed = d.seed;
    out.tag("COL");
    for (auto v : d.header) out.u32(v);
    out.u32(static_cast<std::uint32_t>(d.names.size()));
    for (const Name& n : d.names) {
        out.raw(std::vector<std::uint8_t>(n.text.begin(), n.text.end()));
        out.u8(0);
        out.u32(static_cast<std::uint32_t>(n.category));
        out.u32(static_cast<std::uint32_t>(n.slot));
        out.u32(static_cast<std::uint32_t>(n.flag));
        out.u8(0);
        out.u8(0);
        out.u8(0);
        out.u32(static_cast<std::uint32_t>(n.number));
    }
    out.tag("CLND");
    out.u32(d.clnd[0]);
    out.u32(static_cast<std::uint32_t>(d.groups.size()));
    out.u32(d.clnd[1]);
    for (std::size_t position = 0; position < d.groups.size(); ++position) {
        const std::uint32_t n = d.groups[position];
        out.u8(1);
        out.tag("CLGM");
        out.u32(98);
        out.u32(n);
        out.fill(38 + 72 * n - 14);
        out.u16(static_cast<std::uint32_t>(position));
    }
    magic(out, d.atkMagic);
    out.tag("ATK");
    out.u32(d.atk[0]);
    out.u32(static_cast<std::uint32_t>(d.records.size()));
    out.u32(d.atk[1]);
    const std::size_t table = out.bytes.size();
    for (const Record& r : d.records) {
        out.u32(r.slot);  // the id byte, then three zero bytes
        out.u32(r.damage);
        out.f32(r.values[0]);
        out.u32(0);
        for (int i = 1; i < 7; ++i) out.f32(r.values[i]);
        out.fill(217 - 40);
    }
    magic(out, d.oapMagic);
    out.tag("OAP");
    out.u32(d.oap);
    out.fill(d.oapData);

    for (const auto& [what, value] : d.checks) {
        const std::uint64_t actual = what == "table" ? table : what == "size" ? out.bytes.size() : ~0ull;
        if (actual != value) {
            throw std::runtime_error("check " + what + " " + std::to_string(value) + " failed: it is " +
                                     std::to_string(actual));
        }
    }
    return out.bytes;
}

}  // namespace

std::vector<std::uint8_t> buildCollisionFile(std::istream& description) { return build(parse(description)); }

std::vector<std::uint8_t> buildCollisionFile(const std::string& description) {
    std::istringstream in(description);
    return buildCollisionFile(in);
}
