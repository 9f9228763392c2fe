#include "csv_edits.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <utility>

#include "catalogue.h"
#include "columns.h"
#include "csv.h"
#include "text_decoding.h"

namespace cli {

namespace {

constexpr std::size_t excerptCharacters = 40;

constexpr std::size_t columnOf(ColumnKind kind) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].kind == kind) return i;
    }
    return columns.size();
}
constexpr std::size_t keyColumn = columnOf(ColumnKind::key);
constexpr std::size_t fileColumn = columnOf(ColumnKind::fileIndex);
constexpr std::size_t slotColumn = columnOf(ColumnKind::slot);

struct Excerpt {
    std::string text;  // control characters and byte-order marks made visible
    bool cut;
};

Excerpt excerptOf(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    Excerpt excerpt{"", false};
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool continuation = (byte & 0xC0) == 0x80;
        if (!continuation && characters++ == excerptCharacters) {
            excerpt.cut = true;
            break;
        }
        if (byte < 0x20 || byte == 0x7F) {
            excerpt.text += "\\x";
            excerpt.text += hex[byte >> 4];
            excerpt.text += hex[byte & 0xF];
        } else if (text.substr(i, 3) == "\xEF\xBB\xBF") {
            excerpt.text += "\\uFEFF";  // invisible where it stands
            i += 2;
        } else {
            excerpt.text += text[i];
        }
    }
    return excerpt;
}

bool allEmpty(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& field) { return field.empty(); });
}

// The decimal digits of a whole number without leading zeros ("05" -> "5",
// "00" -> "0"), also when written with a fraction of zeros ("5.0"), as a
// spreadsheet may; nothing for any other text.
std::optional<std::string> wholeNumber(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view digits = text.substr(0, point);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    if (point != std::string_view::npos) {
        const std::string_view fraction = text.substr(point + 1);
        if (fraction.empty() || fraction.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
    }
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size() - 1);
    return std::string(digits.substr(first));
}

class EditReader {
public:
    explicit EditReader(const std::vector<helper::ActionRow>& rows) : rows_(rows), listedOn_(rows.size(), 0) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            byKey_.emplace(helper::actionKey(rows_[i].fileIndex, rows_[i].actIndex), i);
            byPlace_.emplace(std::make_pair(std::to_string(rows_[i].fileIndex), std::to_string(rows_[i].actIndex)), i);
        }
    }

    CsvEdits read(std::string_view fileBytes) {
        if (fileBytes.size() > maxCsvBytes) {
            refuse(0, "", "the file is larger than " + std::to_string(maxCsvBytes >> 20) +
                              " MiB; a list of edits is a few KiB (is it the right file?)");
            return std::move(edits_);
        }
        DecodedText decoded;
        try {
            decoded = decodeText(fileBytes);
        } catch (const TextError& error) {
            refuse(error.line(), "", std::string("not a CSV file: ") + error.what());
            return std::move(edits_);
        }
        separator_ = detectSeparator(decoded.text);
        try {
            CsvReader reader(decoded.text, separator_, maxFieldsPerLine);
            CsvRecord record;
            bool captioned = false;
            while (reader.next(record)) {
                if (allEmpty(record.fields)) continue;  // an empty row of a spreadsheet
                if (captioned) {
                    readAction(record);
                    continue;
                }
                captioned = true;
                readCaptions(record);
                if (!edits_.refusals.empty()) break;
            }
            if (!captioned) {
                refuse(1, "", "the file is empty; its first line names the columns (" + captionList() + ")");
            }
        } catch (const CsvError& error) {
            refuse(error.line(), "", std::string("not a CSV file: ") + error.what());
        }
        return std::move(edits_);
    }

