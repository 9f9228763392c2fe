// Stand-ins for the grid, the message boxes and the editor controls, so the
// window's logic runs against the real data core without a window.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "grid_cells.h"
#include "in_cell_editors.h"

class FakeGrid : public GridCells {
public:
    std::vector<std::vector<std::string>> rows;
    bool focused = false;
    std::vector<int> shownRows;  // rows brought into view, in order
    int openBulkUpdates = 0;     // nested runs of changes not yet ended
    int repaints = 0;            // outermost runs ended: the list paints once each

    int rowCount() const override { return static_cast<int>(rows.size()); }
    void appendRow(const std::vector<std::string>& cells) override {
        rows.push_back(cells);
        rows.back().resize(14);
    }
    std::string cell(int row, int column) const override {
        if (row < 1 || row > rowCount() || column < 1 || column > 14) return "";
        return rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
    }
    void setCell(int row, int column, const std::string& text) override {
        if (row < 1 || row > rowCount() || column < 1 || column > 14) return;
        rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] = text;
    }
    void removeAllRows() override { rows.clear(); }
    void focus() override { focused = true; }
    void showRow(int row) override { shownRows.push_back(row); }
    void beginBulkUpdate() override { ++openBulkUpdates; }
    void endBulkUpdate() override {
        if (--openBulkUpdates == 0) ++repaints;
    }
};

class FakeNotices : public Notices {
public:
    std::vector<std::string> shown;
    void notice(const std::string& text) override { shown.push_back(text); }
};

class FakeControls : public EditorControls {
public:
    struct State {
        bool visible = false;
        Rect rect;
        std::vector<std::string> items;
        std::string text;
        std::optional<int> selected;
        bool focused = false;
    };
    std::map<Editor, State> editors;

    void setVisible(Editor e, bool visible) override { editors[e].visible = visible; }
    bool isVisible(Editor e) const override { return editors.count(e) && editors.at(e).visible; }
    void place(Editor e, const Rect& rect) override { editors[e].rect = rect; }
    void setItems(Editor e, const std::vector<std::string>& items) override {
        editors[e].items = items;
        editors[e].selected.reset();
    }
    void setText(Editor e, const std::string& text) override { editors[e].text = text; }
    std::string text(Editor e) const override { return editors.count(e) ? editors.at(e).text : ""; }
    std::optional<std::string> selectedItem(Editor e) const override {
        if (!editors.count(e) || !editors.at(e).selected) return std::nullopt;
        return editors.at(e).items.at(static_cast<std::size_t>(*editors.at(e).selected));
    }
    void selectFirst(Editor e) override {
        if (!editors[e].items.empty()) editors[e].selected = 0;
    }
    void focus(Editor e) override { editors[e].focused = true; }
    int scrolledRows = 0;  // rows scrolled out of view at the top
    // Cell (row, column) spans x from 100 * column, y from 20 * row (less the
    // rows scrolled away).
    std::optional<Rect> labelRect(int row, int column) const override {
        const int top = 20 * (row - scrolledRows);
        return Rect{100 * column, top, 100 * column + 60, top + 18};
    }
    int shownAtDpi = 96;
    int dpi() const override { return shownAtDpi; }

    std::vector<Editor> visible() const {
        std::vector<Editor> shown;
        for (Editor e : allEditors) {
            if (isVisible(e)) shown.push_back(e);
        }
        return shown;
    }
};
