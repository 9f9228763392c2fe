// The editor's main window under real input: the window as it starts, the
// family selector, export and the single-instance guard.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_executable.h"
#include "editor_window.h"
#include "single_instance.h"
#include "text.h"

namespace {

using testing_support::Bytes;
using testing_support::templateBytes;

namespace fs = std::filesystem;

bool same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::string describe(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

TEST_F(Window, StartsWithItsCaptionsTheFamiliesAndAnEmptyGrid) {
    EXPECT_EQ(textOf(editor->window()), L"Brakvell-招式编辑器v0.1 by tessaly");
    EXPECT_EQ(textOf(editor->control(Control::groupbox)), L"武器类型 qtl版本168031");
    EXPECT_EQ(textOf(editor->control(Control::btn_reload)), L"重新载入");
    EXPECT_EQ(textOf(editor->control(Control::btn_out)), L"导出");

    std::vector<std::wstring> families;
    for (LRESULT i = 0; i < SendMessageW(selector(), CB_GETCOUNT, 0, 0); ++i) {
        wchar_t name[32] = {};
        SendMessageW(selector(), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        families.push_back(name);
    }
    EXPECT_EQ(families, (std::vector<std::wstring>{L"大剑", L"片手剑", L"双刀", L"太刀", L"锤子", L"狩猎笛", L"长枪",
                                                   L"铳", L"斩斧", L"盾斧", L"操虫棍", L"弓", L"重弩", L"轻弩"}));
    EXPECT_EQ(SendMessageW(selector(), CB_GETCURSEL, 0, 0), CB_ERR);

    EXPECT_EQ(ListView_GetItemCount(list()), 0);
    const std::vector<HeaderItem> columns = headerItems(list());
    ASSERT_EQ(columns.size(), 14u);
    std::vector<std::wstring> visible;
    for (const HeaderItem& column : columns) {
        if (column.width > 0) visible.push_back(column.caption);
    }
    EXPECT_EQ(visible, (std::vector<std::wstring>{L"动作序号", L"招式名称", L"伤害类型", L"动作值", L"物理倍率",
                                                  L"属性倍率", L"异常属性倍率", L"眩晕值", L"夺取耐力值", L"骑乘值"}));
}

TEST_F(Window, HasItsFrameSizeAndControlsWhereTheyBelong) {
    const LONG style = GetWindowLongW(editor->window(), GWL_STYLE);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    RECT client{};
    GetClientRect(editor->window(), &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 560);

    const HWND main = editor->window();
    EXPECT_TRUE(same(clientRectIn(main, list()), {16, 96, 784, 536}));
    EXPECT_TRUE(same(clientRectIn(main, editor->control(Control::groupbox)), {16, 16, 275, 80}));
    EXPECT_TRUE(same(clientRectIn(main, editor->control(Control::btn_reload)), {196, 35, 260, 72}));
    EXPECT_TRUE(same(clientRectIn(main, editor->control(Control::btn_out)), {320, 32, 384, 72}));
    // The selector's field may grow a little beyond its 22 pixels where its
    // 14-pixel font needs the room.
    const RECT field = clientRectIn(main, selector());
    EXPECT_EQ(field.left, 40);
    EXPECT_EQ(field.top, 40);
    EXPECT_EQ(field.right, 184);
    EXPECT_GE(field.bottom, 62);
    EXPECT_LE(field.bottom, 64);

    const LONG listStyle = GetWindowLongW(list(), GWL_STYLE);
    EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(listStyle & LVS_SINGLESEL);
    EXPECT_FALSE(listStyle & LVS_SHOWSELALWAYS);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(list()) & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
              static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
}

TEST_F(Window, ResizingScalesEveryControlInProportion) {
    // Horizontal edges by width / 800, vertical ones by height / 560, rounded.
    const struct {
        int width, height;
        RECT list, groupbox, reload, out;
    } sizes[] = {
        {1000, 700, {20, 120, 980, 670}, {20, 20, 344, 100}, {245, 44, 325, 90}, {400, 40, 480, 90}},
        {900, 600, {18, 103, 882, 574}, {18, 17, 309, 86}, {221, 38, 293, 77}, {360, 34, 432, 77}},
    };
    const HWND main = editor->window();
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        RECT frame{0, 0, size.width, size.height};
        AdjustWindowRectEx(&frame, GetWindowLongW(main, GWL_STYLE), FALSE, 0);
        SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_TRUE(gui::pumpUntil([&] {
            RECT client{};
            GetClientRect(main, &client);
            return client.right == size.width && client.bottom == size.height;
        }));
        EXPECT_TRUE(same(clientRectIn(main, list()), size.list)) << describe(clientRectIn(main, list()));
        const RECT groupbox = clientRectIn(main, editor->control(Control::groupbox));
        EXPECT_TRUE(same(groupbox, size.groupbox)) << describe(groupbox);
        const RECT reload = clientRectIn(main, editor->control(Control::btn_reload));
        EXPECT_TRUE(same(reload, size.reload)) << describe(reload);
        const RECT out = clientRectIn(main, editor->control(Control::btn_out));
        EXPECT_TRUE(same(out, size.out)) << describe(out);
    }
}

TEST_F(Window, ChoosingTheGreatSwordByKeyboardFillsTheGrid) {
    loadGreatSword();
    EXPECT_EQ(GetFocus(), list());
    EXPECT_EQ(cell(1, 2), L"00");
    EXPECT_EQ(cell(1, 3), L"直斩");
    EXPECT_EQ(cell(1, 4), L"切断");
    EXPECT_EQ(cell(60, 2), L"13");
    EXPECT_EQ(cell(60, 3), L"冲撞攻击3");
    EXPECT_EQ(cell(60, 6), L"1.5");
    EXPECT_EQ(cell(60, 12), L"4;combobox;{切断,打击,弹}");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Window, AnotherFamilyIsRefusedWithAMessageAndAnEmptyGrid) {
    loadGreatSword();
    SetFocus(selector());
    gui::pressKey(VK_DOWN);  // 片手剑
    ASSERT_TRUE(gui::pumpUntil([&] { return !boxes.boxes().empty(); }));
    const SeenMessageBox& box = boxes.boxes().front();
    EXPECT_EQ(box.text, L"目前只做了大剑 ：)");
    EXPECT_EQ(box.title, L"提示");
    EXPECT_EQ(box.owner, editor->window());
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(box.buttons, 1);
    EXPECT_EQ(ListView_GetItemCount(list()), 0);
    EXPECT_EQ(clickForMessage(Control::btn_out), L"列表为空");
}

TEST_F(Window, AHeaderDragChangesNoColumnWidth) {
    loadGreatSword();
    HWND header = ListView_GetHeader(list());
    std::vector<int> widths;
    for (int i = 0; i < 14; ++i) widths.push_back(ListView_GetColumnWidth(list(), i));
    for (int divider : {1, 10}) {  // after 动作序号, and after 骑乘值 where the hidden columns sit
        RECT item{};
        Header_GetItemRect(header, divider, &item);
        const POINT start{item.right - 1, (item.top + item.bottom) / 2};
        gui::press(header, start);
        gui::moveTo(header, {start.x + 20, start.y});
        gui::moveTo(header, {start.x + 60, start.y});
        gui::release(header, {start.x + 60, start.y});
        ASSERT_TRUE(gui::settle());
    }
    for (int i = 0; i < 14; ++i) EXPECT_EQ(ListView_GetColumnWidth(list(), i), widths[static_cast<std::size_t>(i)]) << i;
}

TEST_F(Window, HeaderClicksReorderNothing) {
    loadGreatSword();
    HWND header = ListView_GetHeader(list());
    for (int column : {1, 2, 4}) {
        RECT item{};
        Header_GetItemRect(header, column, &item);
        gui::click(header, gui::centre(item));
        ASSERT_TRUE(gui::settle());
        gui::moveTo(header, {0, 0});  // apart, so that the next click is not a double-click
    }
    EXPECT_EQ(cell(1, 2), L"00");
    EXPECT_EQ(cell(2, 2), L"01");
    EXPECT_EQ(cell(60, 2), L"13");
    for (int column = 1; column <= 14; ++column) EXPECT_EQ(grid().columnImage(column), -1) << column;
}

TEST_F(Window, AnEditedValueIsExportedIntoItsRecordAndNothingElse) {
    loadGreatSword();
    openEditBox(1, 5);
    gui::typeText(L"250");
    gui::pressKey(VK_RETURN);
    ASSERT_TRUE(gui::pumpUntil([&] { return cell(1, 5) == L"250" && !editBoxOpen(); }));

    EXPECT_EQ(clickForMessage(Control::btn_out), L"导出成功，在程序运行目录下的out文件夹");
    Bytes expected = templateBytes(0);
    const Bytes value = {0x00, 0x00, 0x7A, 0x43};  // 250.0f
    std::copy(value.begin(), value.end(), expected.begin() + 3685 + 8);
    EXPECT_EQ(exported(0), expected);
    EXPECT_EQ(exported(1), templateBytes(1));
}

TEST_F(Window, ALockedOutputFileGivesTheErrorAndNotTheSuccess) {
    loadGreatSword();
    ASSERT_EQ(clickForMessage(Control::btn_out), L"导出成功，在程序运行目录下的out文件夹");
    const fs::path locked = helper::outputFile(temp.folders, "00", 1);
    HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::wstring message = clickForMessage(Control::btn_out);
    CloseHandle(lock);
    EXPECT_EQ(message.rfind(L"导出失败：", 0), 0u) << narrow(message);
    EXPECT_NE(message.find(L"wp00_01.col"), std::wstring::npos) << narrow(message);
    EXPECT_EQ(boxes.boxes().size(), 1u);
}

TEST_F(Window, ReloadWithNothingChosenAsksForAFamily) {
    EXPECT_EQ(clickForMessage(Control::btn_reload), L"请选择武器类型");
    EXPECT_EQ(ListView_GetItemCount(list()), 0);
}

TEST_F(Window, ClosingDeletesTheInstanceAtom) {
    EXPECT_EQ(SingleInstance::findRunningWindow(), editor->window());
    editor.reset();
    EXPECT_EQ(GlobalFindAtomW(SingleInstance::key), 0);
    EXPECT_EQ(SingleInstance::findRunningWindow(), nullptr);
}

TEST_F(Window, ASecondStartRestoresTheFirstWindowAndEndsWithoutAWindow) {
    ShowWindow(editor->window(), SW_MINIMIZE);
    ASSERT_TRUE(gui::pumpUntil([&] { return IsIconic(editor->window()) != FALSE; }));

    std::wstring command = L"\"" + editorExecutable() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << narrow(command);
    const bool ended = gui::pumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; },
                                      gui::Limit{20000});
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(ended);
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(gui::pumpUntil([&] { return !IsIconic(editor->window()); }));
    EXPECT_TRUE(gui::pumpUntil([&] { return GetForegroundWindow() == editor->window(); }));
}

TEST(SingleInstanceGuard, AnAtomThatNoWindowCarriesIsReplaced) {
    testing_support::TempFolders temp;
    GlobalAddAtomW(SingleInstance::key);  // as left by an instance that crashed
    auto editor = MainWindow::start(GetModuleHandleW(nullptr), temp.folders);
    ASSERT_TRUE(editor);
    EXPECT_EQ(SingleInstance::findRunningWindow(), editor->window());
    editor.reset();
    EXPECT_EQ(GlobalFindAtomW(SingleInstance::key), 0);
}

}  // namespace
