// The main window by keyboard: Tab order, buttons pressed with Space and
// Enter, and a refused export that brings its row into view.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_window.h"

namespace {

class Keyboard : public Window {
protected:
    // The window's control that holds the focus, or contains the window that does.
    HWND focusedControl() const {
        HWND focus = GetFocus();
        while (focus && GetParent(focus) != editor->window()) focus = GetParent(focus);
        return focus;
    }
    void tab(bool backwards = false) {
        if (backwards) gui::keyDown(VK_SHIFT);
        gui::pressKey(VK_TAB);
        if (backwards) gui::keyUp(VK_SHIFT);
        ASSERT_TRUE(gui::settle());
    }
    HWND reload() const { return editor->control(Control::btn_reload); }
    HWND out() const { return editor->control(Control::btn_out); }
};

TEST_F(Keyboard, TabAndShiftTabGoRoundTheSelectorTheGridAndTheTwoButtons) {
    SetFocus(selector());
    const std::vector<HWND> order{selector(), list(), reload(), out()};
    for (std::size_t i = 1; i <= order.size(); ++i) {
        tab();
        EXPECT_EQ(focusedControl(), order[i % order.size()]) << i;
    }
    for (std::size_t i = order.size(); i-- > 0;) {
        tab(true);
        EXPECT_EQ(focusedControl(), order[i]) << i;
    }
}

TEST_F(Keyboard, TabLeavesTheEditBoxForTheControlsBesideTheGridAndCommits) {
    loadGreatSword();
    openEditBox(2, 5);
    gui::typeText(L"12");
    tab();
    EXPECT_EQ(GetFocus(), reload());
    EXPECT_FALSE(editBoxOpen());
    EXPECT_EQ(cell(2, 5), L"12");

    openEditBox(3, 6);
    tab(true);
    EXPECT_EQ(focusedControl(), selector());
    EXPECT_FALSE(editBoxOpen());
}

TEST_F(Keyboard, SpaceOrEnterOnAFocusedButtonPressesIt) {
    for (WORD key : {VK_SPACE, VK_RETURN}) {
        SCOPED_TRACE(key);
        boxes.clear();
        SetFocus(reload());
        gui::pressKey(key);
        ASSERT_TRUE(gui::pumpUntil([&] { return !boxes.boxes().empty(); }));
        EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{L"请选择武器类型"}));

        boxes.clear();
        SetFocus(out());
        gui::pressKey(key);
        ASSERT_TRUE(gui::pumpUntil([&] { return !boxes.boxes().empty(); }));
        ASSERT_TRUE(gui::settle());
        EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{L"列表为空"}));
    }
}

TEST_F(Keyboard, EnterInTheEditBoxCommitsAndPressesNoButton) {
    loadGreatSword();
    openEditBox(4, 9);
    gui::typeText(L"6");
    gui::pressKey(VK_RETURN);
    ASSERT_TRUE(gui::pumpUntil([&] { return !editBoxOpen(); }));
    ASSERT_TRUE(gui::settle());
    EXPECT_EQ(cell(4, 9), L"6");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Keyboard, ARefusedExportSelectsTheRowOfItsCellAndShowsIt) {
    loadGreatSword();
    grid().setItemText(50, 9, L"x");
    EXPECT_EQ(clickForMessage(Control::btn_out), L"第50行第9列，不是数字");
    ASSERT_TRUE(gui::pumpUntil([&] { return GetFocus() == list(); }));
    EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_SELECTED), 49);
    EXPECT_EQ(ListView_GetNextItem(list(), 49, LVNI_SELECTED), -1);
    const int top = ListView_GetTopIndex(list());
    EXPECT_LE(top, 49);
    EXPECT_GT(top + ListView_GetCountPerPage(list()), 49);
}

}  // namespace
