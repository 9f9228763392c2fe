#include "listing.h"

#include "columns.h"
#include "csv.h"
#include "json.h"
#include "text_table.h"

namespace cli {

std::optional<ListFormat> listFormatByName(std::string_view name) {
    if (name == "table") return ListFormat::table;
    if (name == "csv") return ListFormat::csv;
    if (name == "json") return ListFormat::json;
    return std::nullopt;
}

std::string tableListing(const std::vector<helper::ActionRow>& rows) {
    std::vector<std::vector<std::string>> lines{captions()};
    for (const helper::ActionRow& row : rows) lines.push_back(cells(row));
    std::vector<Align> align;
    for (const Column& column : columns) {
        const bool number = column.kind == ColumnKind::value || column.kind == ColumnKind::fileIndex ||
                            column.kind == ColumnKind::slot;
        align.push_back(number ? Align::right : Align::left);
    }
    return layoutColumns(lines, align);
}

std::string csvListing(const std::vector<helper::ActionRow>& rows) {
    std::string out(utf8ByteOrderMark);
    out += csvLine(captions());
    for (const helper::ActionRow& row : rows) out += csvLine(cells(row));
    return out;
}

std::string jsonListing(const std::vector<helper::ActionRow>& rows) { return helper::toJson(rows) + "\n"; }

std::string listing(const std::vector<helper::ActionRow>& rows, ListFormat format) {
    switch (format) {
        case ListFormat::table: return tableListing(rows);
        case ListFormat::csv: return csvListing(rows);
        case ListFormat::json: return jsonListing(rows);
    }
    return {};
}

}  // namespace cli
