#pragma once

#include "grid_cells.h"

namespace lvGrid {
class Grid;
}

// The grid's cells as the window's logic sees them: UTF-8 texts, rows and
// columns from 1. Rows are added through the grid so that its colour tables
// follow.
class ListViewCells : public GridCells {
public:
    explicit ListViewCells(lvGrid::Grid& grid) : grid_(grid) {}

    int rowCount() const override;
    void appendRow(const std::vector<std::string>& cells) override;
    std::string cell(int row, int column) const override;
    void setCell(int row, int column, const std::string& text) override;
    void removeAllRows() override;
    void focus() override;
    void showRow(int row) override;
    void beginBulkUpdate() override;
    void endBulkUpdate() override;

private:
    lvGrid::Grid& grid_;
    bool wasVisible_ = false;
    int bulkDepth_ = 0;  // runs of changes open, nested
};
