#include "action_table.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "file_io.h"
#include "fixtures.h"
#include "generated_family.h"
#include "messages.h"

namespace {

using testing_support::Bytes;
using testing_support::fileBytes;
using testing_support::templateBytes;
using testing_support::writeBytes;

namespace fs = std::filesystem;

class Table : public ::testing::Test {
protected:
    testing_support::TempFolders temp;
    MainState state;
    FakeGrid grid;
    FakeNotices notices;
    ActionTable table{state, grid, notices, temp.folders};

    fs::path output(int fileIndex) const { return helper::outputFile(temp.folders, "00", fileIndex); }

    // Exports and returns the one message it showed.
    std::string exportMessage() {
        notices.shown.clear();
        table.onExport();
        EXPECT_EQ(notices.shown.size(), 1u);
        return notices.shown.empty() ? "" : notices.shown.back();
    }
};

TEST_F(Table, ChoosingTheGreatSwordShowsItsSixtyActions) {
    table.onFamilySelected("大剑");
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_TRUE(grid.focused);
    ASSERT_EQ(grid.rowCount(), 60);
    ASSERT_TRUE(state.loadedActions);
    EXPECT_EQ(state.loadedActions->size(), 60u);

    const std::vector<std::string> first = {"", "00", "直斩", "切断", "48", "1", "1", "1", "0", "0", "0",
                                            "4;combobox;{切断,打击,弹}", "0", "0"};
    const std::vector<std::string> last = {"", "13", "冲撞攻击3", "打击", "48", "1.5", "0", "0", "55", "30", "0",
                                           "4;combobox;{切断,打击,弹}", "1", "3"};
    EXPECT_EQ(grid.rows.front(), first);
    EXPECT_EQ(grid.rows.back(), last);
    EXPECT_EQ(grid.cell(11, 2), "011");  // slot 11 has no name
    EXPECT_EQ(grid.cell(11, 3), "");
    EXPECT_EQ(grid.cell(10, 2), "010");  // slot 7 is not an action, so slot 10 is row 10
    EXPECT_EQ(grid.cell(10, 3), "强蓄力斩3");
    EXPECT_EQ(grid.cell(10, 7), "1.2");
    EXPECT_EQ(grid.cell(9, 7), "1.15");
}

TEST_F(Table, OtherFamiliesAreRefusedAndLeaveAnEmptyGrid) {
    table.onFamilySelected("大剑");
    table.onFamilySelected("太刀");
    EXPECT_EQ(notices.shown, (std::vector<std::string>{"目前只做了大剑 ：)"}));
    EXPECT_EQ(grid.rowCount(), 0);
    ASSERT_TRUE(state.loadedActions);
    EXPECT_TRUE(state.loadedActions->empty());
    EXPECT_TRUE(grid.focused);
    EXPECT_EQ(exportMessage(), "列表为空");
    EXPECT_FALSE(fs::exists(output(0)));
}

TEST_F(Table, ExportBeforeAnyLoadFindsAnEmptyList) {
    EXPECT_EQ(exportMessage(), "列表为空");
    EXPECT_FALSE(state.loadedActions);
}

TEST_F(Table, ReloadWithoutASelectionAsksForOneAndKeepsTheGrid) {
    table.onFamilySelected("大剑");
    grid.setCell(1, 5, "99");
    table.onReload("");
    EXPECT_EQ(notices.shown, (std::vector<std::string>{"请选择武器类型"}));
    EXPECT_EQ(grid.rowCount(), 60);
    EXPECT_EQ(grid.cell(1, 5), "99");
}

TEST_F(Table, RefusesACellWithItsRowColumnAndReasonAndWritesNothing) {
    struct Case {
        int row, column;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {3, 9, "abc", "第3行第9列，不是数字"},
        {1, 5, "", "第1行第5列，不是数字"},
        {60, 11, "65535", "第60行第11列，数字太大"},
        {2, 6, ".5", "第2行第6列，不能以小数点开头"},
        {2, 7, "5.", "第2行第7列，不能以小数点结尾"},
        {2, 8, "1.005", "第2行第8列，小数点后最多2位"},
        {7, 10, "-1e50", "第7行第10列，数字太大"},
        {4, 5, "inf", "第4行第5列，不是数字"},
        {5, 4, "切断 ", "第5行第4列，伤害类型错误"},
        {6, 4, "", "第6行第4列，伤害类型错误"},
        {6, 4, "1", "第6行第4列，伤害类型错误"},
    };
    for (const Case& c : cases) {
        table.onFamilySelected("大剑");
        grid.setCell(c.row, c.column, c.text);
        EXPECT_EQ(exportMessage(), c.message) << c.text;
        EXPECT_EQ(grid.cell(c.row, c.column), c.text);
    }
    EXPECT_FALSE(fs::exists(output(0)));
    EXPECT_FALSE(fs::exists(output(1)));
}

TEST_F(Table, ChecksEveryValueCellBeforeAnyDamageType) {
    table.onFamilySelected("大剑");
    grid.setCell(1, 4, "火");
    grid.setCell(3, 9, "x");
    EXPECT_EQ(exportMessage(), "第3行第9列，不是数字");
    grid.setCell(3, 9, "0");
    EXPECT_EQ(exportMessage(), "第1行第4列，伤害类型错误");
}

TEST_F(Table, ARefusedCellHasItsRowShownAfterTheMessage) {
    table.onFamilySelected("大剑");
    grid.setCell(42, 9, "x");
    grid.setCell(17, 4, "火");
    EXPECT_EQ(exportMessage(), "第42行第9列，不是数字");
    EXPECT_EQ(grid.shownRows, (std::vector<int>{42}));
    grid.setCell(42, 9, "0");
    EXPECT_EQ(exportMessage(), "第17行第4列，伤害类型错误");
    EXPECT_EQ(grid.shownRows, (std::vector<int>{42, 17}));
    grid.setCell(17, 4, "弹");
    EXPECT_EQ(exportMessage(), "导出成功，在程序运行目录下的out文件夹");
    EXPECT_EQ(grid.shownRows, (std::vector<int>{42, 17}));
}

TEST_F(Table, AnUneditedExportWritesTheTemplatesAndReportsSuccess) {
    table.onFamilySelected("大剑");
    EXPECT_EQ(exportMessage(), "导出成功，在程序运行目录下的out文件夹");
    EXPECT_EQ(fileBytes(output(0)), templateBytes(0));
    EXPECT_EQ(fileBytes(output(1)), templateBytes(1));
}

TEST_F(Table, AnEditedCellReachesItsRecordAndNothingElseChanges) {
    table.onFamilySelected("大剑");
    const auto before = *state.loadedActions;
    grid.setCell(2, 5, "0x20");  // row 2 is slot 1; 32.0f = 0x42000000
    grid.setCell(60, 4, "弹");   // slot 3 of wp00_01.col
    EXPECT_EQ(exportMessage(), "导出成功，在程序运行目录下的out文件夹");

    Bytes expected0 = templateBytes(0);
    expected0[3685 + 217 + 8 + 2] = 0x00;
    expected0[3685 + 217 + 8 + 3] = 0x42;
    EXPECT_EQ(fileBytes(output(0)), expected0);
    Bytes expected1 = templateBytes(1);
    expected1[439 + 3 * 217 + 4] = 3;
    EXPECT_EQ(fileBytes(output(1)), expected1);

    // The export changed neither the loaded rows nor the grid.
    EXPECT_EQ(*state.loadedActions, before);
    EXPECT_EQ(grid.cell(2, 5), "0x20");
}

TEST_F(Table, AReloadDiscardsEditsSoTheExportWritesTheTemplateValue) {
    table.onFamilySelected("大剑");
    grid.setCell(1, 5, "250");
    table.onReload("大剑");
    EXPECT_EQ(grid.cell(1, 5), "48");
    EXPECT_EQ(exportMessage(), "导出成功，在程序运行目录下的out文件夹");
    EXPECT_EQ(fileBytes(output(0)), templateBytes(0));
}

TEST_F(Table, AFailedExportShowsTheReasonAndNoSuccess) {
    table.onFamilySelected("大剑");
    writeBytes(temp.folders.program / "out", {1});  // a file where the output folder must be made
    const std::string message = exportMessage();
    EXPECT_EQ(message.rfind("导出失败：", 0), 0u) << message;
    EXPECT_NE(message.find("out"), std::string::npos) << message;
    EXPECT_EQ(grid.rowCount(), 60);
}

TEST_F(Table, AnExportWhoseSecondFileCannotBeReplacedKeepsTheFirstFileAsItWas) {
    table.onFamilySelected("大剑");
    ASSERT_EQ(exportMessage(), "导出成功，在程序运行目录下的out文件夹");
    fs::remove(output(1));
    fs::create_directory(output(1));  // a folder where wp00_01.col was
    grid.setCell(1, 5, "250");
    const std::string message = exportMessage();
    EXPECT_EQ(message.rfind("导出失败：", 0), 0u) << message;
    EXPECT_NE(message.find("wp00_01.col"), std::string::npos) << message;
    EXPECT_NE(message.find("it is a folder"), std::string::npos) << message;
    EXPECT_EQ(fileBytes(output(0)), templateBytes(0));
    EXPECT_TRUE(fs::is_directory(output(1)));
}

TEST_F(Table, AFailedLoadShowsTheReasonAndLeavesAnEmptyGrid) {
    writeBytes(temp.folders.working.parent_path(), {1});  // a file where the working folder must be made
    table.onFamilySelected("大剑");
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].rfind("载入失败：", 0), 0u) << notices.shown[0];
    EXPECT_EQ(grid.rowCount(), 0);
    ASSERT_TRUE(state.loadedActions);
    EXPECT_TRUE(state.loadedActions->empty());
    EXPECT_EQ(exportMessage(), "列表为空");
}

