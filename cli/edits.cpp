#include "edits.h"

#include <array>
#include <map>
#include <optional>
#include <stdexcept>

#include "catalogue.h"
#include "cell_values.h"
#include "columns.h"
#include "csv.h"
#include "float32.h"
#include "records.h"

namespace cli {

namespace {

// A cell's text in a message: quoted, with control characters made visible.
std::string quotedText(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

class Checker {
public:
    explicit Checker(const FamilyFiles& templates) : rows_(actionRows(templates)) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            byKey_.emplace(helper::actionKey(rows_[i].fileIndex, rows_[i].actIndex), i);
        }
        outcome_.files = templates;
    }

    EditOutcome run(std::string_view csvText) {
        std::vector<CsvRecord> records;
        try {
            records = parseCsv(csvText);
        } catch (const CsvError& error) {
            refuse(error.line(), "", std::string("not a CSV file: ") + error.what());
            return finish();
        }
        if (records.empty()) {
            refuse(1, "", "the file is empty; its first line names the columns (" + captionList() + ")");
            return finish();
        }
        readCaptions(records.front());
        if (!outcome_.refusals.empty()) return finish();
        for (std::size_t i = 1; i < records.size(); ++i) readAction(records[i], records.front().fields.size());
        return finish();
    }

private:
    void refuse(std::size_t line, std::string_view column, std::string reason) {
        outcome_.refusals.push_back({line, std::string(column), std::move(reason)});
    }

    EditOutcome finish() {
        if (!outcome_.refusals.empty()) {
            outcome_.files = FamilyFiles{};
            outcome_.editedActions = 0;
        }
        return std::move(outcome_);
    }

    void readCaptions(const CsvRecord& captions) {
        fieldColumns_.clear();
        for (const std::string& caption : captions.fields) {
            const auto column = columnByCaption(caption);
            if (!column) {
                refuse(captions.line, caption.empty() ? "" : caption,
                       (caption.empty() ? std::string("a column without a caption")
                                        : "unknown column " + quotedText(caption)) +
                           "; the columns are " + captionList());
            } else if (fieldOf_[*column]) {
                refuse(captions.line, caption, "the column appears twice");
            } else {
                fieldOf_[*column] = fieldColumns_.size();
            }
            fieldColumns_.push_back(column ? *column : columns.size());
        }
        if (!fieldOf_[0]) {
            refuse(captions.line, "", std::string("no ") + std::string(columns[0].caption) +
                                          " column: it names the action of each line");
        }
    }

    // Why the key may be unknown or belong to another action: a spreadsheet
    // that took the key for a number and dropped its leading zero ("05" -> "5").
    std::string leadingZeroHint(const std::string& key) const {
        if (key.empty() || key.find_first_not_of("0123456789") != std::string::npos) return "";
        if (!byKey_.count("0" + key)) return "";
        return " (action number 0" + key +
               " without its leading 0? Keep the column as text in the spreadsheet)";
    }

    void readAction(const CsvRecord& record, std::size_t fieldCount) {
        if (record.fields.size() != fieldCount) {
            refuse(record.line, "", std::to_string(record.fields.size()) + " fields where the caption line has " +
                                        std::to_string(fieldCount));
            return;
        }
        const std::size_t refusedBefore = outcome_.refusals.size();
        const std::string& key = record.fields[*fieldOf_[0]];
        const helper::ActionRow* row = nullptr;
        if (const auto found = byKey_.find(key); found == byKey_.end()) {
            refuse(record.line, columns[0].caption, "unknown action number " + quotedText(key) + leadingZeroHint(key));
        } else if (const auto first = keyLines_.find(key); first != keyLines_.end()) {
            refuse(record.line, columns[0].caption,
                   "action number " + key + " is listed twice, first on line " + std::to_string(first->second));
        } else {
            keyLines_.emplace(key, record.line);
            row = &rows_[found->second];
        }

        helper::ExportRow edit;
        std::uint8_t* bytes = nullptr;
        if (row) {
            bytes = outcome_.files.bytes[static_cast<std::size_t>(row->fileIndex)].data() +
                    recordOffset(row->fileIndex, row->actIndex);
            edit = templateValues(*row, bytes);
        }
        for (std::size_t field = 0; field < record.fields.size(); ++field) {
            readCell(record.line, columns[fieldColumns_[field]], record.fields[field], row, edit);
        }
        if (!row || outcome_.refusals.size() != refusedBefore) return;
        try {
            helper::writeActionRecord(bytes, edit);
        } catch (const std::invalid_argument&) {
            // Only an unlisted cell can hold such a value: listed ones passed ui_checkFloat.
            refuse(record.line, "", "the template holds a value that is not a finite number in a column this "
                                    "line leaves out; list that column with a value");
            return;
        }
        ++outcome_.editedActions;
    }

    // The row as the template holds it, exactly: unlisted cells keep their bytes.
    static helper::ExportRow templateValues(const helper::ActionRow& row, const std::uint8_t* record) {
        helper::ExportRow edit = helper::exportRowFor(row);
        edit.damageType = std::to_string(record[helper::damageTypeOffset]);
        for (std::size_t i = 0; i < helper::valueOffsets.size(); ++i) {
            edit.*helper::valueMembers<helper::ExportRow>[i] = helper::loadFloat32(record + helper::valueOffsets[i]);
        }
        return edit;
    }

    void readCell(std::size_t line, const Column& column, const std::string& text, const helper::ActionRow* row,
                  helper::ExportRow& edit) {
        switch (column.kind) {
            case ColumnKind::key:
            case ColumnKind::name:
                return;
            case ColumnKind::damageType:
                if (const auto code = ui_damageTypeVal(text)) {
                    edit.damageType = *code;
                } else {
                    refuse(line, column.caption, std::string(reasons::badDamageType));
                }
                return;
            case ColumnKind::value:
                if (const FloatCheck check = ui_checkFloat(text); check.ok) {
                    edit.*helper::valueMembers<helper::ExportRow>[column.valueField] = check.value;
                } else {
                    refuse(line, column.caption, check.reason);
                }
                return;
            case ColumnKind::fileIndex:
            case ColumnKind::slot: {
                if (!row) return;
                const bool file = column.kind == ColumnKind::fileIndex;
                const std::string expected = std::to_string(file ? row->fileIndex : row->actIndex);
                if (text == expected) return;
                const std::string key = helper::actionKey(row->fileIndex, row->actIndex);
                refuse(line, column.caption,
                       quotedText(text) + " does not match action number " + key + ", which is " +
                           (file ? "in file " : "slot ") + expected + leadingZeroHint(key));
                return;
            }
        }
    }

    std::vector<helper::ActionRow> rows_;
    std::map<std::string, std::size_t> byKey_;     // action key -> index into rows_
    std::map<std::string, std::size_t> keyLines_;  // action key -> line that listed it
    std::array<std::optional<std::size_t>, columns.size()> fieldOf_{};  // column -> field of a line
    std::vector<std::size_t> fieldColumns_;        // field of a line -> column (columns.size(): unknown)
    EditOutcome outcome_;
};

}  // namespace

EditOutcome applyEdits(std::string_view csvText, const FamilyFiles& templates) {
    return Checker(templates).run(csvText);
}

std::string refusalText(std::string_view source, const Refusal& refusal) {
    std::string text(source);
    text += ':' + std::to_string(refusal.line) + ": ";
    if (!refusal.column.empty()) text += refusal.column + ": ";
    return text + refusal.reason;
}

}  // namespace cli
