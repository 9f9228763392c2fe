#include "dropped_files.h"

#include <algorithm>
#include <array>
#include <exception>
#include <map>
#include <optional>
#include <system_error>
#include <utility>

#include "catalogue.h"
#include "cell_values.h"
#include "columns.h"
#include "csv_edits.h"
#include "family.h"
#include "file_io.h"
#include "messages.h"
#include "records.h"
#include "staging.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t listedCsvRefusals = 5;  // a message box shows a few; the CLI lists them all

const std::string whatMayBeDropped =
    "可以拖入：装有 wpNN.col 和 wpNN_01.col 的文件夹，这两个文件，或一个 CSV 文件（brindlemark-cli list 的格式）";

// Ends the reading of a drop with its refusal.
struct Refused {
    DropRefusal refusal;
};

[[noreturn]] void refuse(fs::path path, std::string reason) { throw Refused{{std::move(path), std::move(reason)}}; }

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string fileName(const fs::path& path) { return lowerAscii(helper::pathText(path.filename())); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// What a name like "wp03.col" or "WP03_01.COL" says: the NN and the file index.
struct CollisionName {
    std::string code;
    int fileIndex;
};

std::optional<CollisionName> collisionName(const fs::path& path) {
    const std::string name = fileName(path);
    if (name.size() < 8 || name.compare(0, 2, "wp") != 0 || !isDigit(name[2]) || !isDigit(name[3])) {
        return std::nullopt;
    }
    const std::string rest = name.substr(4);
    if (rest == ".col") return CollisionName{name.substr(2, 2), 0};
    if (rest == "_01.col") return CollisionName{name.substr(2, 2), 1};
    return std::nullopt;
}

// The files a spreadsheet saves a list as: CSV, and "Unicode text".
bool isListName(const fs::path& path) {
    const std::string extension = lowerAscii(helper::pathText(path.extension()));
    return extension == ".csv" || extension == ".txt";
}

std::string familyName(std::string_view code) {
    for (const helper::CodeName& family : helper::weaponTypes) {
        if (family.code == code) return std::string(family.name);
    }
    return "";
}

// What the drop asks for: a family's pair of collision files, or a list.
struct Request {
    std::string code;                // the family
    std::array<fs::path, 2> files;   // wpNN.col, wpNN_01.col; empty for a list
    fs::path list;                   // the list of edits; empty for a pair
};

// The pair of a family in a folder, the only complete one there.
Request folderRequest(const fs::path& folder) {
    std::map<std::string, std::array<fs::path, 2>> found;  // code -> files, in code order
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const auto name = collisionName(entry->path());
        if (!name) continue;
        fs::path& slot = found[name->code][static_cast<std::size_t>(name->fileIndex)];
        if (!slot.empty()) {
            // Only where names differ in case alone, on a file system that tells them apart.
            refuse(folder, "文件夹里有两个 " + helper::collisionFileName(name->code, name->fileIndex) + "：" +
                               helper::pathText(slot.filename()) + " 和 " +
                               helper::pathText(entry->path().filename()));
        }
        slot = entry->path();
    }
    if (error) refuse(folder, error.message());

    std::vector<std::string> complete;
    for (const auto& [code, files] : found) {
        if (!files[0].empty() && !files[1].empty()) complete.push_back(code);
    }
    if (complete.size() == 1) {
        const std::string& code = complete.front();
        return {code, found[code], {}};
    }
    if (complete.size() > 1) {
        std::string codes;
        for (const std::string& code : complete) codes += (codes.empty() ? "wp" : "、wp") + code;
        refuse(folder, "文件夹里有不止一种武器的碰撞文件（" + codes + "），请只拖入其中一对");
    }
    if (!found.empty()) {
        const auto& [code, files] = *found.begin();
        const int present = files[0].empty() ? 1 : 0;
        refuse(folder, "文件夹里有 " + helper::collisionFileName(code, present) + "，但没有 " +
                           helper::collisionFileName(code, 1 - present));
    }
    refuse(folder, "文件夹里没有 wpNN.col 和 wpNN_01.col。\n" + whatMayBeDropped);
}

Request classify(const std::vector<fs::path>& paths) {
    if (paths.size() == 1) {
        const fs::path& path = paths.front();
        std::error_code error;
        if (fs::is_directory(path, error)) return folderRequest(path);
        if (const auto name = collisionName(path)) {
            refuse(path, "请把 " + helper::collisionFileName(name->code, 0) + " 和 " +
                             helper::collisionFileName(name->code, 1) + " 一起拖入，或拖入它们所在的文件夹");
        }
        if (isListName(path)) return {"", {}, path};
        refuse(path, "它不是 CSV 文件，也不是碰撞文件。\n" + whatMayBeDropped);
    }
    if (paths.size() == 2) {
        const auto first = collisionName(paths[0]);
        const auto second = collisionName(paths[1]);
        if (first && second && first->code == second->code && first->fileIndex != second->fileIndex) {
            Request request{first->code, {}, {}};
            request.files[static_cast<std::size_t>(first->fileIndex)] = paths[0];
            request.files[static_cast<std::size_t>(second->fileIndex)] = paths[1];
            return request;
        }
        refuse({}, "拖入的两个文件不是同一种武器的 wpNN.col 和 wpNN_01.col。\n" + whatMayBeDropped);
    }
    refuse({}, "一次拖入了 " + std::to_string(paths.size()) + " 个文件或文件夹。\n" + whatMayBeDropped);
}

