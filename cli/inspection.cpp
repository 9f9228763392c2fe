#include "inspection.h"

#include <vector>

#include "display_text.h"
#include "json.h"
#include "records.h"
#include "text_table.h"

namespace cli {

namespace {

using helper::BlockKind;
using helper::CollisionLayout;
using helper::LayoutBlock;

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string countsText(const LayoutBlock& block, std::size_t position, const CollisionLayout& layout) {
    switch (block.kind) {
        case BlockKind::header: return plural(block.count, "name", "names");
        case BlockKind::names: return plural(block.count, "entry", "entries");
        case BlockKind::clnd: return plural(block.count, "group", "groups");
        case BlockKind::clgm: return "group " + std::to_string(position) + ", n " + std::to_string(block.count);
        case BlockKind::atk:
            return plural(block.count, "record", "records") + " from " + std::to_string(layout.recordTable);
        case BlockKind::oap: return plural(block.count, "byte", "bytes") + " of data";
    }
    return "";
}

// Categories of empty entries have all bits set; shown as -1, as slots are.
std::string categoryText(std::uint32_t category) { return std::to_string(static_cast<std::int32_t>(category)); }

// The file's own name of a record, for display; empty when it has none.
std::string recordName(const CollisionLayout& layout, int slot) {
    const helper::NameEntry* entry = layout.nameOfSlot(slot);
    return entry ? helper::displayText(entry->text) : "";
}

std::vector<Align> rightAligned(std::size_t columns) { return std::vector<Align>(columns, Align::right); }

}  // namespace

std::string inspectionTable(std::string_view file, const helper::LayoutWalk& walk, const std::uint8_t* data) {
    const CollisionLayout& layout = walk.layout;
    std::string out = std::string(file) + ": " + plural(layout.fileSize, "byte", "bytes") +
                      (walk.ok() ? ", a collision file\n" : "\n");

    std::vector<std::vector<std::string>> blocks{{"offset", "size", "block", "counts"}};
    std::size_t groups = 0;
    for (const LayoutBlock& block : layout.blocks) {
        const std::size_t position = block.kind == BlockKind::clgm ? groups++ : 0;
        blocks.push_back({std::to_string(block.offset), std::to_string(block.size), helper::blockTag(block.kind),
                          countsText(block, position, layout)});
    }
    std::vector<Align> blockAlign{Align::right, Align::right, Align::left, Align::left};
    out += "\n" + layoutColumns(blocks, blockAlign);
    if (!walk.ok()) out += walk.faultText() + "\n";

    if (!layout.names.empty()) {
        std::vector<std::vector<std::string>> names{{"entry", "offset", "category", "slot", "flag", "number", "name"}};
        for (std::size_t i = 0; i < layout.names.size(); ++i) {
            const helper::NameEntry& entry = layout.names[i];
            names.push_back({std::to_string(i), std::to_string(entry.offset), categoryText(entry.category),
                             std::to_string(entry.slot), std::to_string(entry.flag), std::to_string(entry.number),
                             helper::displayText(entry.text)});
        }
        std::vector<Align> align = rightAligned(6);
        align.push_back(Align::left);
        out += "\n" + layoutColumns(names, align);
    }

    if (layout.recordsRead > 0) {
        std::vector<std::vector<std::string>> records{{"slot", "offset", "damage", "name"}};
        for (std::uint32_t slot = 0; slot < layout.recordsRead; ++slot) {
            const int n = static_cast<int>(slot);
            const std::size_t offset = layout.recordOffset(n);
            records.push_back({std::to_string(slot), std::to_string(offset),
                               std::to_string(data[offset + helper::damageTypeOffset]), recordName(layout, n)});
        }
        std::vector<Align> align = rightAligned(3);
        align.push_back(Align::left);
        out += "\n" + layoutColumns(records, align);
    }
    return out;
}

std::string inspectionJson(std::string_view file, const helper::LayoutWalk& walk, const std::uint8_t* data) {
    using helper::jsonString;
    const CollisionLayout& layout = walk.layout;
    const auto number = [](std::size_t value) { return std::to_string(value); };
    const auto array = [](const std::vector<std::string>& items) {
        std::string out = "[";
        for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ",\n" : "\n") + items[i];
        return out + (items.empty() ? "]" : "\n]");
    };

    std::vector<std::string> blocks;
    std::size_t groups = 0;
    for (const LayoutBlock& block : layout.blocks) {
        std::string item = "{\"offset\":" + number(block.offset) + ",\"size\":" + number(block.size) +
                           ",\"block\":" + jsonString(helper::blockTag(block.kind));
        switch (block.kind) {
            case BlockKind::header: item += ",\"names\":" + number(block.count); break;
            case BlockKind::names: item += ",\"entries\":" + number(block.count); break;
            case BlockKind::clnd: item += ",\"groups\":" + number(block.count); break;
            case BlockKind::clgm: item += ",\"position\":" + number(groups++) + ",\"n\":" + number(block.count); break;
            case BlockKind::atk:
                item += ",\"records\":" + number(block.count) + ",\"table\":" + number(layout.recordTable);
                break;
            case BlockKind::oap: item += ",\"data\":" + number(block.count); break;
        }
        blocks.push_back(item + "}");
    }

    std::vector<std::string> names;
    for (const helper::NameEntry& entry : layout.names) {
        names.push_back("{\"offset\":" + number(entry.offset) +
                        ",\"name\":" + jsonString(helper::displayText(entry.text)) + ",\"category\":" + categoryText(entry.category) + ",\"slot\":" + std::to_string(entry.slot) +
                        ",\"flag\":" + std::to_string(entry.flag) + ",\"number\":" + std::to_string(entry.number) +
                        "}");
    }

    std::vector<std::string> records;
    for (std::uint32_t slot = 0; slot < layout.recordsRead; ++slot) {
        const int n = static_cast<int>(slot);
        const std::size_t offset = layout.recordOffset(n);
        const helper::NameEntry* entry = layout.nameOfSlot(n);
        records.push_back("{\"slot\":" + number(slot) + ",\"offset\":" + number(offset) +
                          ",\"damage\":" + number(data[offset + helper::damageTypeOffset]) + ",\"name\":" +
                          (entry ? jsonString(helper::displayText(entry->text)) : std::string("null")) + "}");
    }

    std::string out = "{\"file\":" + jsonString(helper::displayText(file)) + ",\n";
    out += "\"size\":" + number(layout.fileSize) + ",\n";
    out += "\"blocks\":" + array(blocks) + ",\n";
    out += "\"names\":" + array(names) + ",\n";
    out += "\"records\":" + array(records) + ",\n";
    out += "\"fault\":";
    out += walk.fault ? "{\"offset\":" + number(walk.fault->offset) +
                            ",\"reason\":" + jsonString(walk.fault->reason) + "}"
                      : std::string("null");
    return out + "}\n";
}

}  // namespace cli
