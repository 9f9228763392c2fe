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

// Without this, the list recomputes its scroll bars for every row added,
// which under Wine costs several milliseconds a row.
void ListViewCells::beginBulkUpdate() { SendMessageW(grid_.list(), WM_SETREDRAW, FALSE, 0); }

void ListViewCells::endBulkUpdate() {
    SendMessageW(grid_.list(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(grid_.list(), nullptr, TRUE);
}
