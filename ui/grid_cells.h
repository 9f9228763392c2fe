// What the window's logic needs of the grid and of the user's attention,
// without a window: the Win32 layer implements these over the list view and
// message boxes, the tests over plain tables.
#pragma once

#include <string>
#include <vector>

// The text for one cell, rows and columns from 1.
struct CellText {
    int row = 0;
    int column = 0;
    std::string text;

    bool operator==(const CellText& other) const {
        return row == other.row && column == other.column && text == other.text;
    }
};

// A grid of text cells; rows and columns count from 1, an empty cell reads "".
class GridCells {
public:
    virtual ~GridCells() = default;
    virtual int rowCount() const = 0;
    // Appends a row with the texts of columns 1, 2, ...; missing columns stay empty.
    virtual void appendRow(const std::vector<std::string>& cells) = 0;
    virtual std::string cell(int row, int column) const = 0;
    virtual void setCell(int row, int column, const std::string& text) = 0;
    // Removes every row; columns and their widths stay.
    virtual void removeAllRows() = 0;
    virtual void focus() = 0;
    // Selects the row alone, scrolls it into view and gives the grid the
    // focus, so that the user sees it.
    virtual void showRow(int row) = 0;
    // Around a run of many changes: the grid may hold its repainting until
    // the run ends. Runs may nest; the outermost one's end counts.
    virtual void beginBulkUpdate() {}
    virtual void endBulkUpdate() {}
};

// Holds a grid's repainting for the life of the object.
class BulkUpdate {
public:
    explicit BulkUpdate(GridCells& grid) : grid_(grid) { grid_.beginBulkUpdate(); }
    BulkUpdate(const BulkUpdate&) = delete;
    BulkUpdate& operator=(const BulkUpdate&) = delete;
    ~BulkUpdate() { grid_.endBulkUpdate(); }

private:
    GridCells& grid_;
};

// Shows a message to the user and returns when the user has read it.
class Notices {
public:
    virtual ~Notices() = default;
    virtual void notice(const std::string& text) = 0;
};
