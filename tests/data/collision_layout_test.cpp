#include "collision_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "display_text.h"
#include "fixtures.h"
#include "generated_family.h"

namespace {

using helper::BlockKind;
using helper::CollisionLayout;
using helper::LayoutWalk;
using testing_support::Bytes;
using testing_support::templateBytes;

LayoutWalk walk(const Bytes& bytes) { return helper::walkCollisionFile(bytes.data(), bytes.size()); }

void setU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes cut(const Bytes& bytes, std::size_t size) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

// The blocks lie in file order, each where the previous one ends, inside the
// file; without a fault they cover it exactly.
void expectBlocksTile(const LayoutWalk& result, std::size_t size) {
    std::size_t end = 0;
    for (const helper::LayoutBlock& block : result.layout.blocks) {
        EXPECT_EQ(block.offset, end);
        end = block.offset + block.size;
        EXPECT_LE(end, size);
    }
    if (result.ok()) {
        EXPECT_EQ(end, size);
    }
}

TEST(CollisionLayout, BothTemplatesWalkToTheirKnownOffsets) {
    struct Expected {
        std::size_t size, names, groups, atkTag, table, records, oapData;
        const char* firstName;
    };
    const Expected expected[2] = {{18047, 67, 5, 3669, 3685, 66, 28, "縦斬り"},
                                  {1339, 4, 2, 423, 439, 4, 20, "大剣キック"}};
    for (int fileIndex : {0, 1}) {
        const Expected& e = expected[fileIndex];
        const Bytes bytes = templateBytes(fileIndex);
        const LayoutWalk result = walk(bytes);
        ASSERT_TRUE(result.ok()) << result.faultText();
        const CollisionLayout& layout = result.layout;
        EXPECT_EQ(layout.fileSize, e.size);
        expectBlocksTile(result, e.size);

        const auto& blocks = layout.blocks;
        ASSERT_EQ(blocks.size(), 5 + e.groups);
        EXPECT_EQ(blocks[0].kind, BlockKind::header);
        EXPECT_EQ(blocks[0].count, e.names);
        EXPECT_EQ(blocks[2].kind, BlockKind::clnd);
        EXPECT_EQ(blocks[2].count, e.groups);
        const helper::LayoutBlock& atk = blocks[blocks.size() - 2];
        EXPECT_EQ(atk.kind, BlockKind::atk);
        EXPECT_EQ(atk.offset + 4, e.atkTag);
        EXPECT_EQ(atk.count, e.records);
        EXPECT_EQ(blocks.back().kind, BlockKind::oap);
        EXPECT_EQ(blocks.back().count, e.oapData);

        EXPECT_EQ(layout.recordTable, e.table);
        EXPECT_EQ(layout.recordCount, e.records);
        EXPECT_EQ(layout.recordsRead, e.records);
        EXPECT_EQ(bytes[layout.recordOffset(static_cast<int>(e.records))], 241);  // the OAP block's first byte

        ASSERT_EQ(layout.names.size(), e.names);
        EXPECT_EQ(layout.names[0].offset, 20u);
        ASSERT_NE(layout.nameOfSlot(0), nullptr);
        EXPECT_EQ(layout.nameOfSlot(0)->text, e.firstName);
    }
    // The name table's empty entries belong to no record.
    const LayoutWalk wp00 = walk(templateBytes(0));
    EXPECT_EQ(wp00.layout.names[7].text, "");
    EXPECT_EQ(wp00.layout.names[7].slot, -1);
    EXPECT_EQ(wp00.layout.names[7].category, 0xFFFFFFFFu);
    EXPECT_EQ(wp00.layout.nameOfSlot(7), nullptr);
    EXPECT_EQ(wp00.layout.nameOfSlot(10)->text, "強溜め斬りLv3");
}

TEST(CollisionLayout, DamagedCopiesAreRefusedAtTheOffsetOfTheFault) {
    struct Case {
        const char* what;
        int fileIndex;
        std::function<void(Bytes&)> damage;
        std::size_t offset;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", 0, [](Bytes& b) { b.clear(); }, 0,
         "expected the header (20 bytes), found the end of the file"},
        {"cut in the header", 0, [](Bytes& b) { b = cut(b, 10); }, 0,
         "expected the header (20 bytes), found the end of the file after 10 bytes"},
        {"file tag", 0, [](Bytes& b) { b[0] = 'X'; }, 0, "expected the tag COL, found XOL"},
        {"another version", 0, [](Bytes& b) { setU32(b, 4, 99); }, 4, "expected the value 98, found 99"},
        {"name count too large", 0, [](Bytes& b) { setU32(b, 16, 0xFFFFFFFF); }, 16,
         "the name count 4294967295 does not fit: it needs at least 85899345900 bytes, 18027 bytes are left"},
        {"cut before the names", 0, [](Bytes& b) { b = cut(b, 100); }, 16,
         "the name count 67 does not fit: it needs at least 1340 bytes, 80 bytes are left"},
        {"cut in a name", 0, [](Bytes& b) { b = cut(b, 2140); }, 2130,  // entry 56
         "expected a name ending in a zero byte, found the end of the file"},
        {"cut after a name", 0, [](Bytes& b) { b = cut(b, 2160); }, 2155,
         "expected the rest of name entry 56 (19 bytes), found the end of the file after 5 bytes"},
        {"one name too many", 0, [](Bytes& b) { setU32(b, 16, 68); }, 2518 + 25,  // "CLNDb" read as a name
         "expected the tag CLND, found"},
        {"CLND tag", 0, [](Bytes& b) { b[2518] = 'K'; }, 2518, "expected the tag CLND, found KLND"},
        {"CLND version", 0, [](Bytes& b) { setU32(b, 2522, 0); }, 2522, "expected the value 98, found 0"},
        {"group count too large", 0, [](Bytes& b) { setU32(b, 2526, 1000); }, 2526,
         "the group count 1000 does not fit: it needs at least 39000 bytes, 15513 bytes are left"},
        {"CLGM tag", 0, [](Bytes& b) { b[3045] = 0; }, 3045, "expected the tag CLGM, found 00 4C 47 4D"},
        {"CLGM n too large", 0, [](Bytes& b) { setU32(b, 2543, 1000000); }, 2543,
         "the CLGM block's n 1000000 does not fit: it needs 72000039 bytes, 15513 bytes are left"},
        {"CLGM n changed", 1, [](Bytes& b) { setU32(b, 197 + 9, 0); }, 197 + 37,
         "expected the group position 0, found"},
        {"group position", 0, [](Bytes& b) { b[2789 + 253] = 7; }, 2789 + 253,
         "expected the group position 1, found 7"},
        {"cut in a group", 0, [](Bytes& b) { b = cut(b, 3100); }, 3053,
         "the CLGM block's n 1 does not fit: it needs 111 bytes, 56 bytes are left"},
        {"ATK tag", 0, [](Bytes& b) { b[3671] = 'L'; }, 3669, "expected the tag ATK, found ATL"},
        {"ATK tag, second file", 1, [](Bytes& b) { b[423] = 'a'; }, 423, "expected the tag ATK, found aTK"},
        {"record count too large", 0, [](Bytes& b) { setU32(b, 3677, 67); }, 3677,
         "the record count 67 does not fit: it needs 14539 bytes, 14362 bytes are left"},
        {"record count beyond one-byte ids", 0, [](Bytes& b) { setU32(b, 3677, 300); }, 3677,
         "the record count 300 is more than 256 (record ids are one byte)"},
        {"record count too small", 0, [](Bytes& b) { setU32(b, 3677, 65); }, 3685 + 65 * 217 + 4,
         "expected the tag OAP, found"},
        {"an id that does not match", 0, [](Bytes& b) { b[3685 + 30 * 217] = 31; }, 3685 + 30 * 217,
         "expected the record id 30, found 31"},
        {"cut in the record table (9,000 bytes)", 0, [](Bytes& b) { b = cut(b, 9000); }, 3677,
         "the record count 66 does not fit: it needs 14322 bytes, 5315 bytes are left"},
        {"cut in the OAP head", 0, [](Bytes& b) { b = cut(b, 18010); }, 18007,
         "expected the OAP block head (12 bytes), found the end of the file after 3 bytes"},
        {"OAP tag", 1, [](Bytes& b) { b[1311] = 'Q'; }, 1311, "expected the tag OAP, found QAP"},
        {"OAP version", 0, [](Bytes& b) { setU32(b, 18015, 97); }, 18015, "expected the value 98, found 97"},
        {"cut in the OAP data", 0, [](Bytes& b) { b.pop_back(); }, 18043,
         "expected the end of the file, found 3 bytes more (the OAP block holds whole 4-byte words)"},
        {"one byte more", 0, [](Bytes& b) { b.push_back(0); }, 18047,
         "expected the end of the file, found 1 byte more"},
        {"three bytes more", 1, [](Bytes& b) { b.insert(b.end(), {1, 2, 3}); }, 1339,
         "expected the end of the file, found 3 bytes more"},
    };
    for (const Case& c : cases) {
        Bytes bytes = templateBytes(c.fileIndex);
        c.damage(bytes);
        const LayoutWalk result = walk(bytes);
        ASSERT_FALSE(result.ok()) << c.what;
        EXPECT_EQ(result.fault->offset, c.offset) << c.what << ": " << result.faultText();
        EXPECT_EQ(result.fault->reason.rfind(c.reason, 0), 0u) << c.what << ": " << result.faultText();
        EXPECT_EQ(result.faultText().rfind("at " + std::to_string(c.offset) + ": ", 0), 0u) << c.what;
        expectBlocksTile(result, bytes.size());
    }
}