// The bytes of a dropped file, which is never written: a regular file of at
// most `maxBytes`, or one byte more to tell a larger one.
cli::Bytes readDropped(const fs::path& path, std::size_t maxBytes) {
    if (!helper::isRegularFile(path)) refuse(path, "it is not a regular file");
    try {
        return helper::readFileStart(path, maxBytes + 1);
    } catch (const helper::FileError& failure) {
        refuse(path, failure.reason());
    }
}

// The family's templates as a load reads them.
cli::FamilyFiles familyTemplates(const std::string& code, const helper::Folders& folders) {
    if (!helper::hasTemplates(code, folders)) {
        refuse({}, familyName(code) + "没有模板：请把 " + helper::collisionFileName(code, 0) + " 和 " +
                       helper::collisionFileName(code, 1) + " 放进程序所在文件夹的 res 文件夹里");
    }
    try {
        return cli::templateFiles(folders, code);
    } catch (const helper::FileError& failure) {
        refuse({}, std::string(messages::loadFailed) + failureText(failure));
    }
}

std::vector<bool> slotsOfFile(const std::vector<helper::ActionRow>& rows, int fileIndex, std::uint32_t recordCount) {
    std::vector<bool> slots(recordCount, false);
    for (const helper::ActionRow& row : rows) {
        if (row.fileIndex == fileIndex) slots[static_cast<std::size_t>(row.actIndex)] = true;
    }
    return slots;
}

// A dropped collision file must be the template with nothing but the edited
// fields of the family's actions changed; its editable rows, in slot order.
std::vector<helper::ActionRow> droppedRows(const fs::path& path, const cli::FamilyFiles& templates, int fileIndex,
                                           const std::vector<helper::ActionRow>& templateRows) {
    const cli::Bytes bytes = readDropped(path, maxCollisionBytes);
    if (bytes.size() > maxCollisionBytes) {
        refuse(path, "the file is larger than " + std::to_string(maxCollisionBytes >> 20) +
                         " MiB; a collision file is a few dozen KiB");
    }
    const helper::LayoutWalk walk = helper::walkCollisionFile(bytes.data(), bytes.size());
    if (!walk.ok()) refuse(path, walk.faultText());

    const auto file = static_cast<std::size_t>(fileIndex);
    const helper::CollisionLayout& expected = templates.layouts[file];
    const helper::CollisionLayout& layout = walk.layout;
    const std::string family = familyName(templates.weaponType);
    if (layout.recordTable != expected.recordTable || layout.recordCount != expected.recordCount) {
        refuse(path, "its record table starts at " + std::to_string(layout.recordTable) + " and holds " +
                         std::to_string(layout.recordCount) + " records; the templates of " + family +
                         " have theirs at " + std::to_string(expected.recordTable) + " with " +
                         std::to_string(expected.recordCount) + " (a file of another family, or of another version?)");
    }
    const cli::Bytes& original = templates.bytes[file];
    if (bytes.size() != original.size()) {
        refuse(path, "it is " + std::to_string(bytes.size()) + " bytes long, the template of " + family + " " +
                         std::to_string(original.size()) + ": an export would not keep the difference");
    }
    const std::vector<bool> edited = slotsOfFile(templateRows, fileIndex, layout.recordCount);
    const std::size_t tableEnd = layout.recordOffset(static_cast<int>(layout.recordCount));
    for (std::size_t offset = 0; offset < bytes.size(); ++offset) {
        if (bytes[offset] == original[offset]) continue;
        const bool inTable = offset >= layout.recordTable && offset < tableEnd;
        const std::size_t slot = inTable ? (offset - layout.recordTable) / helper::recordSize : 0;
        if (inTable && edited[slot] && helper::isEditableByte((offset - layout.recordTable) % helper::recordSize)) {
            continue;
        }
        refuse(path, "byte " + std::to_string(offset) +
                         (inTable ? " (in the record of slot " + std::to_string(slot) + ")" : "") +
                         " differs from the template of " + family +
                         ", and the editor does not edit it: an export would not keep it");
    }

    std::vector<helper::ActionRow> rows;
    helper::appendActionRows(bytes.data(), layout, templates.weaponType, fileIndex, nullptr, rows);
    for (int slot = 0; slot < static_cast<int>(layout.recordCount); ++slot) {
        const bool action = std::any_of(rows.begin(), rows.end(),
                                        [slot](const helper::ActionRow& row) { return row.actIndex == slot; });
        if (edited[static_cast<std::size_t>(slot)] && !action) {
            const int damage = bytes[layout.recordOffset(slot) + helper::damageTypeOffset];
            refuse(path, "the record of slot " + std::to_string(slot) + " has the damage type " +
                             std::to_string(damage) + ", which is none of 1 (切断), 2 (打击) and 3 (弹)");
        }
    }
    return rows;
}

