// The main window at the DPI the system shows it at, and after a change of
// DPI: every length written for 96 dpi, scaled by dpi / 96, so that captions,
// button texts and the editors keep fitting. These run with the other window
// tests at 96 dpi, and scripts/test runs them once more with the Wine prefix
// at 144 dpi (150 %).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "editor_window.h"
#include "text.h"

namespace {

// The DPI the user set (HKCU\Control Panel\Desktop LogPixels, 96 when it is
// not set): what every expectation below is computed from, read apart from
// the code under test.
int configuredDpi() {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS ||
        value == 0) {
        return 96;
    }
    return static_cast<int>(value);
}

std::string describe(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

LOGFONTW fontOf(HWND window) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    EXPECT_TRUE(handle);
    if (handle) GetObjectW(handle, sizeof font, &font);
    return font;
}

// The width of a text in a window's font.
int textWidth(HWND window, const std::wstring& text) {
    const HDC dc = GetDC(window);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return extent.cx;
}

constexpr std::array<int, 14> columnWidthsAt96{0, 60, 180, 60, 50, 60, 60, 90, 50, 80, 50, 0, 0, 0};

class WindowDpi : public Window {
protected:
    // A length of 96 dpi at `dpi`.
    static int at(int dpi, int pixels) { return MulDiv(pixels, dpi, 96); }
    static RECT at(int dpi, const RECT& rect) {
        return {at(dpi, rect.left), at(dpi, rect.top), at(dpi, rect.right), at(dpi, rect.bottom)};
    }

    RECT clientOf(HWND control) const { return clientRectIn(editor->window(), control); }

    // What the window shows at `dpi`, from the lengths at 96 dpi.
    void expectLayoutAt(int dpi) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " dpi");
        RECT client{};
        GetClientRect(editor->window(), &client);
        EXPECT_EQ(client.right, at(dpi, 800));
        EXPECT_EQ(client.bottom, at(dpi, 560));

        const RECT listRect = clientOf(list());
        EXPECT_EQ(describe(listRect), describe(at(dpi, {16, 96, 784, 536})));
        const RECT group = clientOf(editor->control(Control::groupbox));
        EXPECT_EQ(describe(group), describe(at(dpi, {16, 16, 275, 80})));
        const RECT reload = clientOf(editor->control(Control::btn_reload));
        EXPECT_EQ(describe(reload), describe(at(dpi, {196, 35, 260, 72})));
        const RECT out = clientOf(editor->control(Control::btn_out));
        EXPECT_EQ(describe(out), describe(at(dpi, {320, 32, 384, 72})));
        // The field as tall as its rectangle, or a little taller where the font needs it.
        const RECT field = clientOf(selector());
        EXPECT_EQ(field.left, at(dpi, 40));
        EXPECT_EQ(field.top, at(dpi, 40));
        EXPECT_EQ(field.right, at(dpi, 184));
        EXPECT_GE(field.bottom, at(dpi, 62));
        EXPECT_LE(field.bottom, at(dpi, 64));

        for (std::size_t i = 0; i < columnWidthsAt96.size(); ++i) {
            EXPECT_EQ(ListView_GetColumnWidth(list(), static_cast<int>(i)), at(dpi, columnWidthsAt96[i])) << i;
        }
        EXPECT_EQ(fontOf(selector()).lfHeight, -at(dpi, 14));
        EXPECT_EQ(fontOf(editor->editorControls().control(Editor::plusBtSubCtrlX)).lfHeight, -at(dpi, 10));
        EXPECT_EQ(fontOf(editor->editorControls().control(Editor::plusBtTolistSubCtrlX)).lfHeight, -at(dpi, 8));
        EXPECT_EQ(fontOf(editor->editorControls().control(Editor::listSubCtrlX)).lfHeight, -at(dpi, 12));
        EXPECT_EQ(fontOf(combo()).lfHeight, -at(dpi, 12));
        if (grid().editBox()) {
            EXPECT_EQ(fontOf(grid().editBox()).lfHeight, at(dpi, 11));
        }
    }

    // Every visible column caption and both button texts are whole in the
    // font the window shows them in.
    void expectTextsFit() {
        const HWND header = ListView_GetHeader(list());
        for (const HeaderItem& column : headerItems(list())) {
            if (column.width > 0) {
                EXPECT_LT(textWidth(header, column.caption), column.width) << narrow(column.caption);
            }
        }
        for (Control button : {Control::btn_reload, Control::btn_out}) {
            const HWND window = editor->control(button);
            RECT client{};
            GetClientRect(window, &client);
            EXPECT_LT(textWidth(window, textOf(window)), client.right) << narrow(textOf(window));
        }
    }

    // The window as the system moves it to a monitor of `dpi`: a suggested
    // rectangle in the same place with the client area at the new DPI, and
    // the window's own frame around it.
    void changeDpiTo(int dpi) {
        const HWND main = editor->window();
        RECT frame{}, client{};
        GetWindowRect(main, &frame);
        GetClientRect(main, &client);
        const int frameWidth = (frame.right - frame.left) - client.right;
        const int frameHeight = (frame.bottom - frame.top) - client.bottom;
        RECT suggested{frame.left, frame.top, frame.left + at(dpi, 800) + frameWidth,
                       frame.top + at(dpi, 560) + frameHeight};
        SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        ASSERT_TRUE(gui::settle());
    }
};

