#include "action_table.h"

#include <array>
#include <exception>
#include <utility>

#include "catalogue.h"
#include "cell_values.h"
#include "file_io.h"
#include "json.h"
#include "messages.h"
#include "staging.h"

namespace {

constexpr int fileIndexColumn = 13;
constexpr int slotColumn = 14;

// The cells of a row: the action's, and the editor spec in `specColumn`.
std::vector<std::string> gridRow(const helper::ActionRow& row, int specColumn) {
    std::vector<std::string> cells(slotColumn);
    cells[0] = "";  // not armed
    cells[1] = helper::actionKey(row.fileIndex, row.actIndex);
    cells[2] = row.actName.value_or("");
    cells[damageTypeColumn - 1] = ui_damageType(row.damageType);
    for (std::size_t field = 0; field < helper::valueMembers<helper::ActionRow>.size(); ++field) {
        cells[firstValueColumn - 1 + field] = row.*helper::valueMembers<helper::ActionRow>[field];
    }
    cells[fileIndexColumn - 1] = std::to_string(row.fileIndex);
    cells[slotColumn - 1] = std::to_string(row.actIndex);
    // Written with the row rather than into it afterwards: the same cell, and
    // two messages to the list fewer per row.
    if (specColumn >= 1 && specColumn <= slotColumn) cells[specColumn - 1] = std::string(damageTypeEditorSpec);
    return cells;
}

// Messages kept back until `release`, which shows them in their order.
class HeldNotices final : public Notices {
public:
    explicit HeldNotices(Notices& shown) : shown_(shown) {}
    void notice(const std::string& text) override { held_.push_back(text); }
    void release() {
        for (const std::string& text : std::exchange(held_, {})) shown_.notice(text);
    }

private:
    Notices& shown_;
    std::vector<std::string> held_;
};

}  // namespace

std::string numericCellMessage(int row, int column, std::string_view reason) {
    return "第" + std::to_string(row) + "行第" + std::to_string(column) + "列，" + std::string(reason);
}

std::string damageTypeCellMessage(int row) {
    return "第" + std::to_string(row) + "行第4列，" + std::string(reasons::badDamageType);
}

std::string failureText(const std::exception& failure) {
    if (const auto* file = dynamic_cast<const helper::FileError*>(&failure)) {
        return helper::pathText(file->path()) + "\n" + file->reason();
    }
    return failure.what();
}

void ActionTable::onFamilySelected(const std::string& selected) {
    replaceRows(selected);
    grid_.focus();  // also when the load was refused
}

void ActionTable::onReload(const std::string& selected) {
    if (selected.empty()) {
        notices_.notice(std::string(messages::chooseFamily));
        return;
    }
    replaceRows(selected);
}

void ActionTable::onExport() {
    try {
        outRes();
    } catch (const std::exception& failure) {
        notices_.notice(std::string(messages::exportFailed) + failureText(failure));
    }
}

void ActionTable::onDropAccepted(const std::string& weaponName, const std::vector<helper::ActionRow>& readAgainst,
                                 const std::vector<CellText>& cells) {
    replaceRows(weaponName);
    grid_.focus();
    if (!state_.loadedActions || state_.loadedActions->empty()) return;  // the load said why
    if (*state_.loadedActions != readAgainst) {
        // The templates changed between the check of the drop and the load:
        // the cells could land in the wrong rows.
        notices_.notice(std::string(messages::templatesChanged));
        return;
    }
    const BulkUpdate bulk(grid_);
    for (const CellText& cell : cells) grid_.setCell(cell.row, cell.column, cell.text);
}

void ActionTable::replaceRows(const std::string& weaponName) {
    // The emptied grid and the new rows are painted once: ending a held
    // repaint costs the list more than the rows themselves. A message raised
    // meanwhile waits until the list paints again, so that its box is not
    // shown over a list that leaves the box's trails.
    HeldNotices held(notices_);
    {
        const BulkUpdate bulk(grid_);
        ui_reset();
        loadReportingFailures(weaponName, held);
    }
    held.release();
}

void ActionTable::loadReportingFailures(const std::string& weaponName, Notices& notices) {
    try {
        loadTableData(weaponName, notices);
    } catch (const std::exception& failure) {
        // Nothing half-loaded stays behind: the grid and the rows are empty.
        ui_reset();
        notices.notice(std::string(messages::loadFailed) + failureText(failure));
    }
}

void ActionTable::ui_reset() {
    state_.loadedActions = std::vector<helper::ActionRow>{};
    const BulkUpdate bulk(grid_);
    grid_.removeAllRows();
}

void ActionTable::loadTableData(const std::string& weaponName) { loadTableData(weaponName, notices_); }

void ActionTable::loadTableData(const std::string& weaponName, Notices& notices) {
    // The great sword has built-in templates; another family loads when the
    // user has put its files in res\ beside the program.
    const auto code = helper::weaponTypeCode(weaponName);
    if (!code || !helper::hasTemplates(*code, folders_)) {
        notices.notice(std::string(messages::onlyGreatSword));
        return;
    }
    state_.loadedActions = helper::getActions(weaponName, folders_);
    const BulkUpdate bulk(grid_);
    for (const helper::ActionRow& row : *state_.loadedActions) grid_.appendRow(gridRow(row, state_.ui_listview_opcol));
}

void ActionTable::outRes() {
    if (!state_.loadedActions || state_.loadedActions->empty()) {
        notices_.notice(std::string(messages::emptyList));
        return;
    }
    const std::vector<helper::ActionRow>& loaded = *state_.loadedActions;
    const int rows = grid_.rowCount();

    // Each cell is read from the grid once (a read is a message to the list):
    // the damage type's text, and the seven values as checked.
    struct RowCells {
        std::string damageType;
        std::array<double, 7> values{};
    };
    std::vector<RowCells> cells(static_cast<std::size_t>(rows));

    // Every value cell of every row first, left to right, top to bottom.
    for (int row = 1; row <= rows; ++row) {
        RowCells& read = cells[static_cast<std::size_t>(row - 1)];
        for (int column = firstValueColumn; column < firstValueColumn + 7; ++column) {
            const FloatCheck check = ui_checkFloat(grid_.cell(row, column));
            if (!check.ok) {
                notices_.notice(numericCellMessage(row, column, check.reason));
                grid_.showRow(row);
                return;
            }
            read.values[static_cast<std::size_t>(column - firstValueColumn)] = check.value;
        }
        read.damageType = grid_.cell(row, damageTypeColumn);
    }

    std::vector<helper::ExportRow> exportRows;
    exportRows.reserve(static_cast<std::size_t>(rows));
    for (int row = 1; row <= rows; ++row) {
        const RowCells& read = cells[static_cast<std::size_t>(row - 1)];
        // The copy keeps the loaded row untouched by what the export sets.
        const helper::ActionRow copy = helper::deepClone(loaded.at(static_cast<std::size_t>(row - 1)));
        helper::ExportRow out = helper::exportRowFor(copy);
        const auto damageType = ui_damageTypeVal(read.damageType);
        if (!damageType) {
            notices_.notice(damageTypeCellMessage(row));
            grid_.showRow(row);
            return;
        }
        out.damageType = *damageType;
        for (std::size_t field = 0; field < helper::valueMembers<helper::ExportRow>.size(); ++field) {
            out.*helper::valueMembers<helper::ExportRow>[field] = read.values[field];
        }
        exportRows.push_back(std::move(out));
    }

    helper::outputRes(exportRows, folders_);
    notices_.notice(std::string(messages::exported));
}