// The damage type and the seven values of every action, from both files.
std::vector<CellText> pairCells(const Request& request, const cli::FamilyFiles& templates,
                                const std::vector<helper::ActionRow>& templateRows) {
    std::vector<CellText> cells;
    int gridRow = 0;
    for (int fileIndex = 0; fileIndex < cli::fileCount; ++fileIndex) {
        const fs::path& path = request.files[static_cast<std::size_t>(fileIndex)];
        for (const helper::ActionRow& row : droppedRows(path, templates, fileIndex, templateRows)) {
            ++gridRow;
            cells.push_back({gridRow, damageTypeColumn, ui_damageType(row.damageType)});
            for (std::size_t field = 0; field < helper::valueMembers<helper::ActionRow>.size(); ++field) {
                cells.push_back({gridRow, firstValueColumn + static_cast<int>(field),
                                 row.*helper::valueMembers<helper::ActionRow>[field]});
            }
        }
    }
    return cells;
}

std::string csvRefusalsText(const cli::Refusals& refusals) {
    std::string text;
    for (std::size_t i = 0; i < refusals.listed.size() && i < listedCsvRefusals; ++i) {
        const cli::Refusal& refusal = refusals.listed[i];
        if (!text.empty()) text += "\n";
        if (refusal.line) text += "第" + std::to_string(refusal.line) + "行，";
        if (!refusal.column.empty()) text += refusal.column + "：";
        text += refusal.reason;
    }
    if (refusals.count > listedCsvRefusals) text += "\n……共 " + std::to_string(refusals.count) + " 处";
    return text;
}

// The cells a list gives a value for: damage types and values, as the file
// holds them (a decimal comma read as the point, as the CLI reads it).
std::vector<CellText> listCells(const fs::path& path, const std::vector<helper::ActionRow>& templateRows) {
    const cli::Bytes bytes = readDropped(path, cli::maxCsvBytes);
    const cli::CsvEdits edits =
        cli::readCsvEdits(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), templateRows);
    if (!edits.refusals.empty()) refuse(path, csvRefusalsText(edits.refusals));
    std::vector<CellText> cells;
    for (const cli::ActionEdit& action : edits.actions) {
        for (const cli::CellEdit& cell : action.cells) {
            const cli::Column& column = cli::columns[cell.column];
            const int gridColumn = column.kind == cli::ColumnKind::damageType
                                       ? damageTypeColumn
                                       : firstValueColumn + static_cast<int>(column.valueField);
            cells.push_back({static_cast<int>(action.row) + 1, gridColumn, cell.text});
        }
    }
    return cells;
}

DropPlan plan(const std::vector<fs::path>& paths, std::string_view selectedFamily, const helper::Folders& folders) {
    Request request = classify(paths);
    if (request.code.empty()) {
        const std::string_view family = selectedFamily.empty() ? listFamilyWithoutSelection : selectedFamily;
        const auto code = helper::weaponTypeCode(family);
        if (!code) refuse({}, "“" + std::string(family) + "”不是武器类型");
        request.code = std::string(*code);
    } else if (familyName(request.code).empty()) {
        refuse(request.files[0], "wp" + request.code + " 不是任何武器类型的文件（wp00 到 wp13）");
    }

    const cli::FamilyFiles templates = familyTemplates(request.code, folders);
    DropPlan result{familyName(request.code), cli::actionRows(templates), {}};
    result.cells = request.list.empty() ? pairCells(request, templates, result.rows)
                                        : listCells(request.list, result.rows);
    return result;
}

}  // namespace

DropDecision decideDrop(const std::vector<fs::path>& paths, std::string_view selectedFamily,
                        const helper::Folders& folders) {
    try {
        return plan(paths, selectedFamily, folders);
    } catch (const Refused& refused) {
        return refused.refusal;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& failure) {
        // The system could not convert a list's code page, or the like.
        return DropRefusal{{}, failureText(failure)};
    }
}

std::string dropRefusedMessage(const DropRefusal& refusal) {
    std::string text(messages::dropRefused);
    if (!refusal.path.empty()) text += helper::pathText(refusal.path);
    return text + "\n" + refusal.reason;
}

void onFilesDropped(const std::vector<fs::path>& paths, const std::string& selectedFamily,
                    const std::function<void(const std::string& family)>& selectFamily, ActionTable& table,
                    Notices& notices) {
    const DropDecision decision = decideDrop(paths, selectedFamily, table.folders());
    if (const auto* refusal = std::get_if<DropRefusal>(&decision)) {
        notices.notice(dropRefusedMessage(*refusal));
        return;
    }
    const DropPlan& accepted = std::get<DropPlan>(decision);
    if (accepted.family != selectedFamily) selectFamily(accepted.family);
    table.onDropAccepted(accepted.family, accepted.rows, accepted.cells);
}
