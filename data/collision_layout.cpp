#include "collision_layout.h"

#include <cstring>

namespace helper {

namespace {

constexpr std::size_t headerSize = 20;
constexpr std::size_t nameFieldsSize = 19;  // after the name's zero byte
constexpr std::size_t smallestNameEntry = 1 + nameFieldsSize;
constexpr std::size_t clndSize = 16;
constexpr std::size_t clgmBaseSize = 38;
constexpr std::size_t clgmSizePerN = 72;
constexpr std::size_t smallestGroup = 1 + clgmBaseSize;
constexpr std::size_t atkHeadSize = 20;
constexpr std::size_t oapHeadSize = 12;
constexpr std::size_t oapWord = 4;

std::uint32_t u32At(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// Four tag bytes as text when they are printable ASCII padded with zero
// bytes ("ATK"), otherwise as hex ("F1 57 19 FF").
std::string tagText(const std::uint8_t* p) {
    std::size_t length = 4;
    while (length > 0 && p[length - 1] == 0) --length;
    bool printable = length > 0;
    for (std::size_t i = 0; i < length; ++i) printable &= p[i] >= 0x20 && p[i] < 0x7F;
    if (printable) return std::string(reinterpret_cast<const char*>(p), length);
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < 4; ++i) {
        if (i) text += ' ';
        text += hex[p[i] >> 4];
        text += hex[p[i] & 0xF];
    }
    return text;
}

std::string bytesText(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

class Walker {
public:
    Walker(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) { walk_.layout.fileSize = size; }

    LayoutWalk run() {
        header() && nameTable() && clnd() && groups() && atk() && oap();
        return std::move(walk_);
    }

private:
    CollisionLayout& layout() { return walk_.layout; }
    std::size_t left() const { return size_ - pos_; }

    bool fail(std::size_t at, std::string reason) {
        walk_.fault = LayoutFault{at, std::move(reason)};
        return false;
    }

    // `count` more bytes from the current position, or a fault there.
    bool need(std::size_t count, const std::string& what) {
        if (count <= left()) return true;
        return fail(pos_, "expected " + what + " (" + bytesText(count) + "), found the end of the file" +
                              (left() ? " after " + bytesText(left()) : ""));
    }

    bool tag(std::size_t at, const char* expected) {
        const std::uint8_t* p = data_ + at;
        char wanted[4] = {};
        std::memcpy(wanted, expected, std::strlen(expected));
        if (std::memcmp(p, wanted, 4) == 0) return true;
        return fail(at, std::string("expected the tag ") + expected + ", found " + tagText(p));
    }

    bool version(std::size_t at) {
        const std::uint32_t found = u32At(data_ + at);
        if (found == layoutVersion) return true;
        return fail(at, "expected the value " + std::to_string(layoutVersion) + ", found " + std::to_string(found));
    }

    // A count read at `at` whose items need `perItem` bytes each (at least,
    // when `atLeast`) plus `extra`, of the `available` bytes that follow.
    bool fits(std::size_t at, const std::string& what, std::uint32_t count, std::uint64_t perItem,
              std::uint64_t extra, bool atLeast, std::size_t available) {
        const std::uint64_t needed = std::uint64_t{count} * perItem + extra;
        if (needed <= available) return true;
        return fail(at, "the " + what + " " + std::to_string(count) + " does not fit: it needs " +
                            (atLeast ? "at least " : "") + bytesText(needed) + ", " + bytesText(available) +
                            " are left");
    }

    void addBlock(BlockKind kind, std::size_t offset, std::size_t size, std::size_t count) {
        layout().blocks.push_back({kind, offset, size, count});
    }

    bool header() {
        if (!need(headerSize, "the header")) return false;
        if (!tag(0, "COL") || !version(4)) return false;
        nameCount_ = u32At(data_ + 16);
        pos_ = headerSize;
        if (!fits(16, "name count", nameCount_, smallestNameEntry, 0, true, left())) return false;
        addBlock(BlockKind::header, 0, headerSize, nameCount_);
        return true;
    }

    bool nameTable() {
        const std::size_t start = pos_;
        layout().names.reserve(nameCount_);  // at most left() / 20 entries: checked above
        for (std::uint32_t i = 0; i < nameCount_; ++i) {
            const std::uint8_t* text = data_ + pos_;
            const void* end = std::memchr(text, 0, left());
            if (!end) return fail(pos_, "expected a name ending in a zero byte, found the end of the file");
            const std::size_t length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - text);
            NameEntry entry{pos_, std::string(reinterpret_cast<const char*>(text), length), 0, 0, 0, 0};
            pos_ += length + 1;
            if (!need(nameFieldsSize, "the rest of name entry " + std::to_string(i))) return false;
            const std::uint8_t* fields = data_ + pos_;
            entry.category = u32At(fields);
            entry.slot = static_cast<std::int32_t>(u32At(fields + 4));
            entry.flag = static_cast<std::int32_t>(u32At(fields + 8));
            entry.number = u32At(fields + 15);
            pos_ += nameFieldsSize;
            layout().names.push_back(std::move(entry));
        }
        addBlock(BlockKind::names, start, pos_ - start, nameCount_);
        return true;
    }

    bool clnd() {
        if (!need(clndSize, "the CLND block head")) return false;
        const std::size_t start = pos_;
        if (!tag(start, "CLND") || !version(start + 4)) return false;
        groupCount_ = u32At(data_ + start + 8);
        pos_ += clndSize;
        if (!fits(start + 8, "group count", groupCount_, smallestGroup, 0, true, left())) return false;
        addBlock(BlockKind::clnd, start, clndSize, groupCount_);
        return true;
    }

    bool groups() {
        for (std::uint32_t position = 0; position < groupCount_; ++position) {
            const std::size_t start = pos_;
            if (!need(1 + 12, "group " + std::to_string(position))) return false;
            if (!tag(start + 1, "CLGM") || !version(start + 5)) return false;
            const std::uint32_t n = u32At(data_ + start + 9);
            if (!fits(start + 9, "CLGM block's n", n, clgmSizePerN, 1 + clgmBaseSize, false, left())) return false;
            const std::size_t size = 1 + clgmBaseSize + clgmSizePerN * std::size_t{n};
            const std::size_t positionAt = start + size - 2;
            const std::uint32_t found = std::uint32_t{data_[positionAt]} | std::uint32_t{data_[positionAt + 1]} << 8;
            if (found != position) {
                return fail(positionAt, "expected the group position " + std::to_string(position) + ", found " +
                                            std::to_string(found));
            }
            pos_ += size;
            addBlock(BlockKind::clgm, start, size, n);
        }
        return true;
    }

    bool atk() {
        if (!need(atkHeadSize, "the ATK block head")) return false;
        const std::size_t start = pos_;
        if (!tag(start + 4, "ATK") || !version(start + 8)) return false;
        const std::uint32_t count = u32At(data_ + start + 12);
        if (count > maxRecords) {
            return fail(start + 12, "the record count " + std::to_string(count) + " is more than " +
                                        std::to_string(maxRecords) + " (record ids are one byte)");
        }
        pos_ += atkHeadSize;
        if (!fits(start + 12, "record count", count, recordSize, 0, false, left())) return false;
        layout().recordTable = pos_;
        layout().recordCount = count;
        const std::size_t size = atkHeadSize + recordSize * count;
        addBlock(BlockKind::atk, start, size, count);
        for (std::uint32_t slot = 0; slot < count; ++slot) {
            const std::size_t at = layout().recordOffset(static_cast<int>(slot));
            if (data_[at] != slot) {
                return fail(at, "expected the record id " + std::to_string(slot) + ", found " +
                                    std::to_string(data_[at]));
            }
            ++layout().recordsRead;
        }
        pos_ = start + size;
        return true;
    }

    bool oap() {
        if (!need(oapHeadSize, "the OAP block head")) return false;
        const std::size_t start = pos_;
        if (!tag(start + 4, "OAP") || !version(start + 8)) return false;
        const std::size_t data = left() - oapHeadSize;
        // The block has no length of its own: it runs to the end of the file
        // in whole words, so bytes beyond the last whole word are extra.
        if (data % oapWord != 0) {
            const std::size_t end = start + oapHeadSize + data - data % oapWord;
            return fail(end, "expected the end of the file, found " + bytesText(data % oapWord) +
                                 " more (the OAP block holds whole 4-byte words)");
        }
        addBlock(BlockKind::oap, start, oapHeadSize + data, data);
        pos_ = size_;
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::uint32_t nameCount_ = 0;
    std::uint32_t groupCount_ = 0;
    LayoutWalk walk_;
};

}  // namespace

const NameEntry* CollisionLayout::nameOfSlot(int slot) const {
    for (const NameEntry& entry : names) {
        if (entry.slot == slot) return &entry;
    }
    return nullptr;
}

std::string LayoutWalk::faultText() const {
    if (!fault) return "";
    return "at " + std::to_string(fault->offset) + ": " + fault->reason;
}

LayoutWalk walkCollisionFile(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t none = 0;  // so that an empty buffer may be null
    return Walker(data ? data : &none, data ? size : 0).run();
}

const char* blockTag(BlockKind kind) {
    switch (kind) {
        case BlockKind::header: return "COL";
        case BlockKind::names: return "names";
        case BlockKind::clnd: return "CLND";
        case BlockKind::clgm: return "CLGM";
        case BlockKind::atk: return "ATK";
        case BlockKind::oap: return "OAP";
    }
    return "";
}

}  // namespace helper