TEST(CollisionLayout, AWalkThatStopsKeepsWhatItRead) {
    Bytes bytes = templateBytes(0);
    bytes[3685 + 30 * 217] = 0;  // slot 30's id
    const LayoutWalk result = walk(bytes);
    ASSERT_FALSE(result.ok());
    const CollisionLayout& layout = result.layout;
    EXPECT_EQ(layout.names.size(), 67u);
    ASSERT_EQ(layout.blocks.size(), 9u);  // header, names, CLND, 5 groups, ATK
    EXPECT_EQ(layout.blocks.back().kind, BlockKind::atk);
    EXPECT_EQ(layout.recordTable, 3685u);
    EXPECT_EQ(layout.recordsRead, 30u);

    bytes = templateBytes(0);
    bytes[3671] = 'L';
    const LayoutWalk atk = walk(bytes);
    EXPECT_EQ(atk.layout.blocks.size(), 8u);  // up to the last group
    EXPECT_EQ(atk.layout.recordsRead, 0u);
}

TEST(CollisionLayout, AFileOfAnyShapeFollowsTheLayout) {
    // Groups with n = 0, a record table elsewhere, names that share a slot.
    const Bytes bytes = testing_support::generatedFile(0);
    const LayoutWalk result = walk(bytes);
    ASSERT_TRUE(result.ok()) << result.faultText();
    EXPECT_EQ(result.layout.recordCount, 6u);
    EXPECT_NE(result.layout.recordTable, 3685u);
    EXPECT_EQ(result.layout.nameOfSlot(3)->text, "気刃斬り1");  // the first of two entries
    EXPECT_EQ(result.layout.nameOfSlot(4), nullptr);
    expectBlocksTile(result, bytes.size());
}

