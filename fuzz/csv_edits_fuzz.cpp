// The edit reading of the command line's apply on any file bytes, against the
// built-in templates. A refused file yields no files at all; an accepted one
// yields both templates with changes only in the damage byte and the seven
// floats of the actions it lists, each such record holding a damage type code
// and seven finite floats below 65535 afterwards, and loading as the same
// actions. Refusals are listed in line order, at most listedRefusals of them;
// each action is edited at most once.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "builtin_family.h"
#include "collision_layout.h"
#include "columns.h"
#include "csv_edits.h"
#include "edits.h"
#include "float32.h"
#include "fuzz_support.h"
#include "records.h"

namespace {

void checkRefusals(const std::vector<cli::Refusal>& listed, std::size_t count) {
    fuzz::require(listed.size() <= cli::listedRefusals && listed.size() <= count,
                  "at most listedRefusals refusals are listed, and no more than counted");
    fuzz::require(std::is_sorted(listed.begin(), listed.end(),
                                 [](const cli::Refusal& a, const cli::Refusal& b) { return a.line < b.line; }),
                  "refusals are listed in line order");
    for (const cli::Refusal& refusal : listed) fuzz::require(!refusal.reason.empty(), "a refusal gives a reason");
}

void checkReading(std::string_view bytes, const std::vector<helper::ActionRow>& rows) {
    const cli::CsvEdits edits = cli::readCsvEdits(bytes, rows);
    checkRefusals(edits.refusals.listed, edits.refusals.count);
    std::vector<bool> edited(rows.size(), false);
    std::size_t previousLine = 0;
    for (const cli::ActionEdit& action : edits.actions) {
        fuzz::require(action.row < rows.size() && !edited[action.row], "an edit names an action, each at most once");
        edited[action.row] = true;
        fuzz::require(action.line > previousLine, "edits are in line order, one per line");
        previousLine = action.line;
        for (const cli::CellEdit& cell : action.cells) {
            const cli::ColumnKind kind = cli::columns.at(cell.column).kind;
            fuzz::require(kind == cli::ColumnKind::damageType || kind == cli::ColumnKind::value,
                          "an edited cell is a damage type or a value");
        }
    }
}

void checkOutcome(const cli::EditOutcome& outcome, const cli::FamilyFiles& templates,
                  const std::vector<helper::ActionRow>& rows) {
    checkRefusals(outcome.refusals, outcome.refusalCount);
    if (outcome.refusalCount > 0) {
        fuzz::require(outcome.files.bytes[0].empty() && outcome.files.bytes[1].empty() && outcome.editedActions == 0,
                      "a refused file yields no files");
        return;
    }
    fuzz::require(outcome.editedActions <= rows.size(), "no more actions edited than there are");
    for (std::size_t file = 0; file < templates.bytes.size(); ++file) {
        const cli::Bytes& before = templates.bytes[file];
        const cli::Bytes& after = outcome.files.bytes[file];
        fuzz::require(after.size() == before.size(), "an edited file keeps its length");
        fuzz::require(helper::walkCollisionFile(after.data(), after.size()).ok(), "an edited file keeps its layout");
        for (std::size_t offset = 0; offset < before.size(); ++offset) {
            if (after[offset] == before[offset]) continue;
            const std::size_t table = templates.layouts[file].recordTable;
            const std::size_t inRecord = (offset - table) % helper::recordSize;
            const std::size_t tableEnd = table + helper::recordSize * templates.layouts[file].recordCount;
            if (offset < table || offset >= tableEnd || !helper::isEditableByte(inRecord)) {
                fuzz::fail("only the damage byte and the floats of a record change",
                           "file " + std::to_string(file) + ", byte " + std::to_string(offset));
            }
        }
    }
    for (const helper::ActionRow& row : rows) {
        const std::uint8_t* record = outcome.files.bytes[static_cast<std::size_t>(row.fileIndex)].data() +
                                     cli::recordOffset(templates, row.fileIndex, row.actIndex);
        const int damage = record[helper::damageTypeOffset];
        fuzz::require(damage >= 1 && damage <= 3, "an action keeps a damage type code");
        for (const std::size_t offset : helper::valueOffsets) {
            const float value = helper::loadFloat32(record + offset);
            if (!std::isfinite(value) || !(value < 65535.0f)) {
                fuzz::fail("every value written is a finite float below 65535",
                           "slot " + std::to_string(row.actIndex) + " of file " + std::to_string(row.fileIndex) +
                               " holds " + std::to_string(value));
            }
        }
    }
    fuzz::require(cli::actionRows(outcome.files).size() == rows.size(), "the edited files load as the same actions");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ExactCopy input(data, size);
    const cli::FamilyFiles& templates = fuzz::builtinFamily();
    static const std::vector<helper::ActionRow> rows = cli::actionRows(templates);

    checkReading(input.text(), rows);
    checkOutcome(cli::applyEdits(input.text(), templates), templates, rows);
    return 0;
}
