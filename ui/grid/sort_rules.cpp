#include "sort_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace lvGrid {

namespace {

unsigned char folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

int sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

int compareText(std::string_view a, std::string_view b) noexcept {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = folded(a[i]);
        const unsigned char y = folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::optional<double> readNumber(std::string_view text) noexcept {
    text = trimmed(text);
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    // from_chars would also read "inf" and "nan", and a second sign after "+".
    if (digits.empty() || !(isDigit(digits.front()) || digits.front() == '.')) return std::nullopt;
    const bool negative = text.front() == '-';

    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

int compareNumber(std::string_view a, std::string_view b) noexcept {
    const std::optional<double> x = readNumber(a);
    const std::optional<double> y = readNumber(b);
    if (x && y) return (*x > *y) - (*x < *y);
    if (x || y) return x ? -1 : 1;
    return sign(compareText(a, b));
}

std::optional<Comparator> comparatorFor(std::string_view type, bool descending) {
    if (type == "num") return descending ? Comparator::cmpNumDesc : Comparator::cmpNum;
    if (type == "str") return descending ? Comparator::cmpStrDesc : Comparator::cmpStr;
    return std::nullopt;
}

std::optional<std::pair<int, std::string>> parseSortEntry(std::string_view entry) {
    const std::size_t colon = entry.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view number = entry.substr(0, colon);
    int column = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), column);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() || column < 1) {
        return std::nullopt;
    }
    return std::make_pair(column, std::string(entry.substr(colon + 1)));
}

std::vector<int> ColumnSorter::sort(int column, std::string_view type, SortTarget& target) {
    if (column < 1 || column > target.columnCount()) return {};
    const bool descending = target.columnImage(column) == upArrow;

    const int rows = target.rowCount();
    cache_.clear();
    cache_.reserve(static_cast<std::size_t>(rows));
    for (int row = 1; row <= rows; ++row) {
        cache_.push_back(target.cellText(row, column));
        target.setRowKey(row, row);
    }

    std::vector<int> order;
    if (const std::optional<Comparator> comparator = comparatorFor(type, descending)) {
        target.sortRows(*comparator);
        order.reserve(static_cast<std::size_t>(rows));
        for (int row = 1; row <= rows; ++row) order.push_back(static_cast<int>(target.rowKey(row)));
    }

    target.setColumnImage(column, descending ? downArrow : upArrow);
    if (column != lastSortInd_) target.setColumnImage(lastSortInd_, -1);
    lastSortInd_ = column;
    return order;
}

int ColumnSorter::compare(Comparator comparator, std::intptr_t a, std::intptr_t b) const noexcept {
    switch (comparator) {
    case Comparator::cmpStr: return compareText(cached(a), cached(b));
    case Comparator::cmpStrDesc: return compareText(cached(b), cached(a));
    case Comparator::cmpNum: return compareNumber(cached(a), cached(b));
    case Comparator::cmpNumDesc: return compareNumber(cached(b), cached(a));
    }
    return 0;
}

std::string_view ColumnSorter::cached(std::intptr_t key) const noexcept {
    if (key < 1 || static_cast<std::size_t>(key) > cache_.size()) return {};
    return cache_[static_cast<std::size_t>(key - 1)];
}

}  // namespace lvGrid
