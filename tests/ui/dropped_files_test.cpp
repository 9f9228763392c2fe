#include "dropped_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "exported_mod.h"
#include "fakes.h"
#include "file_io.h"
#include "fixtures.h"
#include "generated_family.h"

namespace {

using testing_support::Bytes;
using testing_support::exportedMod;
using testing_support::fileBytes;
using testing_support::generatedFile;
using testing_support::templateBytes;
using testing_support::writeBytes;

namespace fs = std::filesystem;

void writeText(const fs::path& path, const std::string& text) { writeBytes(path, Bytes(text.begin(), text.end())); }

void writePair(const fs::path& folder, const std::string& code, const Bytes& file0, const Bytes& file1) {
    writeBytes(folder / ("wp" + code + ".col"), file0);
    writeBytes(folder / ("wp" + code + "_01.col"), file1);
}

class Drop : public ::testing::Test {
protected:
    testing_support::TempFolders temp;
    fs::path drops = temp.root.path() / "drops";

    // The mod exported into a folder of its own, as the editor's output tree holds it.
    fs::path modFolder() {
        const auto mod = exportedMod();
        const fs::path folder = drops / "mod";
        writePair(folder, "00", mod[0], mod[1]);
        return folder;
    }

    DropRefusal refusal(const std::vector<fs::path>& paths, const std::string& selected = "") {
        DropDecision decision = decideDrop(paths, selected, temp.folders);
        EXPECT_TRUE(std::holds_alternative<DropRefusal>(decision));
        return std::holds_alternative<DropRefusal>(decision) ? std::get<DropRefusal>(decision) : DropRefusal{};
    }
    DropPlan plan(const std::vector<fs::path>& paths, const std::string& selected = "") {
        DropDecision decision = decideDrop(paths, selected, temp.folders);
        if (const auto* refused = std::get_if<DropRefusal>(&decision)) {
            ADD_FAILURE() << dropRefusedMessage(*refused);
            return {};
        }
        return std::get<DropPlan>(decision);
    }
};

// The text a plan gives a cell, "(none)" when it gives none.
std::string planned(const DropPlan& plan, int row, int column) {
    for (const CellText& cell : plan.cells) {
        if (cell.row == row && cell.column == column) return cell.text;
    }
    return "(none)";
}

TEST_F(Drop, AFolderOrItsTwoFilesGiveEveryDamageTypeAndValueOfTheMod) {
    const fs::path folder = modFolder();
    writeText(folder / "readme.txt", "stray files beside the pair are left alone");
    for (const auto& paths : {std::vector<fs::path>{folder},
                              std::vector<fs::path>{folder / "wp00_01.col", folder / "wp00.col"}}) {
        const DropPlan got = plan(paths);
        EXPECT_EQ(got.family, "大剑");
        ASSERT_EQ(got.rows.size(), 60u);
        EXPECT_EQ(got.cells.size(), 60u * 8);
        EXPECT_EQ(planned(got, 1, 4), "打击");
        EXPECT_EQ(planned(got, 1, 5), "250");
        EXPECT_EQ(planned(got, 1, 6), "1");
        EXPECT_EQ(planned(got, 9, 9), "35");
        EXPECT_EQ(planned(got, 9, 7), "1.15");  // as the template has it
        EXPECT_EQ(planned(got, 60, 4), "打击");
        EXPECT_EQ(planned(got, 60, 6), "1.35");
        EXPECT_EQ(planned(got, 60, 11), "12.5");
        EXPECT_EQ(planned(got, 1, 3), "(none)");  // names, keys and the hidden columns stay the load's
    }
}

TEST_F(Drop, AListGivesItsCellsForTheSelectedFamilyOrTheGreatSword) {
    const fs::path csv = drops / "edits.csv";
    writeText(csv, testing_support::spreadsheetList);
    const fs::path unicodeText = drops / "edits.txt";  // tab-separated, as a spreadsheet's "Unicode text"
    writeText(unicodeText, "动作序号\t动作值\n05\t\n");
    const std::vector<CellText> listed = {{1, 4, "弹"}, {1, 6, "1.25"}, {60, 4, "切断"}, {60, 6, "2"}};
    for (const std::string selected : {"", "大剑"}) {
        const DropPlan got = plan({csv}, selected);
        EXPECT_EQ(got.family, "大剑");
        EXPECT_EQ(got.cells, listed);
    }
    // An empty cell is set as it stands: the export names it, as after typing.
    EXPECT_EQ(plan({unicodeText}).cells, (std::vector<CellText>{{6, 5, ""}}));

    writePair(temp.folders.program / "res", "03", generatedFile(0), generatedFile(1));
    writeText(csv, "动作序号,骑乘值\n11,7\n");
    const DropPlan longSword = plan({csv}, "太刀");
    EXPECT_EQ(longSword.family, "太刀");
    EXPECT_EQ(longSword.cells, (std::vector<CellText>{{7, 11, "7"}}));
}

TEST_F(Drop, TheFamilyOfCollisionFilesIsInTheirNames) {
    writePair(temp.folders.program / "res", "03", generatedFile(0), generatedFile(1));
    writePair(drops / "long", "03", generatedFile(0), generatedFile(1));
    const DropPlan got = plan({drops / "long"}, "大剑");
    EXPECT_EQ(got.family, "太刀");
    EXPECT_EQ(got.rows.size(), 7u);
    EXPECT_EQ(planned(got, 4, 4), "打击");
    EXPECT_EQ(planned(got, 4, 9), "15");
    // Names in capitals, as some tools write them.
    writePair(drops / "upper", "03", generatedFile(0), generatedFile(1));
    fs::rename(drops / "upper" / "wp03.col", drops / "upper" / "WP03.COL");
    EXPECT_EQ(plan({drops / "upper" / "WP03.COL", drops / "upper" / "wp03_01.col"}).family, "太刀");
}

TEST_F(Drop, DropsOfOtherKindsAreRefusedWithTheirReason) {
    const fs::path folder = modFolder();
    writeText(drops / "notes.txt", "my notes\nabout the mod\n");
    writeText(drops / "readme.md", "#");
    writePair(drops / "two", "00", templateBytes(0), templateBytes(1));
    writePair(drops / "two", "03", generatedFile(0), generatedFile(1));
    writeBytes(drops / "half" / "wp00.col", templateBytes(0));
    fs::create_directories(drops / "empty");
    writePair(drops / "fourteen", "14", templateBytes(0), templateBytes(1));

    struct Case {
        std::vector<fs::path> paths;
        fs::path path;         // of the refusal
        std::string reason;    // the start of its reason
    };
    const fs::path wp00 = folder / "wp00.col", wp01 = folder / "wp00_01.col";
    const Case cases[] = {
        {{}, {}, "一次拖入了 0 个文件或文件夹。\n可以拖入：装有 wpNN.col"},
        {{wp00, wp01, drops / "notes.txt"}, {}, "一次拖入了 3 个文件或文件夹。"},
        {{folder, drops / "two"}, {}, "拖入的两个文件不是同一种武器的 wpNN.col 和 wpNN_01.col。"},
        {{wp00, wp00}, {}, "拖入的两个文件不是同一种武器的"},
        {{wp00, drops / "two" / "wp03_01.col"}, {}, "拖入的两个文件不是同一种武器的"},
        {{wp01}, wp01, "请把 wp00.col 和 wp00_01.col 一起拖入，或拖入它们所在的文件夹"},
        {{drops / "readme.md"}, drops / "readme.md", "它不是 CSV 文件，也不是碰撞文件。"},
        {{drops / "notes.txt"}, drops / "notes.txt", "第1行，my notes：unknown column \"my notes\""},
        {{drops / "gone.csv"}, drops / "gone.csv", "it is not a regular file"},
        {{drops / "empty"}, drops / "empty", "文件夹里没有 wpNN.col 和 wpNN_01.col。"},
        {{drops / "half"}, drops / "half", "文件夹里有 wp00.col，但没有 wp00_01.col"},
        {{drops / "two"}, drops / "two", "文件夹里有不止一种武器的碰撞文件（wp00、wp03），请只拖入其中一对"},
        {{drops / "fourteen"}, drops / "fourteen" / "wp14.col", "wp14 不是任何武器类型的文件（wp00 到 wp13）"},
        {{drops / "two" / "wp03.col", drops / "two" / "wp03_01.col"}, {},
         "太刀没有模板：请把 wp03.col 和 wp03_01.col 放进程序所在文件夹的 res 文件夹里"},
    };
    for (const Case& c : cases) {
        const DropRefusal got = refusal(c.paths);
        EXPECT_EQ(got.path, c.path) << c.reason;
        EXPECT_EQ(got.reason.substr(0, c.reason.size()), c.reason) << got.reason;
    }
}

TEST_F(Drop, CollisionFilesThatAnExportWouldNotReproduceAreRefused) {
    const auto mod = exportedMod();
    struct Case {
        const char* what;
        std::function<void(Bytes&)> change;  // of the mod's wp00.col
        std::string reason;
    };
    const Case cases[] = {
        {"truncated", [](Bytes& b) { b.resize(9000); },
         "at 3677: the record count 66 does not fit: it needs 14322 bytes, 5315 bytes are left"},
        {"another family's", [](Bytes& b) { b = generatedFile(0); },
         "its record table starts at 574 and holds 6 records; the templates of 大剑 have theirs at 3685 with 66"},
        {"longer", [](Bytes& b) { b.insert(b.end(), 4, 0); },
         "it is 18051 bytes long, the template of 大剑 18047: an export would not keep the difference"},
        {"a byte the editor does not edit", [](Bytes& b) { b[3685 + 7 * 217 + 4] = 1; },
         "byte 5208 (in the record of slot 7) differs from the template of 大剑, and the editor does not edit it"},
        {"a name changed", [](Bytes& b) { b[30] ^= 1; }, "byte 30 differs from the template of 大剑"},
        {"an action without a damage type", [](Bytes& b) { b[3685 + 4] = 0; },
         "the record of slot 0 has the damage type 0, which is none of 1 (切断), 2 (打击) and 3 (弹)"},
    };
    for (const Case& c : cases) {
        Bytes changed = mod[0];
        c.change(changed);
        const fs::path folder = drops / c.what;
        writePair(folder, "00", changed, mod[1]);
        const DropRefusal got = refusal({folder});
        EXPECT_EQ(got.path, folder / "wp00.col") << c.what;
        EXPECT_EQ(got.reason.substr(0, c.reason.size()), c.reason) << c.what << ": " << got.reason;
    }
}

TEST_F(Drop, AListWithRefusedLinesIsRefusedWithTheFirstFew) {
    const fs::path csv = drops / "edits.csv";
    std::string text = "动作序号,动作值\n00,1\n99,2\n";
    for (int i = 0; i < 6; ++i) text += "7,3\n";
    writeText(csv, text);
    const DropRefusal got = refusal({csv});
    EXPECT_EQ(got.path, csv);
    EXPECT_EQ(got.reason.rfind("第3行，动作序号：unknown action number \"99\"\n第4行，动作序号：", 0), 0u) << got.reason;
    EXPECT_EQ(std::count(got.reason.begin(), got.reason.end(), '\n'), 5) << got.reason;
    EXPECT_NE(got.reason.find("\n……共 7 处"), std::string::npos) << got.reason;
}

class DroppedOnTheTable : public Drop {
protected:
    MainState state;
    FakeGrid grid;
    FakeNotices notices;
    ActionTable table{state, grid, notices, temp.folders};
    std::vector<std::string> selected;  // what the drop put into the selector

