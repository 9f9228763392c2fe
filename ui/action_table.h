// The window's three commands: choosing a family, reloading it and exporting
// the grid. Loading fills the grid from fresh copies of the templates (the
// built-in great sword's, or a family's own files in res\ beside the program);
// export checks every cell, then writes both files into the output tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folders.h"
#include "grid_cells.h"
#include "main_state.h"

// The grid's columns (from 1) that hold what an export writes: the damage
// type, then the seven values in columns 5 to 11.
inline constexpr int damageTypeColumn = 4;
inline constexpr int firstValueColumn = 5;

// The editor spec every loaded row carries in its operate column: a combo box
// over column 4 offering the three damage types.
inline constexpr std::string_view damageTypeEditorSpec = "4;combobox;{切断,打击,弹}";

class ActionTable {
public:
    ActionTable(MainState& state, GridCells& grid, Notices& notices, helper::Folders folders)
        : state_(state), grid_(grid), notices_(notices), folders_(std::move(folders)) {}

    // The selector's selection changed to the item with this text.
    void onFamilySelected(const std::string& selected);
    // The reload button; `selected` is the selector's selected item or "".
    void onReload(const std::string& selected);
    // The export button.
    void onExport();
    // Files dropped on the window, read and checked: loads the family as
    // choosing it does and, when the rows loaded are those the cells were
    // read against, sets every cell as if typed. Nothing is checked or
    // written until export.
    void onDropAccepted(const std::string& weaponName, const std::vector<helper::ActionRow>& readAgainst,
                        const std::vector<CellText>& cells);

    void ui_reset();
    void loadTableData(const std::string& weaponName);
    void outRes();

    const helper::Folders& folders() const { return folders_; }

private:
    // Empties the grid and loads the family into it, reporting a failure.
    void replaceRows(const std::string& weaponName);
    // loadTableData, reporting a failure of the file system instead of passing it on.
    void loadReportingFailures(const std::string& weaponName, Notices& notices);
    void loadTableData(const std::string& weaponName, Notices& notices);

    MainState& state_;
    GridCells& grid_;
    Notices& notices_;
    helper::Folders folders_;
};

// "第3行第9列，不是数字" and the damage-type refusal "第1行第4列，伤害类型错误".
std::string numericCellMessage(int row, int column, std::string_view reason);
std::string damageTypeCellMessage(int row);

// A short description of a failure for the user: the path and the system's
// reason for a file error, the text of anything else.
std::string failureText(const std::exception& failure);