// Emptying the grid and filling it again paint once; a message of the load
// (a refusal, a failure) is shown only once the grid paints again, so that
// its box never stands over a list that does not paint.
TEST_F(Table, ALoadPaintsOnceAndItsMessagesComeAfterThePaint) {
    struct PaintWatch : Notices {
        const FakeGrid& grid;
        std::vector<int> openAtNotice;
        explicit PaintWatch(const FakeGrid& watched) : grid(watched) {}
        void notice(const std::string&) override { openAtNotice.push_back(grid.openBulkUpdates); }
    } watch(grid);
    ActionTable watched{state, grid, watch, temp.folders};

    writeBytes(temp.folders.working.parent_path(), {1});  // a load that fails
    watched.onFamilySelected("大剑");
    watched.onFamilySelected("太刀");  // refused: no files of its own
    EXPECT_EQ(grid.repaints, 2);
    EXPECT_EQ(watch.openAtNotice, (std::vector<int>{0, 0}));

    fs::remove(temp.folders.working.parent_path());
    watched.onFamilySelected("大剑");
    watched.onReload("大剑");
    EXPECT_EQ(grid.repaints, 4);
    EXPECT_EQ(grid.rowCount(), 60);
    EXPECT_EQ(watch.openAtNotice.size(), 2u);
    EXPECT_EQ(grid.openBulkUpdates, 0);
}