    void drop(const std::vector<fs::path>& paths, const std::string& selectedFamily) {
        onFilesDropped(paths, selectedFamily, [this](const std::string& family) { selected.push_back(family); },
                       table, notices);
    }
    std::string exportMessage() {
        notices.shown.clear();
        table.onExport();
        return notices.shown.empty() ? "" : notices.shown.back();
    }
};

TEST_F(DroppedOnTheTable, SetsTheCellsOverAFreshLoadAndTheExportWritesTheModBack) {
    table.onFamilySelected("大剑");
    grid.setCell(2, 5, "77");  // an edit the drop's load discards
    drop({modFolder()}, "大剑");
    EXPECT_TRUE(notices.shown.empty()) << notices.shown.front();
    EXPECT_TRUE(selected.empty());
    ASSERT_EQ(grid.rowCount(), 60);
    EXPECT_EQ(grid.rows[0], (std::vector<std::string>{"", "00", "直斩", "打击", "250", "1", "1", "1", "0", "0", "0",
                                                      "4;combobox;{切断,打击,弹}", "0", "0"}));
    EXPECT_EQ(grid.cell(2, 5), "26");
    EXPECT_EQ(grid.cell(60, 11), "12.5");
    EXPECT_FALSE(fs::exists(temp.folders.outputBase));  // nothing written before the export

    EXPECT_EQ(exportMessage(), "导出成功，在程序运行目录下的out文件夹");
    const auto mod = exportedMod();
    EXPECT_EQ(fileBytes(helper::outputFile(temp.folders, "00", 0)), mod[0]);
    EXPECT_EQ(fileBytes(helper::outputFile(temp.folders, "00", 1)), mod[1]);
}

TEST_F(DroppedOnTheTable, ChoosesTheFamilyOfTheFilesInTheSelector) {
    writePair(temp.folders.program / "res", "03", generatedFile(0), generatedFile(1));
    const Bytes file1 = testing_support::longSwordModFile1();
    writePair(drops, "03", generatedFile(0), file1);
    drop({drops / "wp03.col", drops / "wp03_01.col"}, "");
    EXPECT_EQ(selected, (std::vector<std::string>{"太刀"}));
    EXPECT_TRUE(notices.shown.empty());
    ASSERT_EQ(grid.rowCount(), 7);
    EXPECT_EQ(grid.cell(7, 5), "40");
    EXPECT_EQ(grid.cell(7, 3), "居合");
}

TEST_F(DroppedOnTheTable, ARefusedDropLeavesTheGridAndTheRowsAsTheyWere) {
    table.onFamilySelected("大剑");
    grid.setCell(2, 5, "77");
    grid.setCell(3, 1, "√");
    const auto rowsBefore = grid.rows;
    const auto loadedBefore = state.loadedActions;
    const fs::path folder = modFolder();
    Bytes truncated = templateBytes(0);
    truncated.resize(100);
    writeBytes(folder / "wp00.col", truncated);

    drop({folder}, "大剑");
    EXPECT_EQ(notices.shown, (std::vector<std::string>{"无法使用拖入的文件：" + helper::pathText(folder / "wp00.col") +
                                                       "\nat 16: the name count 67 does not fit: it needs at least "
                                                       "1340 bytes, 80 bytes are left"}));
    EXPECT_EQ(grid.rows, rowsBefore);
    EXPECT_EQ(state.loadedActions, loadedBefore);
    EXPECT_TRUE(selected.empty());
    EXPECT_FALSE(fs::exists(temp.folders.outputBase));
}

TEST_F(DroppedOnTheTable, TemplatesThatChangeBeforeTheLoadLeaveTheCellsUnset) {
    const fs::path folder = modFolder();
    DropPlan plan = std::get<DropPlan>(decideDrop({folder}, "", temp.folders));
    plan.rows[0].actVal = "47";  // as if wp00.col in res\ had been replaced meanwhile
    table.onDropAccepted(plan.family, plan.rows, plan.cells);
    EXPECT_EQ(notices.shown, (std::vector<std::string>{"载入时模板文件变了，拖入的文件没有用上，请再拖入一次"}));
    ASSERT_EQ(grid.rowCount(), 60);
    EXPECT_EQ(grid.cell(1, 5), "48");
    EXPECT_TRUE(grid.focused);
}

}  // namespace
