#include "list_view_cells.h"

#include <windows.h>
#include <commctrl.h>

#include "lv_grid.h"
#include "text.h"

int ListViewCells::rowCount() const { return grid_.rowCount(); }

void ListViewCells::appendRow(const std::vector<std::string>& cells) {
    std::vector<std::wstring> texts;
    texts.reserve(cells.size());
    for (const std::string& cell : cells) texts.push_back(widen(cell));
    grid_.addItem(texts);
}

std::string ListViewCells::cell(int row, int column) const { return narrow(grid_.itemText(row, column)); }

void ListViewCells::setCell(int row, int column, const std::string& text) {
    if (row < 1 || row > grid_.rowCount()) return;  // a commit after a reload may name a row that is gone
    grid_.setItemText(row, column, widen(text));
}

void ListViewCells::removeAllRows() { ListView_DeleteAllItems(grid_.list()); }

void ListViewCells::focus() { SetFocus(grid_.list()); }

void ListViewCells::showRow(int row) {
    HWND list = grid_.list();
    if (row < 1 || row > grid_.rowCount()) return;
    // A single-selection list drops the previous selection by itself.
    ListView_SetItemState(list, row - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row - 1, FALSE);
    // The selection shows only while the list has the focus.
    SetFocus(list);
}

// Without this, the list recomputes and repaints its scroll bars for every
// row added, which under Wine costs several milliseconds a row.
void ListViewCells::beginBulkUpdate() {
    if (bulkDepth_++ > 0) return;
    HWND list = grid_.list();
    wasVisible_ = IsWindowVisible(list) != FALSE;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
}

// Turning redraw back on makes Wine's list view recompute and paint its
// scroll bars at once, at more than the cost of the rows; done while the list
// is not visible, that work waits for the list's next paint. The default
// handling of WM_SETREDRAW clears and sets the list's visible style without
// hiding it: the focus stays, and the window behind is not repainted (hiding
// and showing the list cost twice as much). The frame is repainted with the
// rows, for scroll bars that came or went.
void ListViewCells::endBulkUpdate() {
    if (bulkDepth_ == 0 || --bulkDepth_ > 0) return;
    HWND list = grid_.list();
    if (wasVisible_) DefWindowProcW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    if (wasVisible_) DefWindowProcW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}
