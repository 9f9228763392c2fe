// lvGrid: an existing report-view list turned into a small grid, in place.
//
// - Rows are painted through custom draw with a text colour per row (it moves
//   with its row) and a background colour per row position (it stays).
// - A double-click on a cell opens an edit box over it; Enter, a click outside
//   the box or the loss of the focus writes the box's text into the cell.
//   Protected columns never open the box. The box only ever writes into the
//   cell it lies over: before the rows move under it (a scroll, a resize, a
//   sort, a row added or deleted) it writes and closes, and when the list is
//   emptied it closes without writing.
// - Declared columns sort all rows when their header is clicked, alternating
//   ascending and descending, with an arrow in the header.
//
// Rows and columns count from 1 (row = item index + 1, column = sub-item
// index + 1). The list's parent must hand every WM_NOTIFY from the list to
// Grid::preNotify first and answer with its result when it gives one.
// Everything runs on the thread that owns the list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "row_colours.h"
#include "sort_arrows.h"
#include "sort_rules.h"
#include "win32_handles.h"

namespace lvGrid {

class Grid {
public:
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;
    // Gives the list back as it was before the wrap; the edit box goes.
    ~Grid();

    // The wrapped list; null once the list's window is destroyed, after which
    // the grid does nothing.
    HWND list() const { return list_; }
    // The edit box, a hidden child of the list between edits; null until the
    // first double-click on an editable cell.
    HWND editBox() const { return editlable_.window; }

    // Protects exactly these columns against the edit box; no column unprotects all.
    template <typename... Columns>
    void preventEtidCol(Columns... columns) {
        preventetidcols_ = std::vector<int>{columns...};
    }

    // Stripes rows as they are added: the position of the last row gets
    // `colourA` when it is a multiple of `n`, `colourB` otherwise (the list's
    // own background without it). Without arguments, no more stripes.
    void nthChild(int n, COLORREF colourA, std::optional<COLORREF> colourB = std::nullopt);
    void nthChild();
    // Colours are stored only: a row shows them when the list next paints it.
    void setItemColor(int row, COLORREF colour);
    void setItemColorBk(int row, COLORREF colour);

    // Adds a row with the texts of columns 1, 2, ... at `position` (0, or a
    // position past the end, appends) and returns its row number, 0 if the
    // list refused it. The row gets black text.
    int addItem(const std::vector<std::wstring>& texts, int position = 0);
    // Deletes a row (0: the last one); false when there is no such row.
    bool delItem(int row = 0);

    // Declares sortable columns with entries "column:type", type "num" or
    // "str"; columns not named keep their declaration, malformed entries are
    // ignored.
    void setSort(const std::vector<std::string>& entries);
    // Sorts the rows by `column` now, as by a click on its header. A type other
    // than "num" or "str" sorts nothing but still flips the arrow.
    void sort(int column, std::string_view type);

    // The grid's share of a notification from the list: an answer for the
    // custom-draw stages it paints, nothing for every other notification (it
    // still sorts on a column click and opens the edit box on a double-click).
    // Notifications from other windows are left alone.
    std::optional<LRESULT> preNotify(const NMHDR& header) noexcept;

    // The label rectangle of a cell in the list's client coordinates; nothing
    // for a cell that is not there.
    std::optional<RECT> labelRect(int row, int column) const;

    std::wstring itemText(int row, int column) const;
    void setItemText(int row, int column, std::wstring_view text);
    int rowCount() const;

    int columnCount() const;
    // The image a column's header shows, -1 for none.
    int columnImage(int column) const;
    // Shows image `image` to the right of the header's caption; -1 removes it.
    // Either way the column ends up left-aligned.
    void setColumnImage(int column, int image = -1);

    // The DPI the list is shown at, the list's own at first; the edit box's
    // font follows it.
    int dpi() const { return dpi_; }
    void setDpi(int dpi);

    const RowColours& colours() const { return colours_; }
    const ColumnSorter& sorter() const { return sorter_; }

private:
    friend std::unique_ptr<Grid> ctrl(HWND list);
    friend struct GridWindows;

    explicit Grid(HWND list);

    std::optional<LRESULT> customDraw(NMLVCUSTOMDRAW& draw) const;
    void openEditBox(int row, int column);
    void createEditBox();
    FontHandle createEditFont() const;
    bool editBoxOpen() const;
    // Writes the box's text into its cell, if the box still lies over it, and closes the box.
    void commit();
    // Closes the box without writing.
    void closeEditBox();
    // The list's window is going: the grid lets go of it.
    void detach();

    struct Cell {
        int row = 0;
        int column = 0;
    };
    struct EditBox {
        HWND window = nullptr;
        Cell listViewNotifyMessage;  // the cell being edited
        RECT placed{};               // where the box was put over it, in the list's client coordinates
    };

    HWND list_;
    std::vector<int> preventetidcols_;
    std::map<int, std::string> setsorttab_;  // column -> sort type
    RowColours colours_;
    ColumnSorter sorter_;
    ImageList arrows_;
    int dpi_;
    FontHandle editFont_;
    EditBox editlable_;
    bool committing_ = false;
};

// Wraps a report-view list, binds the module functions below to it and
// returns the grid, its one owner: the list works as a grid while both live.
// Destroying the grid gives the list back; a grid whose list was destroyed
// first does nothing more. Throws std::runtime_error when the window is not a
// list view, is wrapped already, or cannot be wrapped.
std::unique_ptr<Grid> ctrl(HWND list);
// The grid of a wrapped list; null for any other window.
Grid* from(HWND list);

// Whether the rows of a list may lie elsewhere, or be gone, once the list has
// handled this message: scrolling by any means (scroll bars, the wheel, keys,
// requests), a change of size, sorting, rows or columns added or removed, a
// column's width. Things laid over a cell (the edit box, the main window's
// editors) close around them.
bool rowsMayMove(UINT message, LPARAM lParam);

// Header operations on the most recently wrapped list (0, -1 and nothing once
// it is gone).
int getColumnCount();
int getColImage(int column);
void setColImage(int column, int image = -1);

// List-view comparison callbacks over the cell texts cached by the last sort,
// looked up by item data (the sort parameter is ignored). They compare with
// the cache of the grid being sorted, else of the most recently wrapped list.
int CALLBACK cmpStr(LPARAM a, LPARAM b, LPARAM);
int CALLBACK cmpStrDesc(LPARAM a, LPARAM b, LPARAM);
int CALLBACK cmpNum(LPARAM a, LPARAM b, LPARAM);
int CALLBACK cmpNumDesc(LPARAM a, LPARAM b, LPARAM);

}  // namespace lvGrid
