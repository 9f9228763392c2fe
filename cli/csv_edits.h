// The edits of a CSV in the form of `list --format csv`, read from the bytes
// of the file as a spreadsheet program may have saved it, and matched with the
// actions they name. The cell values are not judged here (edits.h does, as
// the editor would); nothing here touches a file or the console.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "action_row.h"

namespace cli {

// The largest file read as edits. A list of every action of a family is a
// few KiB; anything far larger is not such a list, and reading it whole
// would only cost memory.
inline constexpr std::size_t maxCsvBytes = std::size_t{4} << 20;

// A line may hold as many fields as a spreadsheet has columns.
inline constexpr std::size_t maxFieldsPerLine = 16384;

struct Refusal {
    std::size_t line;     // line of the CSV text, from 1; 0 when the file as a whole is refused
    std::string column;   // caption of the refused cell; empty when the line as a whole is refused
    std::string reason;
};

// Refusals in line order. Only the first `listedRefusals` are kept and the
// rest counted, so that a file of many bad lines costs neither memory nor a
// flood of messages.
inline constexpr std::size_t listedRefusals = 100;

struct Refusals {
    std::vector<Refusal> listed;
    std::size_t count = 0;

    void add(std::size_t line, std::string_view column, std::string reason);
    bool empty() const { return count == 0; }
};

// Both lists, each in line order, as one; at one line those of `first` come first.
Refusals mergeRefusals(const Refusals& first, const Refusals& second);

struct CellEdit {
    std::size_t column;  // index into `columns`: the damage type or one of the values
    std::string text;    // as the file holds it, but a decimal comma read as the point
};

struct ActionEdit {
    std::size_t line;
    std::size_t row;  // index into the rows the file was read against
    std::vector<CellEdit> cells;
};

struct CsvEdits {
    std::vector<ActionEdit> actions;  // in line order, each action at most once
    Refusals refusals;
};

// Reads the bytes of a CSV file (at most maxCsvBytes; UTF-8 with or without a
// byte-order mark, UTF-16 with one, or code page 936; separated by commas,
// semicolons or tabs) whose first line names any of the list's columns,
// 动作序号 among them, in any order, followed by any of the actions in `rows`,
// one per line. With both 文件序号 and 实际动作序号 a line names the action in
// that file and slot, and its 动作序号 must be that action's as a number (a
// spreadsheet makes 5 of 05); without them, 动作序号 must be the action's
// exactly. Lines and columns whose cells are all empty are left out, as
// spreadsheet programs add them. A refused line gives no action edit.
// Throws only when the system cannot convert code page 936 text at all.
CsvEdits readCsvEdits(std::string_view fileBytes, const std::vector<helper::ActionRow>& rows);

// A cell's text in a message: quoted, control characters made visible, and
// cut after a few dozen characters.
std::string quotedExcerpt(std::string_view text);

}  // namespace cli
