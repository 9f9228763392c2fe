#include "differences.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "catalogue.h"
#include "cell_values.h"
#include "columns.h"
#include "float32.h"
#include "format_float.h"
#include "records.h"
#include "text_table.h"

namespace cli {

namespace {

std::string hexBytes(const Bytes& bytes) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const std::uint8_t byte : bytes) {
        if (!out.empty()) out += ' ';
        out += hex[byte >> 4];
        out += hex[byte & 0xF];
    }
    return out;
}

// The shortest text that reads back as exactly this float.
std::string exactText(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

const Column& valueColumn(std::size_t field) {
    for (const Column& column : columns) {
        if (column.kind == ColumnKind::value && column.valueField == field) return column;
    }
    return columns[0];  // unreachable: every value field has a column
}

const Column& damageTypeColumn() {
    for (const Column& column : columns) {
        if (column.kind == ColumnKind::damageType) return column;
    }
    return columns[0];  // unreachable
}

// The changed editable fields of one action. `mask` marks the record's
// editable bytes in the file.
void compareAction(const helper::ActionRow& row, const FamilyFiles& templates, const Bytes& after,
                   std::vector<bool>& mask, std::vector<FieldChange>& changes) {
    const Bytes& before = templates.bytes[static_cast<std::size_t>(row.fileIndex)];
    const std::size_t record = recordOffset(templates, row.fileIndex, row.actIndex);
    const auto change = [&](std::string_view caption, std::string oldText, std::string newText) {
        changes.push_back({helper::actionKey(row.fileIndex, row.actIndex), row.actName.value_or(""),
                           std::string(caption), std::move(oldText), std::move(newText)});
    };
    const auto present = [&](std::size_t offset, std::size_t size) { return record + offset + size <= after.size(); };

    mask[record + helper::damageTypeOffset] = true;
    if (present(helper::damageTypeOffset, 1) && before[record + helper::damageTypeOffset] != after[record + helper::damageTypeOffset]) {
        change(damageTypeColumn().caption, ui_damageType(before[record + helper::damageTypeOffset]),
               ui_damageType(after[record + helper::damageTypeOffset]));
    }
    for (std::size_t field = 0; field < helper::valueOffsets.size(); ++field) {
        const std::size_t at = record + helper::valueOffsets[field];
        std::fill(mask.begin() + static_cast<std::ptrdiff_t>(at),
                  mask.begin() + static_cast<std::ptrdiff_t>(at + helper::valueSize), true);
        if (!present(helper::valueOffsets[field], helper::valueSize) ||
            std::memcmp(before.data() + at, after.data() + at, helper::valueSize) == 0) {
            continue;
        }
        const float oldValue = helper::loadFloat32(before.data() + at);
        const float newValue = helper::loadFloat32(after.data() + at);
        std::string oldText = helper::formatFloat(oldValue);
        std::string newText = helper::formatFloat(newValue);
        if (oldText == newText) {  // a change below the shown two decimals
            oldText += " (" + exactText(oldValue) + ")";
            newText += " (" + exactText(newValue) + ")";
        }
        change(valueColumn(field).caption, std::move(oldText), std::move(newText));
    }
}

}  // namespace

Differences compareFamily(const FamilyFiles& templates, const FamilyFiles& files) {
    Differences differences;
    differences.weaponType = templates.weaponType;
    const std::vector<helper::ActionRow> actions = actionRows(templates);
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const Bytes& before = templates.bytes[static_cast<std::size_t>(fileIndex)];
        const Bytes& after = files.bytes[static_cast<std::size_t>(fileIndex)];
        std::vector<bool> editable(before.size(), false);
        for (const helper::ActionRow& row : actions) {
            if (row.fileIndex == fileIndex) compareAction(row, templates, after, editable, differences.fields);
        }
        const std::size_t common = std::min(before.size(), after.size());
        for (std::size_t i = 0; i < common;) {
            if (editable[i] || before[i] == after[i]) {
                ++i;
                continue;
            }
            ByteChange run{fileIndex, i, {}, {}};
            for (; i < common && !editable[i] && before[i] != after[i]; ++i) {
                run.before.push_back(before[i]);
                run.after.push_back(after[i]);
            }
            differences.bytes.push_back(std::move(run));
        }
        if (before.size() != after.size()) differences.lengths.push_back({fileIndex, before.size(), after.size()});
    }
    return differences;
}

std::string differencesText(const Differences& differences) {
    std::vector<std::vector<std::string>> lines;
    for (const FieldChange& change : differences.fields) {
        lines.push_back({change.key, change.name, change.caption, change.before, "->", change.after});
    }
    std::string out = layoutColumns(lines, {Align::left, Align::left, Align::left, Align::right});

    constexpr std::size_t shownBytes = 16;
    std::size_t changedBytes = 0;
    for (const ByteChange& run : differences.bytes) {
        changedBytes += run.before.size();
        const std::string file = helper::collisionFileName(differences.weaponType, run.fileIndex);
        const std::size_t last = run.offset + run.before.size() - 1;
        out += file + ": " + (run.before.size() == 1 ? "byte " + std::to_string(run.offset)
                                                     : "bytes " + std::to_string(run.offset) + " to " +
                                                           std::to_string(last));
        out += " changed outside the editable fields";
        if (run.before.size() <= shownBytes) out += ": " + hexBytes(run.before) + " -> " + hexBytes(run.after);
        out += '\n';
    }
    for (const LengthChange& length : differences.lengths) {
        out += helper::collisionFileName(differences.weaponType, length.fileIndex) + ": " + std::to_string(length.after) +
               " bytes long, the template " + std::to_string(length.before) + "\n";
    }

    if (differences.empty()) return "no differences\n";
    const std::size_t fields = differences.fields.size();
    out += std::to_string(fields) + (fields == 1 ? " changed field" : " changed fields");
    if (changedBytes) {
        out += ", " + std::to_string(changedBytes) + (changedBytes == 1 ? " changed byte" : " changed bytes") +
               " outside the editable fields";
    }
    if (!differences.lengths.empty()) {
        out += ", " + std::to_string(differences.lengths.size()) +
               (differences.lengths.size() == 1 ? " file of another length" : " files of another length");
    }
    return out + "\n";
}

}  // namespace cli
