// The grid on a real report-view list in a window of its own, driven by real
// mouse and keyboard input.
#include "lv_grid.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui_driver.h"

namespace {

using Texts = std::vector<std::wstring>;

constexpr COLORREF red = 255;
constexpr COLORREF green = RGB(0, 200, 0);
constexpr COLORREF blue = RGB(0, 0, 200);
constexpr wchar_t windowClass[] = L"GridWindowTest";

// How often the window's own notification handler saw each code, that is
// after the grid's pre-handler left it unanswered.
std::map<UINT, int> seen;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (lvGrid::Grid* grid = lvGrid::from(header.hwndFrom)) {
            if (const auto answer = grid->preNotify(header)) return *answer;
        }
        ++seen[header.code];
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class GridWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW type{};
        type.lpfnWndProc = windowProc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        type.lpszClassName = windowClass;
        RegisterClassW(&type);
    }

    void SetUp() override {
        seen.clear();
        window = CreateWindowExW(0, windowClass, L"grid", WS_POPUP | WS_BORDER, 40, 40, 560, 300, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(window);
        list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                               20, 20, 500, 240, window, reinterpret_cast<HMENU>(100), GetModuleHandleW(nullptr),
                               nullptr);
        ASSERT_TRUE(list);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);

        // Wrapped before it has columns, as the editor does with its grid.
        grid = lvGrid::ctrl(list);
        grid->preventEtidCol(1);
        const wchar_t* captions[] = {L"Key", L"Name", L"Value", L"Note"};
        for (int i = 0; i < 4; ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 110;
            column.pszText = const_cast<wchar_t*>(captions[i]);
            SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
        for (const Texts& row : {Texts{L"k1", L"b", L"2", L"one"}, Texts{L"k2", L"A", L"10", L"two"},
                                 Texts{L"k3", L"c", L"1.5", L"three"}}) {
            grid->addItem(row);
        }
        ASSERT_TRUE(gui::activate(window));
    }

    void TearDown() override {
        if (GetCapture()) ReleaseCapture();
        DestroyWindow(window);
        grid.reset();
    }

    RECT cell(int row, int column) const {
        RECT rect{};
        rect.top = column - 1;
        rect.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }

    HWND header() const { return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); }

    POINT headerPoint(int column, int offset = 0) const {
        RECT rect{};
        SendMessageW(header(), HDM_GETITEMRECT, static_cast<WPARAM>(column - 1), reinterpret_cast<LPARAM>(&rect));
        POINT point = gui::centre(rect);
        point.x += offset;
        return point;
    }

    bool boxOpen() const { return grid->editBox() && IsWindowVisible(grid->editBox()); }

    std::wstring boxText() const {
        wchar_t text[256] = {};
        GetWindowTextW(grid->editBox(), text, 256);
        return text;
    }

    // Double-clicks a cell and waits until the box is open and the whole
    // double-click has been handled.
    void openBox(int row, int column) {
        gui::doubleClick(list, gui::centre(cell(row, column)));
        ASSERT_TRUE(gui::pumpUntil([&] { return boxOpen(); }));
        ASSERT_TRUE(gui::settle());
    }

    Texts column(int number) const {
        Texts texts;
        for (int row = 1; row <= grid->rowCount(); ++row) texts.push_back(grid->itemText(row, number));
        return texts;
    }

    HWND window = nullptr;
    HWND list = nullptr;
    std::unique_ptr<lvGrid::Grid> grid;
};

TEST_F(GridWindow, DoubleClickOpensTheBoxOverTheCellWithItsTextSelected) {
    openBox(2, 3);
    const HWND box = grid->editBox();

    RECT placed{};
    GetWindowRect(box, &placed);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&placed), 2);
    const RECT expected = cell(2, 3);
    EXPECT_TRUE(EqualRect(&placed, &expected)) << placed.left << "," << placed.top << "," << placed.right << ","
                                               << placed.bottom;
    EXPECT_EQ(GetParent(box), list);
    EXPECT_EQ(boxText(), L"10");
    DWORD start = 99, end = 99;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(GetCapture(), box);
    EXPECT_EQ(seen[NM_DBLCLK], 1);  // the window's own handler still sees the double-click
}

