// The editor spec a row carries in its operate column: "4;combobox;{切断,打击,弹}"
// names the target column, the kind of editor and the editor's entries.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The editor spec's ";"-separated fields, as they stand.
std::vector<std::string> splitEditorSpec(std::string_view editorSpec);

// The entries of a field like "{切断,打击,弹}": braces stripped from both ends,
// the rest split at ",".
std::vector<std::string> editorItems(std::string_view field);

// The target column of field 1 ("4"); nothing unless it is a positive decimal number.
std::optional<int> editorColumn(std::string_view field);