// What a fuzzer would check, on every cut of the templates and on copies with
// random bytes changed: the walk stays inside the buffer, keeps its block
// invariants and tells a whole file from a damaged one.
TEST(CollisionLayout, NoCutOrDamageBreaksTheWalk) {
    for (int fileIndex : {0, 1}) {
        const Bytes full = templateBytes(fileIndex);
        // The OAP block has no length of its own: a cut inside its data at a
        // whole word leaves a file that follows the layout.
        const std::size_t oapData = walk(full).layout.blocks.back().offset + 12;
        for (std::size_t size = 0; size < full.size(); ++size) {
            const Bytes part = cut(full, size);  // a buffer of its own, so that reading past it shows
            const LayoutWalk result = walk(part);
            ASSERT_EQ(result.ok(), size >= oapData && (size - oapData) % 4 == 0) << "cut at " << size;
            if (!result.ok()) {
                ASSERT_LE(result.fault->offset, size);
            }
            expectBlocksTile(result, size);
        }
    }
    std::mt19937 random(20240611);
    const Bytes full = templateBytes(1);
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = full;
        for (int changes = 1 + round % 4; changes > 0; --changes) {
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        }
        const LayoutWalk result = walk(bytes);
        if (result.ok()) {
            ASSERT_LE(result.layout.recordTable + 217 * result.layout.recordCount, bytes.size());
            for (std::uint32_t slot = 0; slot < result.layout.recordCount; ++slot) {
                ASSERT_EQ(bytes[result.layout.recordOffset(static_cast<int>(slot))], slot);
            }
        } else {
            ASSERT_LE(result.fault->offset, bytes.size());
        }
        expectBlocksTile(result, bytes.size());
    }
    EXPECT_FALSE(helper::walkCollisionFile(nullptr, 0).ok());
}

TEST(DisplayText, MakesAnyBytesValidTextOnOneLine) {
    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"縦斬り", "縦斬り"},
        {"Lv1 ok", "Lv1 ok"},
        {"\xFF", replacement},
        {"a\nb\tc", "a" + replacement + "b" + replacement + "c"},
        {"\xC0\x80", replacement + replacement},          // overlong
        {"\xED\xA0\x80", replacement + replacement + replacement},  // a surrogate
        {"\xE6\x96", replacement + replacement},          // cut short
        {"\xC2\x85", replacement},                        // a C1 control
    };
    for (const auto& c : cases) EXPECT_EQ(helper::displayText(c.bytes), c.text) << c.bytes;
}

}  // namespace
