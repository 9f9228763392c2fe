// Edits in the CSV form of `list`, checked cell by cell with the editor's rules
// and written into the template bytes in memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "csv_edits.h"
#include "family.h"

namespace cli {

struct EditOutcome {
    std::vector<Refusal> refusals;  // in line order, the first listedRefusals; empty when every cell passed
    std::size_t refusalCount = 0;   // all of them
    FamilyFiles files;              // when every cell passed: the templates with the edits written in
    std::size_t editedActions = 0;
};

// Reads the bytes of a CSV file as readCsvEdits does and checks each listed
// cell as the editor checks it: values with ui_checkFloat, damage types by
// name; 招式名称 is not read. Unlisted actions and columns keep the
// templates' bytes.
EditOutcome applyEdits(std::string_view csvBytes, const FamilyFiles& templates);

// "EDITS.csv:7: 动作值: 不是数字"; "EDITS.csv: reason" for the file as a whole.
std::string refusalText(std::string_view source, const Refusal& refusal);

}  // namespace cli
