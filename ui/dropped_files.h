// Files dropped on the window to go on with a mod:
//   - a folder holding one family's wpNN.col and wpNN_01.col (as the editor
//     exports them into out\nativePC\hm\wp\wpNN\collision\),
//   - those two files themselves, in any order,
//   - one list of edits in the CSV form of `brindlemark-cli list`, read with
//     that command's tolerance of what spreadsheets save (.csv, or .txt for
//     their "Unicode text").
// The family of collision files is the NN of their names; a list names no
// family, so it is read as one of the family chosen in the selector, or of
// the great sword when none is chosen.
//
// Everything dropped is read and checked before the grid is touched, so that a
// refused drop changes nothing. Collision files must follow the collision-file
// layout with their record tables where the family's templates have theirs,
// holding as many records, and must equal the templates in every byte the
// editor does not edit: an export carries only the edited fields, and would
// lose anything else. An accepted drop loads the family from its templates,
// as choosing it does, and sets every cell the files give a value for as if
// it had been typed; nothing is checked or written until export.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "action_row.h"
#include "action_table.h"
#include "folders.h"
#include "grid_cells.h"

// The largest file read as a collision file: the game's are a few dozen KiB.
inline constexpr std::size_t maxCollisionBytes = std::size_t{4} << 20;

// The family a list of edits is read for when the selector shows none.
inline constexpr std::string_view listFamilyWithoutSelection = "大剑";

struct DropPlan {
    std::string family;                   // display name, "大剑"
    std::vector<helper::ActionRow> rows;  // the family's rows as a load gives them, in grid order
    std::vector<CellText> cells;          // grid row n is rows[n - 1]
};

struct DropRefusal {
    std::filesystem::path path;  // the file or folder refused; empty when the drop as a whole is
    std::string reason;
};

using DropDecision = std::variant<DropPlan, DropRefusal>;

// Reads and checks the dropped paths. `selectedFamily` is the text of the
// selector's selected item, "" when none is selected. Throws nothing but
// std::bad_alloc: every failure, of the files or of the templates, is a refusal.
DropDecision decideDrop(const std::vector<std::filesystem::path>& paths, std::string_view selectedFamily,
                        const helper::Folders& folders);

// "无法使用拖入的文件：" followed by the path, a line break and the reason.
std::string dropRefusedMessage(const DropRefusal& refusal);

// The window's handling of a drop: a refusal is shown and changes nothing;
// otherwise `selectFamily` shows the family in the selector (without loading
// it) where another one is selected, and the table loads it with the cells.
void onFilesDropped(const std::vector<std::filesystem::path>& paths, const std::string& selectedFamily,
                    const std::function<void(const std::string& family)>& selectFamily, ActionTable& table,
                    Notices& notices);
