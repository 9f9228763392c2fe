#include "edits.h"

#include <stdexcept>

#include "catalogue.h"
#include "cell_values.h"
#include "columns.h"
#include "float32.h"
#include "records.h"

namespace cli {

namespace {

// The row as the template holds it, exactly: unlisted cells keep their bytes.
helper::ExportRow templateValues(const helper::ActionRow& row, const std::uint8_t* record) {
    helper::ExportRow edit = helper::exportRowFor(row);
    edit.damageType = std::to_string(record[helper::damageTypeOffset]);
    for (std::size_t i = 0; i < helper::valueOffsets.size(); ++i) {
        edit.*helper::valueMembers<helper::ExportRow>[i] = helper::loadFloat32(record + helper::valueOffsets[i]);
    }
    return edit;
}

// Each cell of one action into `edit`, or its refusal into `refusals`.
void checkCells(const ActionEdit& action, helper::ExportRow& edit, Refusals& refusals) {
    for (const CellEdit& cell : action.cells) {
        const Column& column = columns[cell.column];
        if (column.kind == ColumnKind::damageType) {
            if (const auto code = ui_damageTypeVal(cell.text)) {
                edit.damageType = *code;
            } else {
                refusals.add(action.line, column.caption, std::string(reasons::badDamageType));
            }
        } else if (column.kind == ColumnKind::value) {
            if (const FloatCheck check = ui_checkFloat(cell.text); check.ok) {
                edit.*helper::valueMembers<helper::ExportRow>[column.valueField] = check.value;
            } else {
                refusals.add(action.line, column.caption, check.reason);
            }
        }
    }
}

}  // namespace

EditOutcome applyEdits(std::string_view csvBytes, const FamilyFiles& templates) {
    const std::vector<helper::ActionRow> rows = actionRows(templates);
    const CsvEdits read = readCsvEdits(csvBytes, rows);

    EditOutcome outcome;
    outcome.files = templates;
    Refusals cellRefusals;
    for (const ActionEdit& action : read.actions) {
        const helper::ActionRow& row = rows[action.row];
        std::uint8_t* bytes = outcome.files.bytes[static_cast<std::size_t>(row.fileIndex)].data() +
                              recordOffset(outcome.files, row.fileIndex, row.actIndex);
        helper::ExportRow edit = templateValues(row, bytes);
        const std::size_t refusedBefore = cellRefusals.count;
        checkCells(action, edit, cellRefusals);
        if (cellRefusals.count != refusedBefore) continue;
        try {
            helper::writeActionRecord(bytes, edit);
        } catch (const std::invalid_argument&) {
            // Only an unlisted cell can hold such a value: listed ones passed ui_checkFloat.
            cellRefusals.add(action.line, "", "the template holds a value that is not a finite number in a column "
                                              "this line leaves out; list that column with a value");
            continue;
        }
        ++outcome.editedActions;
    }

    const Refusals refusals = mergeRefusals(read.refusals, cellRefusals);
    if (!refusals.empty()) {
        outcome.refusals = refusals.listed;
        outcome.refusalCount = refusals.count;
        outcome.files = FamilyFiles{};
        outcome.editedActions = 0;
    }
    return outcome;
}

std::string refusalText(std::string_view source, const Refusal& refusal) {
    std::string text(source);
    if (refusal.line) text += ':' + std::to_string(refusal.line);
    text += ": ";
    if (!refusal.column.empty()) text += refusal.column + ": ";
    return text + refusal.reason;
}

}  // namespace cli