private:
    void refuse(std::size_t line, std::string_view column, std::string reason) {
        edits_.refusals.add(line, column, std::move(reason));
    }

    void readCaptions(const CsvRecord& captions) {
        fieldColumns_.assign(captions.fields.size(), std::nullopt);
        for (std::size_t field = 0; field < captions.fields.size(); ++field) {
            const std::string& caption = captions.fields[field];
            if (caption.empty()) continue;  // its cells must be empty
            captionedFields_ = field + 1;
            const auto column = columnByCaption(caption);
            if (!column) {
                const Excerpt shown = excerptOf(caption);
                refuse(captions.line, shown.text + (shown.cut ? "..." : ""),
                       "unknown column " + quotedExcerpt(caption) + "; the columns are " + captionList());
            } else if (fieldOf_[*column]) {
                refuse(captions.line, caption, "the column appears twice");
            } else {
                fieldOf_[*column] = field;
                fieldColumns_[field] = *column;
            }
        }
        if (!fieldOf_[keyColumn]) {
            refuse(captions.line, "", "no " + std::string(columns[keyColumn].caption) +
                                          " column: it names the action of each line");
        }
    }

    void readAction(const CsvRecord& record) {
        const std::vector<std::string>& fields = record.fields;
        if (fields.size() < captionedFields_) {
            refuse(record.line, "", std::to_string(fields.size()) + (fields.size() == 1 ? " field" : " fields") +
                                        " where the caption line has " + std::to_string(captionedFields_));
            return;
        }
        bool stray = false;
        for (std::size_t field = 0; field < fields.size(); ++field) {
            if (field < fieldColumns_.size() && fieldColumns_[field]) continue;
            if (fields[field].empty()) continue;
            refuse(record.line, "", "field " + std::to_string(field + 1) + " holds " + quotedExcerpt(fields[field]) +
                                        " in a column without a caption");
            stray = true;
        }
        if (stray) return;

        const bool placed = fieldOf_[fileColumn] && fieldOf_[slotColumn];
        const std::optional<std::size_t> row = placed ? rowByPlace(record) : rowByKey(record);
        if (!row) return;
        if (const std::size_t first = listedOn_[*row]) {
            refuse(record.line, columns[keyColumn].caption,
                   "action number " + key(*row) + " is listed twice, first on line " + std::to_string(first));
            return;
        }
        listedOn_[*row] = record.line;

        ActionEdit edit{record.line, *row, {}};
        for (std::size_t field = 0; field < fieldColumns_.size(); ++field) {
            if (!fieldColumns_[field]) continue;
            const Column& column = columns[*fieldColumns_[field]];
            if (column.kind == ColumnKind::damageType) edit.cells.push_back({*fieldColumns_[field], fields[field]});
            if (column.kind == ColumnKind::value) edit.cells.push_back({*fieldColumns_[field], valueText(fields[field])});
        }
        edits_.actions.push_back(std::move(edit));
    }

    // A spreadsheet in a locale that writes "1,5" for 1.5 separates its fields
    // with semicolons or tabs, so that a comma there can only be the decimal
    // one. A comma file has none in a value, nor a value with two marks.
    std::string valueText(const std::string& text) const {
        if (separator_ == ',' || std::count(text.begin(), text.end(), ',') != 1 ||
            text.find('.') != std::string::npos) {
            return text;
        }
        std::string withPoint = text;
        withPoint[withPoint.find(',')] = '.';
        return withPoint;
    }

    const std::string& field(const CsvRecord& record, std::size_t column) const {
        return record.fields[*fieldOf_[column]];
    }

    std::string key(std::size_t row) const { return helper::actionKey(rows_[row].fileIndex, rows_[row].actIndex); }

    // The action in the line's file and slot, whose 动作序号 must be the same number.
    std::optional<std::size_t> rowByPlace(const CsvRecord& record) {
        const std::string& fileText = field(record, fileColumn);
        const std::string& slotText = field(record, slotColumn);
        const auto file = wholeNumber(fileText);
        const auto slot = wholeNumber(slotText);
        if (!file) refuse(record.line, columns[fileColumn].caption, quotedExcerpt(fileText) + " is not a file index");
        if (!slot) refuse(record.line, columns[slotColumn].caption, quotedExcerpt(slotText) + " is not a slot");
        if (!file || !slot) return std::nullopt;
        const auto found = byPlace_.find({*file, *slot});
        if (found == byPlace_.end()) {
            refuse(record.line, "", "no action is in file " + *file + ", slot " + *slot);
            return std::nullopt;
        }
        const std::string& keyText = field(record, keyColumn);
        if (wholeNumber(keyText) != wholeNumber(key(found->second))) {
            refuse(record.line, columns[keyColumn].caption,
                   quotedExcerpt(keyText) + " is not the action number of file " + *file + ", slot " + *slot +
                       ", which is " + key(found->second));
            return std::nullopt;
        }
        return found->second;
    }

    // The action of the line's 动作序号 exactly; a lone 文件序号 or 实际动作序号
    // must agree with it.
    std::optional<std::size_t> rowByKey(const CsvRecord& record) {
        const std::string& keyText = field(record, keyColumn);
        const auto found = byKey_.find(keyText);
        if (found == byKey_.end()) {
            refuse(record.line, columns[keyColumn].caption,
                   "unknown action number " + quotedExcerpt(keyText) + leadingZeroHint(keyText));
            return std::nullopt;
        }
        const helper::ActionRow& row = rows_[found->second];
        bool agrees = true;
        for (const std::size_t column : {fileColumn, slotColumn}) {
            if (!fieldOf_[column]) continue;
            const bool file = column == fileColumn;
            const std::string expected = std::to_string(file ? row.fileIndex : row.actIndex);
            const std::string& text = field(record, column);
            if (wholeNumber(text) == expected) continue;
            refuse(record.line, columns[column].caption,
                   quotedExcerpt(text) + " does not match action number " + keyText + ", which is " +
                       (file ? "in file " : "slot ") + expected + leadingZeroHint(keyText));
            agrees = false;
        }
        if (!agrees) return std::nullopt;
        return found->second;
    }

    // Why a key may be unknown or belong to another action: a spreadsheet that
    // took it for a number and dropped its leading zero ("05" -> "5").
    std::string leadingZeroHint(const std::string& keyText) const {
        if (keyText.empty() || keyText.find_first_not_of("0123456789") != std::string::npos) return "";
        if (!byKey_.count("0" + keyText)) return "";
        return " (action number 0" + keyText + " without its leading 0? Keep the columns " +
               std::string(columns[fileColumn].caption) + " and " + std::string(columns[slotColumn].caption) +
               " in the file, or 动作序号 a text column in the spreadsheet)";
    }

    const std::vector<helper::ActionRow>& rows_;
    std::map<std::string, std::size_t> byKey_;                         // action key -> row
    std::map<std::pair<std::string, std::string>, std::size_t> byPlace_;  // file index, slot -> row
    std::vector<std::size_t> listedOn_;                                // row -> line that listed it, 0: none
    std::array<std::optional<std::size_t>, columns.size()> fieldOf_{};  // column -> field of a line
    std::vector<std::optional<std::size_t>> fieldColumns_;              // field of a line -> column; none: no caption
    std::size_t captionedFields_ = 0;  // fields up to the last one with a caption
    char separator_ = ',';
    CsvEdits edits_;
};

}  // namespace

void Refusals::add(std::size_t line, std::string_view column, std::string reason) {
    ++count;
    if (listed.size() < listedRefusals) listed.push_back({line, std::string(column), std::move(reason)});
}

Refusals mergeRefusals(const Refusals& first, const Refusals& second) {
    // The first listedRefusals of both lists together are among those each keeps.
    Refusals merged;
    merged.listed = first.listed;
    merged.listed.insert(merged.listed.end(), second.listed.begin(), second.listed.end());
    std::stable_sort(merged.listed.begin(), merged.listed.end(),
                     [](const Refusal& a, const Refusal& b) { return a.line < b.line; });
    if (merged.listed.size() > listedRefusals) merged.listed.resize(listedRefusals);
    merged.count = first.count + second.count;
    return merged;
}

CsvEdits readCsvEdits(std::string_view fileBytes, const std::vector<helper::ActionRow>& rows) {
    return EditReader(rows).read(fileBytes);
}

std::string quotedExcerpt(std::string_view text) {
    const Excerpt excerpt = excerptOf(text);
    return '"' + excerpt.text + '"' + (excerpt.cut ? "... (" + std::to_string(text.size()) + " bytes)" : "");
}

}  // namespace cli
