// Edits in the CSV form of `list`, checked cell by cell with the editor's rules
// and written into the template bytes in memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "family.h"

namespace cli {

struct Refusal {
    std::size_t line;     // line of the CSV text, from 1
    std::string column;   // caption of the refused cell; empty when the line as a whole is refused
    std::string reason;
};

struct EditOutcome {
    std::vector<Refusal> refusals;  // in line order; empty when every cell passed
    FamilyFiles files;              // when every cell passed: the templates with the edits written in
    std::size_t editedActions = 0;
};

// Reads the CSV text (a byte-order mark is optional): a caption line naming
// any of the list's columns, 动作序号 among them, then any of the actions, one
// per line, matched by 动作序号. Each listed cell is checked as the editor
// checks it: values with ui_checkFloat, damage types by name; 文件序号 and
// 实际动作序号, when present, must be those of the action; 招式名称 is not
// read. Unlisted actions and columns keep the templates' bytes.
EditOutcome applyEdits(std::string_view csvText, const FamilyFiles& templates);

// "EDITS.csv:7: 动作值: 不是数字".
std::string refusalText(std::string_view source, const Refusal& refusal);

}  // namespace cli
