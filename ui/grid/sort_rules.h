// How a grid column sorts, without a window: the orders of cell texts as text
// and as numbers, the "column:type" entries that declare sortable columns, and
// the sort of one column with its header arrow. Rows and columns count from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lvGrid {

// Orders two texts byte by byte, with the ASCII letters A-Z folded to lower
// case and every other byte taken as unsigned, so that UTF-8 texts order by
// code point; a text orders before every longer text that begins with it.
// Negative, zero or positive; "abc" and "ABC" are equal.
int compareText(std::string_view a, std::string_view b) noexcept;

// The number a cell text holds: optional blanks, a decimal number ("-1.5",
// "+2", "1e3", ".5", "5."), optional blanks. Nothing for any other text, for
// infinity and NaN spellings, and for numbers beyond the range of a double.
std::optional<double> readNumber(std::string_view text) noexcept;

// Orders two texts by the numbers they hold: -1, 0 or +1 ("9" before "10").
// A text that holds no number orders after every number, and such texts order
// among themselves as by compareText, so that any column sorts consistently.
int compareNumber(std::string_view a, std::string_view b) noexcept;

// The four orders a sort can use, named after the list callbacks that apply
// them; the descending ones are the ascending ones with the keys swapped.
enum class Comparator { cmpStr, cmpStrDesc, cmpNum, cmpNumDesc };

// The order for a sort type ("num" or "str") and direction; nothing for any
// other type, which sorts nothing.
std::optional<Comparator> comparatorFor(std::string_view type, bool descending);

// One entry of a sortable-column declaration, "3:num": the column number (a
// decimal number from 1) and the type after the first ":". Nothing for text of
// another form.
std::optional<std::pair<int, std::string>> parseSortEntry(std::string_view entry);

// The list a sort works on: its cells, the key each row carries (the item
// data), the row order and the image each column header shows (-1: none).
class SortTarget {
public:
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual std::string cellText(int row, int column) const = 0;
    virtual std::intptr_t rowKey(int row) const = 0;
    virtual void setRowKey(int row, std::intptr_t key) = 0;
    // Reorders the rows by their keys with ColumnSorter::compare(comparator, ...).
    virtual void sortRows(Comparator comparator) = 0;
    virtual int columnImage(int column) const = 0;
    virtual void setColumnImage(int column, int image) = 0;

protected:
    ~SortTarget() = default;
};

// Sorts columns and keeps the header arrows: a column sorts descending when
// its header shows the up arrow, left by an ascending sort, and ascending
// otherwise, so that clicks on one column alternate; the column that showed
// the arrow before loses its image.
class ColumnSorter {
public:
    static constexpr int upArrow = 0;    // header image after an ascending sort
    static constexpr int downArrow = 1;  // header image after a descending sort

    // Sorts the rows of `column` as `type` ("num" or "str"; any other type
    // leaves the rows in place but still moves the arrow). Every row's key
    // becomes its row number before the sort, and the cache holds the cell
    // texts by key. Returns the former row number of each row in its new
    // order, or nothing when the rows stayed in place. A column outside the
    // list changes nothing.
    std::vector<int> sort(int column, std::string_view type, SortTarget& target);

    // Compares the cached texts of two row keys; a key the cache does not hold
    // counts as an empty text.
    int compare(Comparator comparator, std::intptr_t a, std::intptr_t b) const noexcept;

    // The column whose header carries the arrow; column 1 before any sort.
    int lastSortInd() const { return lastSortInd_; }
    // The cell texts of the last sort, key 1 first.
    const std::vector<std::string>& cache() const { return cache_; }

private:
    std::string_view cached(std::intptr_t key) const noexcept;

    int lastSortInd_ = 1;
    std::vector<std::string> cache_;
};

}  // namespace lvGrid
