#include "row_colours.h"

#include <algorithm>
#include <utility>

namespace lvGrid {

namespace {

using Table = std::vector<std::optional<Colour>>;

std::optional<Colour> entry(const Table& table, int number) {
    if (number < 1 || static_cast<std::size_t>(number) > table.size()) return std::nullopt;
    return table[static_cast<std::size_t>(number - 1)];
}

void store(Table& table, int number, std::optional<Colour> colour) {
    if (number < 1) return;
    const auto index = static_cast<std::size_t>(number - 1);
    if (index >= table.size()) table.resize(index + 1);
    table[index] = colour;
}

// Inserts an entry at `number`, moving the later ones on by one.
void insertAt(Table& table, int number, std::optional<Colour> colour) {
    const auto index = static_cast<std::size_t>(number - 1);
    if (index > table.size()) table.resize(index);
    table.insert(table.begin() + static_cast<std::ptrdiff_t>(index), colour);
}

}  // namespace

RowColours::RowColours(int rows) : colors1_(static_cast<std::size_t>(std::max(rows, 0)), Colour{0}) {}

void RowColours::setText(int row, Colour colour) { store(colors1_, row, colour); }

void RowColours::setBackground(int position, Colour colour) { store(colors2_, position, colour); }

std::optional<Colour> RowColours::text(int row) const { return entry(colors1_, row); }

std::optional<Colour> RowColours::background(int position) const { return entry(colors2_, position); }

void RowColours::rowInserted(int position, int rows) {
    const int last = rows + 1;
    insertAt(colors1_, position >= 1 && position <= last ? position : last, Colour{0});

    if (!nthchilds_) return;
    const int period = nthchilds_->period;
    const bool multiple = period != 0 && last % period == 0;
    store(colors2_, last, multiple ? std::optional<Colour>(nthchilds_->multiple) : nthchilds_->other);
}

void RowColours::rowMoved(int from, int to) {
    const std::optional<Colour> colour = entry(colors1_, from);
    rowRemoved(from);
    if (to >= 1) insertAt(colors1_, to, colour);
}

void RowColours::rowRemoved(int row) {
    if (row < 1 || static_cast<std::size_t>(row) > colors1_.size()) return;
    colors1_.erase(colors1_.begin() + (row - 1));
}

void RowColours::rowsReordered(const std::vector<int>& order) {
    Table reordered = colors1_;
    for (std::size_t i = 0; i < order.size(); ++i) store(reordered, static_cast<int>(i + 1), entry(colors1_, order[i]));
    colors1_ = std::move(reordered);
}

}  // namespace lvGrid
