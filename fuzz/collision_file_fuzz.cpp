// The collision-file layout walk and the record reader after it, on any bytes.
//
// The walk reads nothing outside its buffer (the address checks see to that)
// and throws nothing; it reports blocks in file order, the first at 0, each
// starting where the one before ends, inside the buffer; name entries and the
// records it read lie inside the buffer, each record carrying its slot number;
// a fault lies at an offset within the buffer. Without a fault the blocks are
// header, names, CLND, its groups, ATK and OAP, they cover the buffer exactly,
// and the record table (record count * 217 bytes) fills the ATK block after
// its head.
//
// On a file walked without fault, the record reader gives exactly one row per
// record of the table whose damage byte is 1, 2 or 3, in slot order, with
// that byte and the display texts of the record's seven floats, named from
// the catalogue or else from the file's name table, as valid UTF-8 without
// control characters.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "catalogue.h"
#include "collision_layout.h"
#include "format_float.h"
#include "fuzz_support.h"
#include "records.h"
#include "text_decoding.h"

namespace {

using helper::BlockKind;

std::string at(std::size_t offset) { return "at " + std::to_string(offset); }

float floatAt(const std::uint8_t* bytes) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= std::uint32_t{bytes[i]} << (8 * i);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The kinds the blocks of a whole file have, in order.
std::vector<BlockKind> wholeFileKinds(std::size_t groups) {
    std::vector<BlockKind> kinds{BlockKind::header, BlockKind::names, BlockKind::clnd};
    kinds.insert(kinds.end(), groups, BlockKind::clgm);
    kinds.push_back(BlockKind::atk);
    kinds.push_back(BlockKind::oap);
    return kinds;
}

const helper::LayoutBlock* blockOf(const helper::CollisionLayout& layout, BlockKind kind) {
    for (const helper::LayoutBlock& block : layout.blocks) {
        if (block.kind == kind) return &block;
    }
    return nullptr;
}

void checkWalk(const fuzz::ExactCopy& file, const helper::LayoutWalk& walk) {
    const helper::CollisionLayout& layout = walk.layout;
    const std::size_t size = file.size();
    fuzz::require(layout.fileSize == size, "the layout gives the size of its buffer");

    std::size_t end = 0;
    for (const helper::LayoutBlock& block : layout.blocks) {
        if (block.offset != end) fuzz::fail("each block starts where the one before ends", at(block.offset));
        if (block.size > size - block.offset) fuzz::fail("a block lies inside the buffer", at(block.offset));
        end = block.offset + block.size;
    }
    const std::size_t groups = blockOf(layout, BlockKind::clnd) ? blockOf(layout, BlockKind::clnd)->count : 0;
    const std::vector<BlockKind> kinds = wholeFileKinds(groups);
    fuzz::require(layout.blocks.size() <= kinds.size(), "no more blocks than the layout has");
    for (std::size_t i = 0; i < layout.blocks.size(); ++i) {
        if (layout.blocks[i].kind != kinds[i]) {
            fuzz::fail("the blocks come in the layout's order", at(layout.blocks[i].offset));
        }
    }
    if (const helper::LayoutBlock* names = blockOf(layout, BlockKind::names)) {
        fuzz::require(layout.names.size() == names->count && names->count == layout.blocks[0].count,
                      "the name table holds the header's name count of entries");
    }

    for (const helper::NameEntry& entry : layout.names) {
        if (entry.offset > size || entry.text.size() + 20 > size - entry.offset) {
            fuzz::fail("a name entry lies inside the buffer", at(entry.offset));
        }
        const char* stored = reinterpret_cast<const char*>(file.data() + entry.offset);
        if (std::string_view(stored, entry.text.size()) != entry.text || stored[entry.text.size()] != '\0') {
            fuzz::fail("a name is the text before its zero byte", at(entry.offset));
        }
    }

    fuzz::require(layout.recordsRead <= layout.recordCount && layout.recordCount <= helper::maxRecords,
                  "no more records read than counted, and at most 256");
    for (std::uint32_t slot = 0; slot < layout.recordsRead; ++slot) {
        const std::size_t offset = layout.recordOffset(static_cast<int>(slot));
        if (offset > size || helper::recordSize > size - offset) {
            fuzz::fail("a record read lies inside the buffer", at(offset));
        }
        if (file.data()[offset] != slot) fuzz::fail("a record read carries its slot number", at(offset));
    }

    if (walk.fault) {
        fuzz::require(walk.fault->offset <= size, "a fault lies at an offset within the buffer");
        fuzz::require(!walk.fault->reason.empty(), "a fault gives its reason");
        fuzz::require(walk.faultText() == at(walk.fault->offset) + ": " + walk.fault->reason,
                      "the fault's text names its offset and reason");
        return;
    }
    fuzz::require(walk.faultText().empty(), "a walk without fault has no fault text");
    fuzz::require(layout.blocks.size() == kinds.size(), "a whole file has every block of the layout");
    fuzz::require(end == size, "the blocks of a whole file cover it exactly");
    fuzz::require(layout.recordsRead == layout.recordCount, "every record of a whole file is read");
    const helper::LayoutBlock& atk = *blockOf(layout, BlockKind::atk);
    fuzz::require(atk.count == layout.recordCount && layout.recordTable == atk.offset + 20 &&
                      layout.recordTable + helper::recordSize * layout.recordCount == atk.offset + atk.size,
                  "the record table fills the ATK block after its head");
}

bool isDisplayable(const std::string& text) {
    if (cli::firstInvalidUtf8Line(text) != 0) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) return false;
        // U+0080 to U+009F: C2 80 to C2 9F
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return false;
    }
    return true;
}

