// The colours a grid paints its rows with, without a window: a text colour per
// row, which travels with its row when rows are inserted, removed or sorted,
// and a background colour per row position, which stays where it is. An absent
// entry leaves the list's own colour. Rows count from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace lvGrid {

// A colour as list custom draw takes it: red in the low byte, then green, then
// blue (0 is black).
using Colour = std::uint32_t;

// Stripes laid down as rows are added: when a row comes in, the position of
// the last row gets `multiple` if it is a multiple of `period` and `other`
// otherwise (absent when `other` is). A period of 0 has no multiples.
struct StripeRule {
    int period = 0;
    Colour multiple = 0;
    std::optional<Colour> other;
};

class RowColours {
public:
    // For a list that already holds `rows` rows: black text for each of them,
    // the list's own background.
    explicit RowColours(int rows = 0);

    void setText(int row, Colour colour);
    void setBackground(int position, Colour colour);
    // Replaces the stripe rule; nothing stops striping. Rows already in the
    // list keep their backgrounds.
    void setStripes(std::optional<StripeRule> rule) { nthchilds_ = rule; }

    std::optional<Colour> text(int row) const;
    std::optional<Colour> background(int position) const;

    // A row is being inserted at `position` of a list that now holds `rows`
    // rows (a position past the end appends): it gets black text, later text
    // colours move down one row, and the stripe rule colours the position that
    // becomes the last.
    void rowInserted(int position, int rows);
    // The row at `from` went to `to` instead, the other rows keeping their order.
    void rowMoved(int from, int to);
    // The row went away; later text colours move up one row.
    void rowRemoved(int row);
    // Every row went away, with its text colour; backgrounds stay.
    void allRowsRemoved() { colors1_.clear(); }
    // The rows were reordered: row i now is the row that was row order[i - 1].
    void rowsReordered(const std::vector<int>& order);

private:
    std::vector<std::optional<Colour>> colors1_;  // text colour by row
    std::vector<std::optional<Colour>> colors2_;  // background by position, never shifted
    std::optional<StripeRule> nthchilds_;
};

}  // namespace lvGrid
