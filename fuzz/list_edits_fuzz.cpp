// The list of the templates as a spreadsheet may save it again, applied to the
// templates, changes nothing: every listed action is edited to the values it
// has, no cell is refused, and both files come out byte for byte the same.
//
// The input picks what the spreadsheet did (an input that runs out picks
// "nothing"): the order of the columns and which of them stay (动作序号
// always), empty columns and rows added, the separator and the line ends,
// quotes around every field, the encoding, which actions stay and in what
// order, numbers rewritten as a spreadsheet writes them (130.0 for 130, 1.10
// for 1.1, a decimal comma where the separator is not one, 5 for the action
// number 05 while file and slot stay), and any text in 招式名称, which is not
// read.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "builtin_family.h"
#include "columns.h"
#include "csv.h"
#include "edits.h"
#include "encodings.h"
#include "fuzz_support.h"

namespace {

enum class Encoding { utf8, utf8WithMark, utf16LittleEndian, utf16BigEndian, codePage936 };

constexpr std::size_t noColumn = cli::columns.size();  // an added column without a caption

std::size_t columnOf(cli::ColumnKind kind) {
    for (std::size_t i = 0; i < cli::columns.size(); ++i) {
        if (cli::columns[i].kind == kind) return i;
    }
    return noColumn;
}

bool isWhole(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A whole number as a spreadsheet may write it: "5", "5.0", "5.00".
std::string rewriteWhole(const std::string& text, FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 1: return text + ".0";
        case 2: return text + ".00";
        default: return text;
    }
}

std::string rewriteValue(const std::string& text, char separator, FuzzedDataProvider& in) {
    std::string out = text;
    if (isWhole(text)) out = rewriteWhole(text, in);
    else if (text.size() - text.find('.') == 2 && in.ConsumeBool()) out += '0';  // 1.10 for 1.1
    if (separator != ',' && in.ConsumeBool()) std::replace(out.begin(), out.end(), '.', ',');
    return out;
}

// 招式名称 is not read: any text from a small alphabet of what matters to CSV.
std::string anyName(FuzzedDataProvider& in, bool withMark) {
    static const std::vector<std::string> alphabet{"a", "招", "式", ",", ";", "\t",
                                                   "\"", "\r\n", "\n", "\r", " ", "0"};
    std::string name;
    for (const char c : in.ConsumeRandomLengthString(16)) {
        const auto pick = static_cast<unsigned char>(c);
        if (withMark && pick == 0xFF) name += cli::utf8ByteOrderMark;  // no character of code page 936
        else name += alphabet[pick % alphabet.size()];
    }
    return name;
}

std::string field(const std::string& text, char separator, bool quoteAll) {
    if (!quoteAll && text.find_first_of(std::string("\"\r\n") + separator) == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

// "Unicode text": UTF-16 with its byte-order mark, in either byte order.
std::string utf16(const std::string& utf8, bool bigEndian) {
    std::string out = "\xFF\xFE" + testing_support::utf16LittleEndian(utf8);
    if (bigEndian) {
        for (std::size_t i = 0; i + 1 < out.size(); i += 2) std::swap(out[i], out[i + 1]);
    }
    return out;
}

// What the spreadsheet did to the file as a whole.
struct Saving {
    Encoding encoding;
    char separator;
    std::string lineEnd;
    bool quoteAll;
    bool lineEndAtTheEnd;
    std::vector<std::size_t> columns;  // in file order; noColumn for an added one
    bool placed;                       // 文件序号 and 实际动作序号 both stay
};

template <typename T>
void shuffle(std::vector<T>& items, FuzzedDataProvider& in) {
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        std::swap(items[i], items[in.ConsumeIntegralInRange(i, items.size() - 1)]);
    }
}

Saving chooseSaving(FuzzedDataProvider& in) {
    Saving saving;
    saving.encoding = static_cast<Encoding>(in.ConsumeIntegralInRange(0, 4));
    saving.separator = in.PickValueInArray({',', ';', '\t'});
    saving.lineEnd = in.PickValueInArray({"\r\n", "\n", "\r"});
    saving.quoteAll = in.ConsumeBool();
    saving.lineEndAtTheEnd = !in.ConsumeBool();

    for (std::size_t column = 0; column < cli::columns.size(); ++column) saving.columns.push_back(column);
    shuffle(saving.columns, in);
    const std::size_t key = columnOf(cli::ColumnKind::key);
    std::vector<std::size_t>& kept = saving.columns;
    kept.erase(std::remove_if(kept.begin(), kept.end(), [&](std::size_t c) { return c != key && in.ConsumeBool(); }),
               kept.end());
    for (int added = in.ConsumeIntegralInRange(0, 2); added > 0; --added) {
        kept.insert(kept.begin() + in.ConsumeIntegralInRange<std::ptrdiff_t>(0, kept.size()), noColumn);
    }
    const auto stays = [&](cli::ColumnKind kind) { return std::count(kept.begin(), kept.end(), columnOf(kind)) > 0; };
    saving.placed = stays(cli::ColumnKind::fileIndex) && stays(cli::ColumnKind::slot);
    return saving;
}

// One cell of a listed action as the spreadsheet writes it back.
std::string cellText(const Saving& saving, std::size_t column, const std::string& text, FuzzedDataProvider& in) {
    if (column == noColumn) return "";
    switch (cli::columns[column].kind) {
        case cli::ColumnKind::key:  // "5" for "05", with file and slot to name the action
            if (!saving.placed || !in.ConsumeBool()) return text;
            return rewriteWhole(text.substr(text.size() > 1 && text[0] == '0' ? 1 : 0), in);
        case cli::ColumnKind::name:
            return in.ConsumeBool() ? anyName(in, saving.encoding != Encoding::codePage936) : text;
        case cli::ColumnKind::value: return rewriteValue(text, saving.separator, in);
        case cli::ColumnKind::fileIndex:
        case cli::ColumnKind::slot: return rewriteWhole(text, in);
        case cli::ColumnKind::damageType: return text;
    }
    return text;
}

std::string lineOf(const Saving& saving, const std::vector<std::string>& cells) {
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) out += saving.separator;
        out += field(cells[i], saving.separator, saving.quoteAll);
    }
    return out;
}