void checkRows(const fuzz::ExactCopy& file, const helper::CollisionLayout& layout, int fileIndex,
               const helper::ActionNameTable* names) {
    std::vector<helper::ActionRow> rows(1);
    rows[0].weaponType = "earlier row";
    helper::appendActionRows(file.data(), layout, "00", fileIndex, names, rows);
    fuzz::require(rows[0].weaponType == "earlier row", "the reader adds to the rows it is given");

    std::size_t next = 1;
    for (std::uint32_t slotNumber = 0; slotNumber < layout.recordCount; ++slotNumber) {
        const int slot = static_cast<int>(slotNumber);
        const std::uint8_t* record = file.data() + layout.recordOffset(slot);
        const int damage = record[helper::damageTypeOffset];
        if (damage < 1 || damage > 3) continue;

        if (next == rows.size()) fuzz::fail("a row for each editable record", "none for slot " + std::to_string(slot));
        const helper::ActionRow& row = rows[next++];
        if (row.actIndex != slot) {
            fuzz::fail("a row for each editable record, in slot order",
                       "slot " + std::to_string(row.actIndex) + " where " + std::to_string(slot) + " is due");
        }
        fuzz::require(row.weaponType == "00" && row.fileIndex == fileIndex, "a row names its family and file");
        fuzz::require(row.damageType == damage, "a row holds its record's damage byte");
        for (std::size_t field = 0; field < helper::valueOffsets.size(); ++field) {
            const std::string expected = helper::formatFloat(floatAt(record + helper::valueOffsets[field]));
            if (row.*helper::valueMembers<helper::ActionRow>[field] != expected) {
                fuzz::fail("a row holds the display texts of its record's floats",
                           "slot " + std::to_string(slot) + ", value " + std::to_string(field) + ": " +
                               row.*helper::valueMembers<helper::ActionRow>[field] + " for " + expected);
            }
        }
        if (names) {
            const auto name = helper::actionName(*names, helper::actionKey(fileIndex, slot));
            fuzz::require(row.actName == (name ? std::optional<std::string>(*name) : std::nullopt),
                          "a row holds the catalogue's name of its action key");
            continue;
        }
        const helper::NameEntry* entry = layout.nameOfSlot(slot);
        if (!entry || entry->text.empty()) {
            fuzz::require(!row.actName, "a record without a name in the file has none");
            continue;
        }
        if (!row.actName || !isDisplayable(*row.actName)) {
            fuzz::fail("a name from the file is valid UTF-8 without control characters",
                       fuzz::visible(row.actName.value_or("(none)")));
        }
        if (isDisplayable(entry->text) && *row.actName != entry->text) {
            fuzz::fail("a name from the file that shows as it is stays as it is", fuzz::visible(entry->text));
        }
    }
    if (next != rows.size()) {
        fuzz::fail("no row but for an editable record of the table", std::to_string(rows.size() - next) + " more");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ExactCopy file(data, size);
    const helper::LayoutWalk walk = helper::walkCollisionFile(file.data(), file.size());
    checkWalk(file, walk);
    if (!walk.ok()) return 0;
    checkRows(file, walk.layout, 0, helper::findActionNames("00"));
    checkRows(file, walk.layout, 1, helper::findActionNames("00"));
    checkRows(file, walk.layout, 0, nullptr);  // named from the file's name table
    return 0;
}
