// The columns of a listed action, in the editor's order and with its
// captions: the action key, the name, the damage type, the seven values, the
// file index and the slot.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "action_row.h"

namespace cli {

enum class ColumnKind { key, name, damageType, value, fileIndex, slot };

struct Column {
    ColumnKind kind;
    std::string_view caption;
    std::size_t valueField = 0;  // for ColumnKind::value: index into valueMembers
};

inline constexpr std::array<Column, 12> columns{{
    {ColumnKind::key, "动作序号"},
    {ColumnKind::name, "招式名称"},
    {ColumnKind::damageType, "伤害类型"},
    {ColumnKind::value, helper::valueFieldInfo[0].caption, 0},
    {ColumnKind::value, helper::valueFieldInfo[1].caption, 1},
    {ColumnKind::value, helper::valueFieldInfo[2].caption, 2},
    {ColumnKind::value, helper::valueFieldInfo[3].caption, 3},
    {ColumnKind::value, helper::valueFieldInfo[4].caption, 4},
    {ColumnKind::value, helper::valueFieldInfo[5].caption, 5},
    {ColumnKind::value, helper::valueFieldInfo[6].caption, 6},
    {ColumnKind::fileIndex, "文件序号"},
    {ColumnKind::slot, "实际动作序号"},
}};

// The column with this caption (exact match).
std::optional<std::size_t> columnByCaption(std::string_view caption);

std::vector<std::string> captions();

// The texts the editor shows for a row, one per column.
std::vector<std::string> cells(const helper::ActionRow& row);

// "动作序号, 招式名称, ..." for messages.
std::string captionList();

}  // namespace cli