TEST_F(GridWindow, EnterKeyUpCommitsAndHides) {
    openBox(2, 3);
    const HWND box = grid->editBox();
    gui::typeText(L"42");
    gui::keyDown(VK_RETURN);
    ASSERT_TRUE(gui::settle());
    EXPECT_TRUE(boxOpen());  // Enter commits on its release only
    EXPECT_EQ(grid->itemText(2, 3), L"10");

    gui::keyUp(VK_RETURN);
    ASSERT_TRUE(gui::pumpUntil([&] { return !boxOpen(); }));
    EXPECT_EQ(grid->itemText(2, 3), L"42");
    EXPECT_EQ(GetCapture(), nullptr);

    // The same box serves the next cell.
    openBox(3, 4);
    EXPECT_EQ(grid->editBox(), box);
    EXPECT_EQ(boxText(), L"three");
}

TEST_F(GridWindow, ClickOutsideCommitsAndTheNextClickReachesItsTarget) {
    openBox(1, 2);
    gui::typeText(L"zz");
    gui::click(list, gui::centre(cell(3, 3)));
    ASSERT_TRUE(gui::pumpUntil([&] { return !boxOpen(); }));
    ASSERT_TRUE(gui::settle());
    EXPECT_EQ(grid->itemText(1, 2), L"zz");
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_NE(GetFocus(), grid->editBox());

    // Neither the pointer nor the keyboard is caught by the hidden box.
    gui::click(list, gui::centre(cell(2, 2)));
    EXPECT_TRUE(gui::pumpUntil([&] { return SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 1; }));
    gui::typeText(L"q");
    ASSERT_TRUE(gui::settle());
    EXPECT_EQ(boxText(), L"zz");
    EXPECT_EQ(column(2), Texts({L"zz", L"A", L"c"}));
}

TEST_F(GridWindow, ClickInsideKeepsTheBoxOpenAndItsText) {
    openBox(2, 2);
    RECT inside{};
    GetClientRect(grid->editBox(), &inside);
    gui::click(grid->editBox(), gui::centre(inside));
    gui::pressKey(VK_ESCAPE);
    ASSERT_TRUE(gui::settle());
    EXPECT_TRUE(boxOpen());
    EXPECT_EQ(boxText(), L"A");
    EXPECT_EQ(GetCapture(), grid->editBox());

    // With the capture back, even a press on a spot that takes no focus
    // closes the box. The click inside put the caret after the text.
    gui::typeText(L"B");
    gui::click(window, {5, 5});
    ASSERT_TRUE(gui::pumpUntil([&] { return !boxOpen(); }));
    EXPECT_EQ(grid->itemText(2, 2), L"AB");
}

TEST_F(GridWindow, DoubleClickOffAnEditableCellOpensNothing) {
    const RECT last = cell(3, 3);
    const struct {
        const char* where;
        POINT at;
    } places[] = {
        {"protected column", gui::centre(cell(2, 1))},
        {"below the last row", {(last.left + last.right) / 2, last.bottom + 40}},
        {"right of the last column", {cell(2, 4).right + 30, gui::centre(cell(2, 4)).y}},
    };
    int doubleClicks = 0;
    for (const auto& place : places) {
        SCOPED_TRACE(place.where);
        gui::doubleClick(list, place.at);
        ++doubleClicks;
        ASSERT_TRUE(gui::pumpUntil([&] { return seen[NM_DBLCLK] == doubleClicks; }));
        ASSERT_TRUE(gui::settle());
        EXPECT_FALSE(boxOpen());
        EXPECT_EQ(GetCapture(), nullptr);
    }
    EXPECT_EQ(grid->editBox(), nullptr);
}

// Counts the pixels of a cell's text: red ones and dark grey ones.
struct Ink {
    int red = 0;
    int black = 0;
};

Ink inkIn(const gui::ScreenImage& image, HWND list, RECT cell) {
    InflateRect(&cell, -2, -2);  // off the grid lines
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&cell), 2);
    Ink ink;
    for (LONG y = cell.top; y < cell.bottom; ++y) {
        for (LONG x = cell.left; x < cell.right; ++x) {
            const COLORREF pixel = image.at({x, y});
            const int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
            // Smoothed glyphs blend with the background: red ink is a pixel
            // where red clearly dominates, black ink a dark one.
            if (r > 150 && r - g > 80 && r - b > 80) ++ink.red;
            if (r < 120 && g < 120 && b < 120) ++ink.black;
        }
    }
    return ink;
}

