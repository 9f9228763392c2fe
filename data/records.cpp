#include "records.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "collision_check.h"
#include "display_text.h"
#include "file_io.h"
#include "float32.h"
#include "format_float.h"

namespace helper {

namespace {

constexpr std::size_t damageOffset = damageTypeOffset;
constexpr std::size_t usedBytes = usedRecordBytes;

constexpr std::size_t valueOffset(std::size_t field) { return valueOffsets[field]; }

ActionRow rowFrom(const std::uint8_t* record, std::string_view weaponType, int fileIndex, int slot,
                  std::optional<std::string> name) {
    ActionRow row = action();
    row.weaponType = std::string(weaponType);
    row.fileIndex = fileIndex;
    row.actIndex = slot;
    row.actName = std::move(name);
    row.damageType = record[damageOffset];
    for (std::size_t field = 0; field < valueMembers<ActionRow>.size(); ++field) {
        row.*valueMembers<ActionRow>[field] = formatFloat(loadFloat32(record + valueOffset(field)));
    }
    return row;
}

// The catalogue's name of a record when the family has a name table there,
// otherwise the file's own name for the record's slot.
std::optional<std::string> nameOf(const CollisionLayout& layout, int fileIndex, int slot,
                                  const ActionNameTable* names) {
    if (names) {
        if (auto name = actionName(*names, actionKey(fileIndex, slot))) return std::string(*name);
        return std::nullopt;
    }
    const NameEntry* entry = layout.nameOfSlot(slot);
    if (!entry || entry->text.empty()) return std::nullopt;
    return displayText(entry->text);
}

std::optional<std::uint32_t> tableOffsetOf(const TableOffsets* offsets, int fileIndex) {
    if (!offsets) return std::nullopt;
    return (*offsets)[static_cast<std::size_t>(fileIndex)];
}

float storedValue(double value, const ExportRow& row) {
    if (!nearestFloatIsFinite(value)) {
        throw std::invalid_argument("writeFile: a value of slot " + std::to_string(row.actIndex) +
                                    " is not a finite 32-bit float");
    }
    return static_cast<float>(value);
}

std::uint8_t damageByte(const ExportRow& row) {
    for (const auto& type : damageTypes) {
        if (type.code == row.damageType) return static_cast<std::uint8_t>(std::stoi(std::string(type.code)));
    }
    throw std::invalid_argument("writeFile: slot " + std::to_string(row.actIndex) +
                                " has no damage type code (\"" + row.damageType + "\")");
}

void checkPreconditions(const std::vector<ExportRow>& actions) {
    if (actions.empty()) throw std::invalid_argument("writeFile: no rows to write");
    if (actions.front().fileIndex != 0) throw std::invalid_argument("writeFile: the first row must be of file 0");
    int previousFile = 0;
    for (const ExportRow& row : actions) {
        if (row.weaponType != actions.front().weaponType) {
            throw std::invalid_argument("writeFile: rows of two families (" + actions.front().weaponType + ", " +
                                        row.weaponType + ")");
        }
        if (row.fileIndex != 0 && row.fileIndex != 1) throw std::invalid_argument("writeFile: file index must be 0 or 1");
        if (row.fileIndex < previousFile) throw std::invalid_argument("writeFile: a row of file 0 after rows of file 1");
        if (row.actIndex < 0 || row.actIndex >= static_cast<int>(maxRecords)) {
            throw std::invalid_argument("writeFile: slot " + std::to_string(row.actIndex) + " out of range");
        }
        previousFile = row.fileIndex;
    }
}

// Patches the rows of one file, [first, last), into its staged copy: the file
// is read whole once and walked, the records are patched in memory, and the
// span from the first to the last record written goes back with one write.
// Between the 29 bytes of each row the span is written back exactly as it was
// read. Returns the file's whole content as it is afterwards.
std::vector<std::uint8_t> writeRecords(const Folders& folders, std::string_view weaponType, int fileIndex,
                                       std::vector<ExportRow>::const_iterator first,
                                       std::vector<ExportRow>::const_iterator last,
                                       std::optional<std::uint32_t> tableOffset) {
    UpdateFile file = UpdateFile::open(stagedFile(folders, weaponType, fileIndex));
    std::vector<std::uint8_t> content(static_cast<std::size_t>(file.size()));
    content.resize(file.readAt(0, content.data(), content.size()));
    const CollisionLayout layout = checkedLayout(content.data(), content.size(), file.path(), tableOffset);
    if (first != last) {
        const auto [low, high] = std::minmax_element(
            first, last, [](const ExportRow& a, const ExportRow& b) { return a.actIndex < b.actIndex; });
        if (static_cast<std::uint32_t>(high->actIndex) >= layout.recordCount) {
            // A record the table does not hold: writing there would change other blocks.
            throw FileError("cannot write", file.path(),
                            "slot " + std::to_string(high->actIndex) + " is not in its record table of " +
                                std::to_string(layout.recordCount) + " records");
        }
        const std::size_t spanStart = layout.recordOffset(low->actIndex);
        const std::size_t spanEnd = layout.recordOffset(high->actIndex) + usedBytes;
        for (auto row = first; row != last; ++row) {
            writeActionRecord(content.data() + layout.recordOffset(row->actIndex), *row);
        }
        file.writeAt(spanStart, content.data() + spanStart, spanEnd - spanStart);
    }
    file.close();
    return content;
}

}  // namespace

void appendActionRows(const std::uint8_t* file, const CollisionLayout& layout, std::string_view weaponType,
                      int fileIndex, const ActionNameTable* names, std::vector<ActionRow>& rows) {
    for (std::uint32_t slot = 0; slot < layout.recordCount; ++slot) {
        const std::uint8_t* record = file + layout.recordOffset(static_cast<int>(slot));
        if (!damageTypeName(record[damageOffset])) continue;  // not an editable action
        const int n = static_cast<int>(slot);
        rows.push_back(rowFrom(record, weaponType, fileIndex, n, nameOf(layout, fileIndex, n, names)));
    }
}

void writeActionRecord(std::uint8_t* record, const ExportRow& row) {
    const std::uint8_t damage = damageByte(row);
    float values[valueMembers<ExportRow>.size()];
    for (std::size_t field = 0; field < valueMembers<ExportRow>.size(); ++field) {
        values[field] = storedValue(row.*valueMembers<ExportRow>[field], row);
    }
    record[damageOffset] = damage;
    for (std::size_t field = 0; field < valueMembers<ExportRow>.size(); ++field) {
        storeFloat32(record + valueOffset(field), values[field]);
    }
}

std::vector<ActionRow> loadRes(std::string_view weaponType, const TableOffsets* offsets,
                               const ActionNameTable* names, const Folders& folders) {
    std::vector<ActionRow> rows;
    rows.reserve(64);
    for (int fileIndex = 0; fileIndex < 2; ++fileIndex) {
        const std::filesystem::path path = stagedFile(folders, weaponType, fileIndex);
        const std::vector<std::uint8_t> bytes = readWholeFile(path);
        const CollisionLayout layout =
            checkedLayout(bytes.data(), bytes.size(), path, tableOffsetOf(offsets, fileIndex));
        appendActionRows(bytes.data(), layout, weaponType, fileIndex, names, rows);
    }
    return rows;
}

std::array<std::vector<std::uint8_t>, 2> writeFileAndRead(const std::vector<ExportRow>& actions,
                                                          const TableOffsets* offsets, const Folders& folders) {
    checkPreconditions(actions);
    for (const ExportRow& row : actions) {
        damageByte(row);  // refuse a bad row before any file is touched
        for (auto member : valueMembers<ExportRow>) storedValue(row.*member, row);
    }
    const std::string& weaponType = actions.front().weaponType;
    const auto secondFile = std::find_if(actions.begin(), actions.end(),
                                         [](const ExportRow& row) { return row.fileIndex == 1; });
    std::array<std::vector<std::uint8_t>, 2> contents;
    contents[0] = writeRecords(folders, weaponType, 0, actions.begin(), secondFile, tableOffsetOf(offsets, 0));
    contents[1] = writeRecords(folders, weaponType, 1, secondFile, actions.end(), tableOffsetOf(offsets, 1));
    return contents;
}

void writeFile(const std::vector<ExportRow>& actions, const TableOffsets* offsets, const Folders& folders) {
    writeFileAndRead(actions, offsets, folders);
}

}  // namespace helper