std::string encoded(const Saving& saving, const std::string& text) {
    switch (saving.encoding) {
        case Encoding::utf8: return text;
        case Encoding::utf8WithMark: return std::string(cli::utf8ByteOrderMark) + text;
        case Encoding::utf16LittleEndian: return utf16(text, false);
        case Encoding::utf16BigEndian: return utf16(text, true);
        case Encoding::codePage936: return testing_support::codePage936(text);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const cli::FamilyFiles& templates = fuzz::builtinFamily();
    static const std::vector<helper::ActionRow> rows = cli::actionRows(templates);
    FuzzedDataProvider in(data, size);
    const Saving saving = chooseSaving(in);

    std::vector<std::size_t> listed;  // the actions that stay, in file order
    for (std::size_t row = 0; row < rows.size(); ++row) listed.push_back(row);
    shuffle(listed, in);
    listed.erase(std::remove_if(listed.begin(), listed.end(), [&](std::size_t) { return in.ConsumeBool(); }),
                 listed.end());

    std::vector<std::string> lines;
    std::vector<std::string> cells;
    for (const std::size_t column : saving.columns) {
        cells.emplace_back(column == noColumn ? "" : cli::columns[column].caption);
    }
    lines.push_back(lineOf(saving, cells));
    for (const std::size_t row : listed) {
        if (in.ConsumeBool()) {  // an empty row before it, blank or of empty fields
            lines.push_back(in.ConsumeBool() ? "" : std::string(saving.columns.size() - 1, saving.separator));
        }
        const std::vector<std::string> listedCells = cli::cells(rows[row]);
        cells.clear();
        for (const std::size_t column : saving.columns) {
            cells.push_back(cellText(saving, column, column == noColumn ? "" : listedCells[column], in));
        }
        lines.push_back(lineOf(saving, cells));
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || saving.lineEndAtTheEnd) text += saving.lineEnd;
    }
    const std::string bytes = encoded(saving, text);
    const fuzz::ExactCopy file(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());

    const cli::EditOutcome outcome = cli::applyEdits(file.text(), templates);
    if (outcome.refusalCount != 0) {
        fuzz::fail("the list as a spreadsheet saves it is accepted",
                   cli::refusalText("list.csv", outcome.refusals.front()) + "\n  in " + fuzz::visible(text));
    }
    fuzz::require(outcome.files.bytes == templates.bytes, "the list applied to the templates changes no byte");
    fuzz::require(outcome.editedActions == listed.size(), "every listed action is edited");
    return 0;
}
