#include "in_cell_editors.h"

#include <gtest/gtest.h>

#include "editor_spec.h"
#include "fakes.h"

namespace {

class Editors : public ::testing::Test {
protected:
    MainState state;
    FakeGrid grid;
    FakeControls controls;
    FakeNotices notices;
    InCellEditors editors{state, grid, controls, notices};

    void SetUp() override {
        for (int row = 1; row <= 3; ++row) {
            grid.appendRow({"", "0" + std::to_string(row), "", "切断", "48"});
            grid.setCell(row, 12, "4;combobox;{切断,打击,弹}");
        }
    }
    void click(int row, int column) { editors.onGridClick({true, row, row, column}); }
    // A key typed into the main window, unless `mainWindowInFront` says otherwise.
    void press(std::uint32_t key, std::uint32_t message = 256, bool injected = false, bool mainWindowInFront = true) {
        editors.onHookKey({message, key, injected, mainWindowInFront});
    }
    void chooseInCombo(int entry) { controls.editors[Editor::cmboSubCtrlX].selected = entry; }
};

TEST_F(Editors, AClickArmsTheRowAndOpensTheComboOverColumnFourWhereverItWas) {
    for (int column : {2, 4, 9}) {
        click(2, column);
        EXPECT_EQ(grid.cell(2, 1), "√");
        EXPECT_EQ(controls.visible(), (std::vector<Editor>{Editor::cmboSubCtrlX}));
        EXPECT_EQ(controls.editors[Editor::cmboSubCtrlX].rect, (Rect{400, 40, 460, 58}));
        EXPECT_EQ(controls.editors[Editor::cmboSubCtrlX].items, (std::vector<std::string>{"切断", "打击", "弹"}));
        EXPECT_EQ(controls.text(Editor::cmboSubCtrlX), "切断");
        EXPECT_EQ(state.rowN, 2);
        EXPECT_EQ(state.rowCN, 4);

        click(2, column);  // the second click disarms and closes
        EXPECT_EQ(grid.cell(2, 1), "");
        EXPECT_TRUE(controls.visible().empty());
    }
}

TEST_F(Editors, ArmedRowsStayArmedUntilClickedAgain) {
    click(1, 3);
    click(3, 3);
    EXPECT_EQ(grid.cell(1, 1), "√");
    EXPECT_EQ(grid.cell(3, 1), "√");
    EXPECT_EQ(state.rowN, 3);
}

TEST_F(Editors, NothingToggleOrOpensWithoutASelectionOrACell) {
    editors.onGridClick({false, 2, 2, 4});  // no selected row: no toggle, so not armed
    EXPECT_EQ(grid.cell(2, 1), "");
    EXPECT_TRUE(controls.visible().empty());

    click(1, 4);
    editors.onGridClick({true, 0, 0, 0});  // below the last row: closes the editor, arms nothing
    EXPECT_TRUE(controls.visible().empty());
    EXPECT_EQ(grid.cell(1, 1), "√");
}

TEST_F(Editors, TheComboWritesWhatIsTypedAndWhatIsChosen) {
    click(2, 5);
    controls.editors[Editor::cmboSubCtrlX].text = "打击";
    editors.onComboEditUpdate();
    EXPECT_EQ(grid.cell(2, 4), "打击");

    controls.editors[Editor::cmboSubCtrlX].selected = 2;
    editors.onComboSelection();
    EXPECT_EQ(grid.cell(2, 4), "弹");
    EXPECT_TRUE(controls.isVisible(Editor::cmboSubCtrlX));  // choosing leaves it open
}

TEST_F(Editors, EnterCommitsTheSelectedEntryAndClosesTheCombo) {
    click(3, 4);
    press(13, 256, true);  // injected: ignored
    press(13, 257);        // key up: ignored
    press(9);              // another key
    EXPECT_TRUE(controls.isVisible(Editor::cmboSubCtrlX));

    controls.editors[Editor::cmboSubCtrlX].selected = 1;
    press(13, 260);  // with Alt held
    EXPECT_EQ(grid.cell(3, 4), "打击");
    EXPECT_FALSE(controls.isVisible(Editor::cmboSubCtrlX));

    grid.setCell(3, 4, "x");
    press(13);  // nothing open: nothing changes
    EXPECT_EQ(grid.cell(3, 4), "x");
}

TEST_F(Editors, EnterTypedOutsideTheMainWindowWritesNothing) {
    click(2, 4);
    chooseInCombo(1);
    press(13, 256, false, false);  // into another program, or closing a message box of ours
    EXPECT_EQ(grid.cell(2, 4), "切断");
    EXPECT_TRUE(controls.isVisible(Editor::cmboSubCtrlX));
}

TEST_F(Editors, EditorsOfAGridThatWasEmptiedCloseAndForgetTheirCell) {
    click(1, 4);
    chooseInCombo(1);
    grid.rows.clear();  // a reload: emptied, then filled again
    editors.onGridChanged();
    EXPECT_TRUE(controls.visible().empty());
    EXPECT_EQ(state.rowN, 0);
    SetUp();

    // Even an editor shown again by mistake commits into no row.
    controls.setVisible(Editor::cmboSubCtrlX, true);
    press(13);
    controls.editors[Editor::cmboSubCtrlX].text = "弹";
    editors.onComboEditUpdate();
    editors.onComboSelection();
    for (int row = 1; row <= 3; ++row) EXPECT_EQ(grid.cell(row, 4), "切断") << row;
}

TEST_F(Editors, EditorsCloseWhenTheirRowMovesAwayAndWriteNothingMeanwhile) {
    click(2, 4);
    chooseInCombo(2);
    controls.scrolledRows = 1;  // row 3 now lies where row 2 was, under the combo

    // Before the grid reports the move, nothing the combo does reaches a cell.
    controls.editors[Editor::cmboSubCtrlX].text = "打击";
    editors.onComboEditUpdate();
    press(13);
    EXPECT_EQ(grid.cell(2, 4), "切断");
    EXPECT_EQ(grid.cell(3, 4), "切断");
    EXPECT_FALSE(controls.isVisible(Editor::cmboSubCtrlX));

    click(1, 4);  // armed and opened over row 1 as it lies now
    EXPECT_TRUE(controls.isVisible(Editor::cmboSubCtrlX));
    editors.onGridChanged();  // nothing moved since: it stays
    EXPECT_TRUE(controls.isVisible(Editor::cmboSubCtrlX));
    controls.scrolledRows = 0;
    editors.onGridChanged();
    EXPECT_TRUE(controls.visible().empty());
    EXPECT_EQ(state.rowN, 0);
}

TEST_F(Editors, EnterWithNoEntrySelectedWritesNothing) {
    click(1, 4);
    controls.editors[Editor::cmboSubCtrlX].text = "打击";
    editors.onComboEditUpdate();
    press(13);
    EXPECT_EQ(grid.cell(1, 4), "打击");
    EXPECT_FALSE(controls.isVisible(Editor::cmboSubCtrlX));
}

TEST_F(Editors, TheListKindOpensFromItsArrowAndCommitsIntoItsCell) {
    grid.setCell(2, 12, "5;buttonTolist;{a,b}");
    click(2, 1);
    EXPECT_EQ(controls.visible(), (std::vector<Editor>{Editor::plusBtTolistSubCtrlX}));
    EXPECT_EQ(controls.editors[Editor::plusBtTolistSubCtrlX].rect, (Rect{544, 40, 560, 56}));
    EXPECT_EQ(state.listRc, (Rect{500, 58, 560, 158}));
    EXPECT_EQ(controls.editors[Editor::listSubCtrlX].items, (std::vector<std::string>{"a", "b"}));

    editors.onArrowButtonClicked();
    EXPECT_TRUE(controls.isVisible(Editor::listSubCtrlX));
    EXPECT_TRUE(controls.editors[Editor::listSubCtrlX].focused);
    EXPECT_EQ(controls.editors[Editor::listSubCtrlX].rect, state.listRc);
    controls.editors[Editor::listSubCtrlX].selected = 1;
    editors.onListDoubleClicked();
    EXPECT_EQ(grid.cell(2, 5), "b");
    EXPECT_FALSE(controls.isVisible(Editor::listSubCtrlX));

    editors.onArrowButtonClicked();
    press(13);  // ENTER commits the list first
    EXPECT_EQ(grid.cell(2, 5), "a");
    EXPECT_FALSE(controls.isVisible(Editor::listSubCtrlX));
}

TEST_F(Editors, TheSmallButtonsAndTheListScaleWithTheGridsDpi) {
    // The cell (5 at row 2) spans 500..560 x 40..58 whatever the DPI; the
    // button is 16 pixels wide and 2 short of the cell's bottom at 96 dpi,
    // and the list 100 pixels tall.
    const struct {
        int dpi;
        Rect arrow, list, ellipsis;
    } cases[] = {
        {96, {544, 40, 560, 56}, {500, 58, 560, 158}, {644, 40, 660, 56}},
        {120, {540, 40, 560, 55}, {500, 58, 560, 183}, {640, 40, 660, 55}},
        {144, {536, 40, 560, 55}, {500, 58, 560, 208}, {636, 40, 660, 55}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        controls.shownAtDpi = c.dpi;
        grid.setCell(2, 1, "");
        grid.setCell(2, 12, "5;buttonTolist;{a,b}");
        click(2, 1);
        EXPECT_EQ(controls.editors[Editor::plusBtTolistSubCtrlX].rect, c.arrow);
        EXPECT_EQ(state.listRc, c.list);
        editors.onArrowButtonClicked();
        EXPECT_EQ(controls.editors[Editor::listSubCtrlX].rect, c.list);

        grid.setCell(2, 1, "");
        grid.setCell(2, 12, "6;buttonOpen;");
        click(2, 1);
        EXPECT_EQ(controls.editors[Editor::plusBtOpenSubCtrlX].rect, c.ellipsis);
        EXPECT_EQ(state.listH, 100);
    }
}

TEST_F(Editors, ButtonKindsShowTheirButtonAndMessages) {
    grid.setCell(1, 12, "6;buttonOpen;");
    state.rowN = 9;
    click(1, 2);
    EXPECT_EQ(controls.visible(), (std::vector<Editor>{Editor::plusBtOpenSubCtrlX}));
    EXPECT_EQ(controls.editors[Editor::plusBtOpenSubCtrlX].rect, (Rect{644, 20, 660, 36}));
    EXPECT_EQ(state.rowN, 9);  // not a committing editor

    grid.setCell(2, 12, "7;button");
    click(2, 2);
    EXPECT_EQ(controls.visible(), (std::vector<Editor>{Editor::plusBtSubCtrlX}));
    EXPECT_EQ(controls.editors[Editor::plusBtSubCtrlX].rect, (Rect{700, 40, 760, 58}));
    EXPECT_EQ(state.rowCN, 7);

    editors.onDynamicButtonClicked();
    editors.onEllipsisButtonClicked();
    EXPECT_EQ(notices.shown, (std::vector<std::string>{"动态按钮", "按钮1"}));
}

TEST_F(Editors, KindsWithoutAnEditorAndBrokenEditorSpecsOpenNothing) {
    for (const char* editorSpec : {"4;edit;", "4;slider;{1,2}", "", "x;combobox;{a}", "0;combobox;{a}"}) {
        grid.setCell(1, 12, editorSpec);
        grid.setCell(1, 1, "");
        click(1, 4);
        EXPECT_EQ(grid.cell(1, 1), "√") << editorSpec;
        EXPECT_TRUE(controls.visible().empty()) << editorSpec;
    }
}

TEST_F(Editors, HidingAndShowingByKind) {
    struct Case {
        int flag;
        const char* kind;
        std::vector<Editor> visibleAfter;  // starting with the list and the combo visible
    };
    const std::vector<Case> cases = {
        {0, "combobox", {Editor::listSubCtrlX, Editor::cmboSubCtrlX}},
        {-1, "", {}},
        {1, "edit", {}},
        {1, "nonsense", {Editor::listSubCtrlX, Editor::cmboSubCtrlX}},
        {1, "button", {Editor::plusBtSubCtrlX}},
        {1, "buttonOpen", {Editor::plusBtOpenSubCtrlX}},
        {1, "buttonTolist", {Editor::plusBtTolistSubCtrlX}},
        {1, "combobox", {Editor::cmboSubCtrlX}},
    };
    for (const Case& c : cases) {
        controls.setVisible(Editor::listSubCtrlX, true);
        controls.setVisible(Editor::cmboSubCtrlX, true);
        for (Editor e : {Editor::plusBtSubCtrlX, Editor::plusBtOpenSubCtrlX, Editor::plusBtTolistSubCtrlX}) {
            controls.setVisible(e, false);
        }
        editors.lVSubCtrlHide(c.flag, c.kind);
        EXPECT_EQ(controls.visible(), c.visibleAfter) << c.flag << " " << c.kind;
    }
}

TEST(ColumnDrag, OnlyTheBeginTrackNotificationsAreRefused) {
    EXPECT_TRUE(startsColumnDrag(static_cast<std::uint32_t>(-326)));
    EXPECT_TRUE(startsColumnDrag(static_cast<std::uint32_t>(-306)));
    for (int code : {-2, -3, -12, -108, -300, -320, -327, -307}) {
        EXPECT_FALSE(startsColumnDrag(static_cast<std::uint32_t>(code))) << code;
    }
}

TEST(EditorSpec, SplitsFieldsItemsAndColumn) {
    EXPECT_EQ(splitEditorSpec("4;combobox;{切断,打击,弹}"),
              (std::vector<std::string>{"4", "combobox", "{切断,打击,弹}"}));
    EXPECT_EQ(splitEditorSpec("4;edit;"), (std::vector<std::string>{"4", "edit", ""}));
    EXPECT_EQ(editorItems("{切断,打击,弹}"), (std::vector<std::string>{"切断", "打击", "弹"}));
    EXPECT_EQ(editorItems("{a,,b}"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(editorItems("{}").empty());
    EXPECT_EQ(editorColumn("12"), 12);
    for (const char* bad : {"", "0", "-4", "4a", " 4", "99999"}) EXPECT_EQ(editorColumn(bad), std::nullopt) << bad;
}

}  // namespace
