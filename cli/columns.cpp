#include "columns.h"

#include "catalogue.h"
#include "cell_values.h"

namespace cli {

std::optional<std::size_t> columnByCaption(std::string_view caption) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].caption == caption) return i;
    }
    return std::nullopt;
}

std::vector<std::string> captions() {
    std::vector<std::string> out;
    for (const Column& column : columns) out.emplace_back(column.caption);
    return out;
}

std::vector<std::string> cells(const helper::ActionRow& row) {
    std::vector<std::string> out;
    for (const Column& column : columns) {
        switch (column.kind) {
            case ColumnKind::key: out.push_back(helper::actionKey(row.fileIndex, row.actIndex)); break;
            case ColumnKind::name: out.push_back(row.actName.value_or("")); break;
            case ColumnKind::damageType: out.push_back(ui_damageType(row.damageType)); break;
            case ColumnKind::value: out.push_back(row.*helper::valueMembers<helper::ActionRow>[column.valueField]); break;
            case ColumnKind::fileIndex: out.push_back(std::to_string(row.fileIndex)); break;
            case ColumnKind::slot: out.push_back(std::to_string(row.actIndex)); break;
        }
    }
    return out;
}

std::string captionList() {
    std::string out;
    for (const Column& column : columns) {
        if (!out.empty()) out += ", ";
        out += column.caption;
    }
    return out;
}

}  // namespace cli