TEST_F(GridWindow, RowColoursReachThePixels) {
    grid->setItemColor(2, red);
    grid->setItemColorBk(3, blue);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);

    RECT area{};
    GetWindowRect(list, &area);
    const RECT background = cell(3, 4);
    const POINT blank = gui::toScreen(list, {background.right - 6, gui::centre(background).y});
    ASSERT_TRUE(gui::pumpUntil([&] { return gui::screenPixel(blank) == blue; }))
        << std::hex << gui::screenPixel(blank);
    const gui::ScreenImage image(area);
    for (int row = 1; row <= 3; ++row) {
        for (int column = 1; column <= 4; ++column) {
            SCOPED_TRACE("row " + std::to_string(row) + ", column " + std::to_string(column));
            const Ink ink = inkIn(image, list, cell(row, column));
            if (row == 2) {
                EXPECT_GT(ink.red, 0);
                EXPECT_EQ(ink.black, 0);
            } else {
                EXPECT_EQ(ink.red, 0);
                EXPECT_GT(ink.black, 0);
            }
        }
    }
}

TEST_F(GridWindow, NumColumnSortsOnHeaderClicksWithItsArrow) {
    grid->setSort({"3:num"});
    gui::click(header(), headerPoint(3));
    ASSERT_TRUE(gui::pumpUntil([&] { return column(3) == Texts({L"1.5", L"2", L"10"}); }));
    EXPECT_EQ(lvGrid::getColImage(3), 0);
    EXPECT_EQ(column(1), Texts({L"k3", L"k1", L"k2"}));

    // A few pixels apart, so that the two clicks do not make a double-click.
    gui::click(header(), headerPoint(3, 20));
    ASSERT_TRUE(gui::pumpUntil([&] { return column(3) == Texts({L"10", L"2", L"1.5"}); }));
    EXPECT_EQ(lvGrid::getColImage(3), 1);
    EXPECT_EQ(seen[LVN_COLUMNCLICK], 2);  // the window's own handler sees the clicks too

    // A column not declared sortable changes nothing.
    gui::click(header(), headerPoint(4));
    ASSERT_TRUE(gui::pumpUntil([&] { return seen[LVN_COLUMNCLICK] == 3; }));
    EXPECT_EQ(column(3), Texts({L"10", L"2", L"1.5"}));
    EXPECT_EQ(lvGrid::getColImage(3), 1);
    EXPECT_EQ(lvGrid::getColImage(4), -1);
}

TEST_F(GridWindow, StrColumnSortsAndTakesTheArrowFromTheLastSortedColumn) {
    grid->setSort({"2:str"});
    grid->sort(3, "num");
    ASSERT_EQ(lvGrid::getColImage(3), 0);

    gui::click(header(), headerPoint(2));
    ASSERT_TRUE(gui::pumpUntil([&] { return column(2) == Texts({L"A", L"b", L"c"}); }));
    EXPECT_EQ(lvGrid::getColImage(2), 0);
    EXPECT_EQ(lvGrid::getColImage(3), -1);
}

