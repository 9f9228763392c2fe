// The grid's editors in the main window under real input: the damage-type
// combo, the keyboard hook's Enter, the list editor, and the grid's edit box
// while the rows move under it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor_window.h"
#include "real_keys.h"
#include "refused_windows.h"
#include "text.h"

namespace {

using testing_support::Bytes;
using testing_support::templateBytes;

// The first template file with the damage-type bytes of some of its slots changed.
Bytes templateWithDamageTypes(std::initializer_list<std::pair<int, std::uint8_t>> slots) {
    Bytes bytes = templateBytes(0);
    for (const auto& [slot, code] : slots) bytes[3685 + 217 * static_cast<std::size_t>(slot) + 4] = code;
    return bytes;
}

TEST_F(Window, AClickArmsARowAndOpensTheComboOverItsDamageTypeCell) {
    loadGreatSword();
    gui::click(list(), cellCentre(2, 6));
    ASSERT_TRUE(gui::pumpUntil([&] { return IsWindowVisible(combo()) && cell(2, 1) == L"√"; }));
    const RECT label = cellRect(2, 4);
    const RECT placed = clientRectIn(list(), combo());
    EXPECT_EQ(placed.left, label.left);
    EXPECT_EQ(placed.top, label.top);
    EXPECT_EQ(placed.right, label.right);
    EXPECT_EQ(textOf(combo()), L"切断");
    EXPECT_EQ(SendMessageW(combo(), CB_GETCOUNT, 0, 0), 3);

    gui::click(list(), cellCentre(2, 9));
    ASSERT_TRUE(gui::pumpUntil([&] { return !IsWindowVisible(combo()) && cell(2, 1).empty(); }));
}

// The editor controls are made at their first use, not at start-up: one the
// system refuses then is named in a message, and the next click makes it.
TEST_F(Window, AnEditorTheSystemRefusesAtItsFirstUseIsNamedAndTheNextClickOpensIt) {
    const auto comboOnTheList = [&] { return FindWindowExW(list(), nullptr, WC_COMBOBOXW, nullptr); };
    EXPECT_EQ(comboOnTheList(), nullptr);
    loadGreatSword();
    {
        RefusedWindows refused([](HWND window, const CREATESTRUCTW& create) {
            return isOfClass(window, WC_COMBOBOXW) && isOfClass(create.hwndParent, WC_LISTVIEWW);
        });
        gui::click(list(), cellCentre(2, 3));
        ASSERT_TRUE(gui::pumpUntil([&] { return boxes.lastClosed(); }));
    }
    const std::wstring message = boxes.boxes().back().text;
    EXPECT_NE(message.find(L"cmboSubCtrlX"), std::wstring::npos) << narrow(message);
    EXPECT_NE(message.find(L"CreateWindowEx"), std::wstring::npos) << narrow(message);
    EXPECT_EQ(comboOnTheList(), nullptr);

    gui::click(list(), cellCentre(3, 3));
    ASSERT_TRUE(gui::pumpUntil([&] { return comboOnTheList() && IsWindowVisible(comboOnTheList()); }));
    EXPECT_EQ(comboOnTheList(), combo());
    EXPECT_EQ(clientRectIn(list(), combo()).top, cellRect(3, 4).top);
}

TEST_F(Window, TypingIntoTheComboWritesTheCell) {
    loadGreatSword();
    openComboOn(3);
    SetFocus(combo());
    SendMessageW(combo(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    gui::typeText(L"打击");
    ASSERT_TRUE(gui::pumpUntil([&] { return cell(3, 4) == L"打击"; }));
    EXPECT_TRUE(IsWindowVisible(combo()));
}

TEST_F(Window, DamageTypesChosenInTheComboListReachTheExport) {
    loadGreatSword();
    openComboOn(1);
    chooseWithTheMouse(1);
    EXPECT_EQ(cell(1, 4), L"打击");

    // By keyboard: the list dropped down with F4, two entries down, Enter.
    openComboOn(3);
    SetFocus(combo());
    gui::pressKey(VK_F4);
    ASSERT_TRUE(gui::pumpUntil([&] { return SendMessageW(combo(), CB_GETDROPPEDSTATE, 0, 0) != FALSE; }));
    gui::pressKey(VK_DOWN);
    gui::pressKey(VK_DOWN);
    gui::pressKey(VK_RETURN);
    ASSERT_TRUE(gui::pumpUntil([&] { return SendMessageW(combo(), CB_GETDROPPEDSTATE, 0, 0) == FALSE; }));
    ASSERT_TRUE(gui::settle());
    EXPECT_EQ(cell(3, 4), L"弹");

    EXPECT_EQ(clickForMessage(Control::btn_out), L"导出成功，在程序运行目录下的out文件夹");
    EXPECT_EQ(exported(0), templateWithDamageTypes({{0, 2}, {2, 3}}));
    EXPECT_EQ(exported(1), templateBytes(1));
}

TEST_F(Window, EnterTypedOnTheKeyboardCommitsTheSelectedComboEntry) {
    RealKeys keys;
    loadGreatSword();
    openComboOn(2);
    SendMessageW(combo(), CB_SETCURSEL, 1, 0);  // 打击, without a notification
    ASSERT_TRUE(keys.enter(editor->window()));
    EXPECT_EQ(cell(2, 4), L"打击");
    EXPECT_FALSE(IsWindowVisible(combo()));
}

TEST_F(Window, EnterSentByAProgramIsLeftAlone) {
    loadGreatSword();
    openComboOn(2);
    SendMessageW(combo(), CB_SETCURSEL, 2, 0);
    gui::pressKey(VK_RETURN);
    ASSERT_TRUE(gui::settle());
    EXPECT_EQ(cell(2, 4), L"切断");
    EXPECT_TRUE(IsWindowVisible(combo()));
}

// A new user's way to an export no one chose: a damage type picked in the
// combo, the edit discarded with 重新载入, then any Enter.
TEST_F(Window, AReloadClosesTheComboSoThatEnterWritesNothingAndTheExportIsTheTemplates) {
    RealKeys keys;
    loadGreatSword();
    openComboOn(1);
    chooseWithTheMouse(1);
    ASSERT_EQ(cell(1, 4), L"打击");

    HWND reload = editor->control(Control::btn_reload);
    RECT button{};
    GetClientRect(reload, &button);
    gui::click(reload, gui::centre(button));
    ASSERT_TRUE(gui::pumpUntil([&] { return cell(1, 4) == L"切断" && grid().rowCount() == 60; }));
    EXPECT_FALSE(IsWindowVisible(combo()));
    EXPECT_EQ(editor->state().rowN, 0);

    SetFocus(list());  // not on 重新载入, which Enter would press again
    ASSERT_TRUE(keys.enter(editor->window()));
    EXPECT_EQ(cell(1, 4), L"切断");
    EXPECT_EQ(clickForMessage(Control::btn_out), L"导出成功，在程序运行目录下的out文件夹");
    EXPECT_EQ(exported(0), templateBytes(0));
    EXPECT_EQ(exported(1), templateBytes(1));
}

TEST_F(Window, EnterThatClosesOurMessageBoxWritesNothing) {
    RealKeys keys;
    loadGreatSword();
    openComboOn(2);
    SendMessageW(combo(), CB_SETCURSEL, 1, 0);
    boxes.answerWith([](HWND box) { RealKeys::startEnter(box); });

    HWND out = editor->control(Control::btn_out);
    RECT button{};
    GetClientRect(out, &button);
    gui::click(out, gui::centre(button));
    ASSERT_TRUE(gui::pumpUntil([&] { return boxes.lastClosed(); }, gui::Limit{15000}));
    ASSERT_TRUE(gui::settle());
    EXPECT_EQ(cell(2, 4), L"切断");
    EXPECT_TRUE(IsWindowVisible(combo()));
}

TEST_F(Window, TheListEditorKindOpensFromItsArrowAndCommitsADoubleClickedEntry) {
    loadGreatSword();
    grid().setItemText(2, 12, L"6;buttonTolist;{0.5,2}");
    HWND arrow = editor->editorControls().control(Editor::plusBtTolistSubCtrlX);
    HWND dropDown = editor->editorControls().control(Editor::listSubCtrlX);
    gui::click(list(), cellCentre(2, 3));
    ASSERT_TRUE(gui::pumpUntil([&] { return IsWindowVisible(arrow); }));
    RECT arrowRect{};
    GetClientRect(arrow, &arrowRect);
    gui::click(arrow, gui::centre(arrowRect));
    ASSERT_TRUE(gui::pumpUntil([&] { return IsWindowVisible(dropDown); }));
    EXPECT_EQ(GetFocus(), dropDown);
    RECT second{};
    SendMessageW(dropDown, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    gui::doubleClick(dropDown, gui::centre(second));
    ASSERT_TRUE(gui::pumpUntil([&] { return cell(2, 6) == L"2" && !IsWindowVisible(dropDown); }));
}

TEST_F(Window, TheComboClosesWhenTheRowsScrollAwayFromUnderIt) {
    loadGreatSword();
    openComboOn(2);
    SendMessageW(list(), WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_TRUE(gui::pumpUntil([&] { return !IsWindowVisible(combo()); }));
    EXPECT_EQ(editor->state().rowN, 0);
}

TEST_F(Window, ADoubleClickOnAProtectedColumnOpensNothing) {
    loadGreatSword();
    // Columns 2 and 3 by the mouse; 12 to 14 are 0 pixels wide, so their
    // double-click comes as the list would report it.
    int row = 2;
    for (int column : {2, 3}) {
        SCOPED_TRACE(column);
        gui::doubleClick(list(), cellCentre(++row, column));
        ASSERT_TRUE(gui::settle());
        EXPECT_FALSE(editBoxOpen());
    }
    for (int column : {12, 13, 14}) {
        SCOPED_TRACE(column);
        NMITEMACTIVATE activate{};
        activate.hdr = {list(), static_cast<UINT_PTR>(GetDlgCtrlID(list())), static_cast<UINT>(NM_DBLCLK)};
        activate.iItem = 4;
        activate.iSubItem = column - 1;
        SendMessageW(editor->window(), WM_NOTIFY, activate.hdr.idFrom, reinterpret_cast<LPARAM>(&activate));
        ASSERT_TRUE(gui::settle());
        EXPECT_FALSE(editBoxOpen());
    }
    // The same way reaches an editable column.
    NMITEMACTIVATE activate{};
    activate.hdr = {list(), static_cast<UINT_PTR>(GetDlgCtrlID(list())), static_cast<UINT>(NM_DBLCLK)};
    activate.iItem = 4;
    activate.iSubItem = 10;
    SendMessageW(editor->window(), WM_NOTIFY, activate.hdr.idFrom, reinterpret_cast<LPARAM>(&activate));
    EXPECT_TRUE(editBoxOpen());
}

TEST_F(Window, TheEditBoxCommitsWhenTheWindowLosesTheFocus) {
    loadGreatSword();
    openEditBox(3, 6);
    gui::typeText(L"4.5");
    ASSERT_TRUE(gui::settle());  // typed into the box before the focus moves

    // Another program's window comes to the front, as with Alt+Tab.
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(other);
    ASSERT_TRUE(gui::activate(other));
    EXPECT_TRUE(gui::pumpUntil([&] { return cell(3, 6) == L"4.5" && !editBoxOpen(); }));
    DestroyWindow(other);
}

// Ways the rows move under an open edit box. The box writes what it holds
// into its own cell first and closes, so later typing lands nowhere.
TEST_F(Window, ScrollingOrResizingWithTheBoxOpenChangesItsRowAndNoOther) {
    loadGreatSword();
    const auto templates = dataCells();
    const struct {
        const char* way;
        std::function<void()> move;
    } ways[] = {
        {"scroll bar", [&] { SendMessageW(list(), WM_VSCROLL, SB_PAGEDOWN, 0); }},
        {"scroll request", [&] { ListView_Scroll(list(), 0, 60); }},
        {"wheel message", [&] {
             const POINT at = gui::toScreen(list(), cellCentre(8, 6));
             SendMessageW(list(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(at.x, at.y));
         }},
        {"wheel", [&] { gui::wheel(list(), cellCentre(8, 6), -1); }},
        {"keyboard", [&] { SendMessageW(list(), WM_KEYDOWN, VK_NEXT, 0); }},
        {"resize", [&] {
             RECT frame{0, 0, 900, 600};
             AdjustWindowRectEx(&frame, GetWindowLongW(editor->window(), GWL_STYLE), FALSE, 0);
             SetWindowPos(editor->window(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                          SWP_NOMOVE | SWP_NOZORDER);
         }},
    };
    auto expected = templates;
    int row = 1;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        ++row;
        ListView_EnsureVisible(list(), 0, FALSE);
        ASSERT_TRUE(gui::settle());
        openEditBox(row, 5);
        const std::wstring typed = L"7" + std::to_wstring(row);
        gui::typeText(typed);
        ASSERT_TRUE(gui::settle());
        way.move();
        ASSERT_TRUE(gui::pumpUntil([&] { return !editBoxOpen(); }));
        gui::typeText(L"99");
        ASSERT_TRUE(gui::settle());
        expected[static_cast<std::size_t>(row - 1)][5 - 2] = typed;
        EXPECT_EQ(dataCells(), expected);
    }
}

TEST_F(Window, EmptyingTheGridWithTheBoxOpenClosesItWithoutWriting) {
    loadGreatSword();
    const auto templates = dataCells();
    openEditBox(2, 7);
    gui::typeText(L"3");
    ASSERT_TRUE(gui::settle());
    // A reload as its command runs it, with the box still open.
    HWND reload = editor->control(Control::btn_reload);
    SendMessageW(editor->window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(reload), BN_CLICKED),
                 reinterpret_cast<LPARAM>(reload));
    EXPECT_FALSE(editBoxOpen());
    gui::typeText(L"44");
    ASSERT_TRUE(gui::settle());
    EXPECT_EQ(dataCells(), templates);
}

}  // namespace
