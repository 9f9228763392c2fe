// The editor's main window in this process, for tests under real input: the
// window as start-up makes it, messages dispatched as its own loop does
// (with its keyboard navigation), and its real message boxes read and
// answered.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fixtures.h"
#include "gui_driver.h"
#include "lv_grid.h"
#include "main_window.h"
#include "message_box_reader.h"
#include "message_loop.h"

inline std::wstring textOf(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

// A child's rectangle in its parent's client coordinates.
inline RECT clientRectIn(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The caption and width of each column, as the list's header shows them.
struct HeaderItem {
    std::wstring caption;
    int width = 0;
};
inline std::vector<HeaderItem> headerItems(HWND list) {
    HWND header = ListView_GetHeader(list);
    std::vector<HeaderItem> items;
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        wchar_t caption[32] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = caption;
        item.cchTextMax = 32;
        Header_GetItem(header, i, &item);
        items.push_back({caption, item.cxy});
    }
    return items;
}

class Window : public ::testing::Test {
protected:
    testing_support::TempFolders temp;
    MessageBoxReader boxes;
    std::unique_ptr<MainWindow> editor;
    std::optional<KeyboardNavigation> navigation;
    std::optional<gui::DispatchThrough> loop;

    void SetUp() override {
        editor = MainWindow::start(GetModuleHandleW(nullptr), temp.folders);
        ASSERT_TRUE(editor);
        navigation.emplace(editor->navigation());
        loop.emplace([this](MSG& message) { dispatchMessage(message, &*navigation); });
        ASSERT_TRUE(gui::activate(editor->window()));
    }
    void TearDown() override {
        loop.reset();
        editor.reset();
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    HWND list() const { return editor->control(Control::listview); }
    HWND selector() const { return editor->control(Control::cb_type); }
    HWND combo() const { return editor->editorControls().control(Editor::cmboSubCtrlX); }
    lvGrid::Grid& grid() const { return editor->grid(); }
    std::wstring cell(int row, int column) const { return grid().itemText(row, column); }
    RECT cellRect(int row, int column) const {
        RECT rect{};
        ListView_GetSubItemRect(list(), row - 1, column - 1, LVIR_LABEL, &rect);
        return rect;
    }
    POINT cellCentre(int row, int column) const { return gui::centre(cellRect(row, column)); }
    bool editBoxOpen() const { return grid().editBox() && IsWindowVisible(grid().editBox()); }

    void loadGreatSword() {
        SetFocus(selector());
        gui::pressKey(VK_DOWN);
        ASSERT_TRUE(gui::pumpUntil([&] { return grid().rowCount() == 60; }));
    }
    // Clicks a button of the main window and waits for the message box it opens.
    std::wstring clickForMessage(Control button) {
        boxes.clear();
        HWND window = editor->control(button);
        RECT rect{};
        GetClientRect(window, &rect);
        gui::click(window, gui::centre(rect));
        EXPECT_TRUE(gui::pumpUntil([&] { return !boxes.boxes().empty(); }));
        return boxes.boxes().empty() ? L"" : boxes.boxes().back().text;
    }
    // A click on the move name of a row that is not armed: arms it and
    // opens the damage-type combo over its column 4.
    void openComboOn(int row) {
        gui::click(list(), cellCentre(row, 3));
        ASSERT_TRUE(gui::pumpUntil([&] { return IsWindowVisible(combo()) && cell(row, 1) == L"√"; }));
        ASSERT_TRUE(gui::settle());
    }
    // Opens the combo's own drop-down list with a click on its arrow and
    // clicks an entry, as a user picks a damage type.
    void chooseWithTheMouse(int entry) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(combo(), &info));
        gui::click(combo(), gui::centre(info.rcButton));
        ASSERT_TRUE(gui::pumpUntil([&] { return SendMessageW(combo(), CB_GETDROPPEDSTATE, 0, 0) != FALSE; }));
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&item));
        gui::click(info.hwndList, gui::centre(item));
        ASSERT_TRUE(gui::pumpUntil([&] { return SendMessageW(combo(), CB_GETDROPPEDSTATE, 0, 0) == FALSE; }));
        ASSERT_TRUE(gui::settle());
    }
    // Double-clicks a cell and waits until the grid's edit box is open over it.
    void openEditBox(int row, int column) {
        gui::doubleClick(list(), cellCentre(row, column));
        ASSERT_TRUE(gui::pumpUntil([&] { return editBoxOpen(); }));
        ASSERT_TRUE(gui::settle());
    }
    // Every cell of every row but the armed flags of column 1: row n, column
    // c is at [n - 1][c - 2].
    std::vector<std::vector<std::wstring>> dataCells() const {
        std::vector<std::vector<std::wstring>> rows;
        for (int row = 1; row <= grid().rowCount(); ++row) {
            rows.emplace_back();
            for (int column = 2; column <= 14; ++column) rows.back().push_back(cell(row, column));
        }
        return rows;
    }
    testing_support::Bytes exported(int fileIndex) const {
        return testing_support::fileBytes(helper::outputFile(temp.folders, "00", fileIndex));
    }
};