TEST_F(GridWindow, HeaderHoldsTheTwoArrowImages) {
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(header(), HDM_GETIMAGELIST, 0, 0));
    ASSERT_TRUE(images);
    EXPECT_EQ(ImageList_GetImageCount(images), 2);
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 15);

    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 15);
    const HGDIOBJ before = SelectObject(dc, canvas);
    for (int image = 0; image < 2; ++image) {
        SCOPED_TRACE(image);
        PatBlt(dc, 0, 0, 16, 15, WHITENESS);
        ImageList_Draw(images, image, dc, 0, 0, ILD_NORMAL);
        std::vector<int> widths;  // grey pixels per pixel row
        for (int y = 0; y < 15; ++y) {
            int grey = 0;
            for (int x = 0; x < 16; ++x) grey += GetPixel(dc, x, y) == RGB(128, 128, 128);
            widths.push_back(grey);
        }
        const std::vector<int> up{0, 0, 0, 0, 0, 0, 1, 3, 5, 7, 0, 0, 0, 0, 0};
        const std::vector<int> down{0, 0, 0, 0, 0, 0, 7, 5, 3, 1, 0, 0, 0, 0, 0};
        EXPECT_EQ(widths, image == 0 ? up : down);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));  // magenta is transparent
    }
    SelectObject(dc, before);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(GridWindow, TextColoursStayWithTheirRows) {
    grid->nthChild(2, green, blue);
    EXPECT_EQ(grid->addItem({L"k0", L"z", L"0"}, 1), 1);
    EXPECT_EQ(column(1), Texts({L"k0", L"k1", L"k2", L"k3"}));
    EXPECT_EQ(grid->itemText(1, 4), L"");
    EXPECT_EQ(grid->colours().background(4), green);

    grid->setItemColor(3, red);  // k2
    EXPECT_TRUE(grid->delItem(1));
    EXPECT_EQ(grid->colours().text(2), red);
    EXPECT_TRUE(grid->delItem());  // the last row, k3
    EXPECT_FALSE(grid->delItem(3));
    EXPECT_EQ(column(1), Texts({L"k1", L"k2"}));

    grid->sort(3, "num");
    grid->sort(3, "num");  // descending: k2 first
    ASSERT_EQ(column(1), Texts({L"k2", L"k1"}));
    EXPECT_EQ(grid->colours().text(1), red);
    EXPECT_EQ(grid->colours().text(2), 0u);

    // Rows inserted behind the grid's back are kept in step as well.
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(L"raw");
    ASSERT_EQ(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    EXPECT_EQ(grid->colours().text(2), red);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(grid->colours().text(1), std::nullopt);
}

TEST_F(GridWindow, AListIsWrappedOnceAndOnlyAList) {
    EXPECT_EQ(lvGrid::from(list), grid.get());
    EXPECT_THROW(lvGrid::ctrl(list), std::runtime_error);
    EXPECT_EQ(lvGrid::from(window), nullptr);
    EXPECT_THROW(lvGrid::ctrl(window), std::runtime_error);
    EXPECT_EQ(lvGrid::getColumnCount(), 4);
    // A notification of another window is not read as one of the list's.
    const NMHDR other{window, 0, static_cast<UINT>(NM_CUSTOMDRAW)};
    EXPECT_EQ(grid->preNotify(other), std::nullopt);
}

TEST_F(GridWindow, AGridWhoseListIsDestroyedDoesNothingMore) {
    openBox(2, 3);
    DestroyWindow(list);
    EXPECT_EQ(grid->list(), nullptr);
    EXPECT_EQ(grid->editBox(), nullptr);
    EXPECT_EQ(lvGrid::from(list), nullptr);
    EXPECT_EQ(lvGrid::getColumnCount(), 0);
    EXPECT_EQ(lvGrid::getColImage(1), -1);
    EXPECT_EQ(lvGrid::cmpStr(1, 2, 0), 0);
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(grid->addItem({L"late"}), 0);
    grid->sort(3, "num");
    grid.reset();
}

TEST_F(GridWindow, DestroyingTheGridGivesTheListBack) {
    const LONG_PTR wrapped = GetWindowLongPtrW(list, GWLP_WNDPROC);
    openBox(2, 3);
    const HWND box = grid->editBox();
    grid.reset();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(lvGrid::from(list), nullptr);
    EXPECT_NE(GetWindowLongPtrW(list, GWLP_WNDPROC), wrapped);  // the list's own procedure again
    EXPECT_EQ(SendMessageW(header(), HDM_GETIMAGELIST, 0, 0), 0);
    EXPECT_EQ(lvGrid::getColumnCount(), 0);

    // Double-clicks open nothing now, and the list is a list: it can be wrapped anew.
    gui::doubleClick(list, gui::centre(cell(1, 2)));
    ASSERT_TRUE(gui::pumpUntil([&] { return seen[NM_DBLCLK] == 2; }));
    grid = lvGrid::ctrl(list);
    EXPECT_EQ(grid->rowCount(), 3);
    openBox(3, 2);
    EXPECT_EQ(boxText(), L"c");
}

}  // namespace