TEST_F(WindowDpi, OpensWithEveryLengthAtTheScreensDpi) {
    expectLayoutAt(configuredDpi());
    expectTextsFit();
}

TEST_F(WindowDpi, ResizesInProportionFromItsSizeAtTheScreensDpi) {
    // 600 x 420 at 96 dpi, as at 96 dpi: every control shrinks by a quarter.
    // (Smaller, not larger: at 144 dpi the initial size nearly fills the screen.)
    const int dpi = configuredDpi();
    const HWND main = editor->window();
    RECT frame{}, client{};
    GetWindowRect(main, &frame);
    GetClientRect(main, &client);
    SetWindowPos(main, nullptr, 0, 0, (frame.right - frame.left) - client.right + at(dpi, 600),
                 (frame.bottom - frame.top) - client.bottom + at(dpi, 420), SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(gui::pumpUntil([&] {
        GetClientRect(main, &client);
        return client.right == at(dpi, 600) && client.bottom == at(dpi, 420);
    }));
    EXPECT_EQ(describe(clientOf(list())), describe(at(dpi, {12, 72, 588, 402})));
    EXPECT_EQ(describe(clientOf(editor->control(Control::btn_out))), describe(at(dpi, {240, 24, 288, 54})));
}

TEST_F(WindowDpi, TheEditorsLieOverTheirCellInFontsOfTheScreensDpi) {
    const int dpi = configuredDpi();
    loadGreatSword();
    openComboOn(2);
    const RECT label = cellRect(2, 4);
    const RECT placed = clientRectIn(list(), combo());
    EXPECT_EQ(placed.left, label.left);
    EXPECT_EQ(placed.top, label.top);
    EXPECT_EQ(placed.right, label.right);
    // Its field covers the cell; the font sets how much taller it is.
    EXPECT_GE(placed.bottom, label.bottom) << describe(placed) << " over " << describe(label);
    EXPECT_EQ(fontOf(combo()).lfHeight, -at(dpi, 12));

    openEditBox(5, 6);
    const RECT box = clientRectIn(list(), grid().editBox());
    const RECT cellOf = cellRect(5, 6);
    EXPECT_EQ(describe(box), describe(cellOf));
    EXPECT_EQ(fontOf(grid().editBox()).lfHeight, at(dpi, 11));
}

TEST_F(WindowDpi, FollowsAChangeOfDpiAndBack) {
    const int dpi = configuredDpi();
    loadGreatSword();
    openEditBox(1, 5);  // so that the edit box exists and must follow too
    gui::pressKey(VK_RETURN);
    ASSERT_TRUE(gui::pumpUntil([&] { return !editBoxOpen(); }));
    // The editor controls are made at their first use: made now, they must follow too.
    for (Editor made : allEditors) ASSERT_NE(editor->editorControls().control(made), nullptr);

    const int other = dpi == 96 ? 144 : 96;
    changeDpiTo(other);
    expectLayoutAt(other);
    expectTextsFit();

    changeDpiTo(dpi);
    expectLayoutAt(dpi);
    expectTextsFit();
    EXPECT_EQ(cell(1, 2), L"00");  // the grid kept its rows
}

}  // namespace