TEST_F(Table, AnotherFamilyLoadsFromItsFilesBesideTheProgramAndExportsIntoItsFolder) {
    writeBytes(temp.folders.program / "res" / "wp03.col", testing_support::generatedFile(0));
    writeBytes(temp.folders.program / "res" / "wp03_01.col", testing_support::generatedFile(1));
    table.onFamilySelected("太刀");
    EXPECT_TRUE(notices.shown.empty()) << notices.shown.front();
    ASSERT_EQ(grid.rowCount(), 7);
    EXPECT_EQ(grid.rows[3], (std::vector<std::string>{"", "04", "", "打击", "12", "1", "1", "1", "15", "10", "0",
                                                      "4;combobox;{切断,打击,弹}", "0", "4"}));
    EXPECT_EQ(grid.cell(2, 3), "突き");  // from the file's own name table
    EXPECT_EQ(grid.cell(7, 2), "11");

    grid.setCell(7, 5, "40");
    EXPECT_EQ(exportMessage(), "导出成功，在程序运行目录下的out文件夹");
    const fs::path out = temp.folders.outputBase / "wp03" / "collision";
    EXPECT_EQ(fileBytes(out / "wp03.col"), testing_support::generatedFile(0));
    Bytes expected = testing_support::generatedFile(1);
    expected[219 + 217 + 8 + 2] = 0x20;  // 40.0f = 0x42200000, slot 1 of a table at 219
    expected[219 + 217 + 8 + 3] = 0x42;
    EXPECT_EQ(fileBytes(out / "wp03_01.col"), expected);
    EXPECT_FALSE(fs::exists(output(0)));
}

TEST_F(Table, ALooseTemplateThatDoesNotFollowTheLayoutIsRefusedWithItsPathAndReason) {
    table.onFamilySelected("大剑");
    const Bytes full = templateBytes(0);
    const fs::path loose = temp.folders.program / "res" / "wp00.col";
    writeBytes(loose, Bytes(full.begin(), full.begin() + 9000));
    table.onReload("大剑");
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0], "载入失败：" + helper::pathText(loose) +
                                    "\nat 3677: the record count 66 does not fit: it needs 14322 bytes, "
                                    "5315 bytes are left");
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(exportMessage(), "列表为空");
    EXPECT_EQ(fileBytes(helper::stagedFile(temp.folders, "00", 0)), templateBytes(0));  // the earlier load's copy
    EXPECT_FALSE(fs::exists(output(0)));
}

}  // namespace
