#include "sort_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using lvGrid::ColumnSorter;
using lvGrid::Comparator;

int sign(int value) { return (value > 0) - (value < 0); }

struct Order {
    const char* a;
    const char* b;
    int text;    // sign of compareText(a, b)
    int number;  // compareNumber(a, b)
};

const Order orders[] = {
    {"9", "10", 1, -1},
    {"0.8", "1.2", -1, -1},
    {"2", "2.0", -1, 0},
    {"-1", "0.5", -1, -1},
    {"1e3", "999", -1, 1},
    {" 7", "+7", -1, 0},
    {"abc", "ABC", 0, 0},
    {"ab", "abc", -1, -1},
    {"", "a", -1, -1},
    {"[", "A", -1, -1},        // 'A' folds to 'a', which comes after '['
    {"_", "a", -1, -1},
    {"Z", "a", 1, 1},
    {"\x80", "a", 1, 1},        // bytes above 0x7F are unsigned
    {"z", "é", -1, -1},         // U+007A before U+00E9
    {"É", "é", -1, -1},         // only A-Z fold
    {"\xEF\xBD\x81", "\xF0\x9F\x98\x80", -1, -1},  // U+FF41 before U+1F600
    {"5", "abc", -1, -1},       // numbers before texts that hold none
    {"inf", "1", 1, 1},
    {"nan", "0x1", 1, 1},       // neither is a decimal number: ordered as text
    {"1e999", "2", -1, 1},
};

TEST(SortRules, OrdersTextsAndNumbers) {
    for (const Order& order : orders) {
        SCOPED_TRACE(std::string(order.a) + " | " + order.b);
        EXPECT_EQ(sign(lvGrid::compareText(order.a, order.b)), order.text);
        EXPECT_EQ(sign(lvGrid::compareText(order.b, order.a)), -order.text);
        EXPECT_EQ(lvGrid::compareNumber(order.a, order.b), order.number);
        EXPECT_EQ(lvGrid::compareNumber(order.b, order.a), -order.number);
    }
}

TEST(SortRules, ReadsDecimalNumbersOnly) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"1.5", 1.5}, {"-.5", -0.5}, {"5.", 5}, {"+2", 2}, {" 3 ", 3}, {"1e3", 1000},
        {"", std::nullopt}, {".", std::nullopt}, {"+-1", std::nullopt}, {"1e", std::nullopt},
        {"0x10", std::nullopt}, {"-inf", std::nullopt}, {"nan", std::nullopt}, {"1 2", std::nullopt},
    };
    for (const auto& [text, number] : cases) EXPECT_EQ(lvGrid::readNumber(text), number) << text;
}

TEST(SortRules, ParsesSortableColumnEntries) {
    using Entry = std::optional<std::pair<int, std::string>>;
    EXPECT_EQ(lvGrid::parseSortEntry("3:num"), Entry({3, "num"}));
    EXPECT_EQ(lvGrid::parseSortEntry("12:str"), Entry({12, "str"}));
    EXPECT_EQ(lvGrid::parseSortEntry("2:"), Entry({2, ""}));
    for (const char* malformed : {"", "num", "3", ":num", "0:num", "-1:num", "x:num", "3 :num"}) {
        EXPECT_EQ(lvGrid::parseSortEntry(malformed), std::nullopt) << malformed;
    }
}

// A list of rows with one text per column, sorted the way the list control
// sorts: by the rows' keys through the sorter's comparator.
class FakeList final : public lvGrid::SortTarget {
public:
    FakeList(ColumnSorter& sorter, std::vector<std::vector<std::string>> rows) : sorter_(sorter) {
        for (auto& cells : rows) rows_.push_back({std::move(cells), -7});
    }

    int rowCount() const override { return static_cast<int>(rows_.size()); }
    int columnCount() const override { return 3; }
    std::string cellText(int row, int column) const override { return rows_.at(row - 1).cells.at(column - 1); }
    std::intptr_t rowKey(int row) const override { return rows_.at(row - 1).key; }
    void setRowKey(int row, std::intptr_t key) override { rows_.at(row - 1).key = key; }
    void sortRows(Comparator comparator) override {
        std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
            return sorter_.compare(comparator, a.key, b.key) < 0;
        });
        ++sorts;
    }
    int columnImage(int column) const override {
        const auto image = images.find(column);
        return image == images.end() ? -1 : image->second;
    }
    void setColumnImage(int column, int image) override {
        if (image == -1) images.erase(column);
        else images[column] = image;
    }

    std::vector<std::string> column(int number) const {
        std::vector<std::string> texts;
        for (const Row& row : rows_) texts.push_back(row.cells.at(number - 1));
        return texts;
    }

    std::map<int, int> images;  // column -> header image
    int sorts = 0;

private:
    struct Row {
        std::vector<std::string> cells;
        std::intptr_t key;
    };
    ColumnSorter& sorter_;
    std::vector<Row> rows_;
};

using Texts = std::vector<std::string>;
using Images = std::map<int, int>;

TEST(ColumnSorter, AlternatesDirectionAndMovesTheArrow) {
    ColumnSorter sorter;
    FakeList list(sorter, {{"x", "b", "2"}, {"y", "A", "10"}, {"z", "c", "1.5"}});
    list.images[1] = 0;  // column 1 shows an image before any sort

    struct Step {
        int column;
        const char* type;
        Texts column3;  // texts of column 3 afterwards
        Images images;
    };
    const Step steps[] = {
        {3, "num", {"1.5", "2", "10"}, {{3, 0}}},  // first sort of a column other than 1 clears column 1
        {3, "num", {"10", "2", "1.5"}, {{3, 1}}},
        {3, "num", {"1.5", "2", "10"}, {{3, 0}}},
        {2, "str", {"10", "2", "1.5"}, {{2, 0}}},  // "A", "b", "c"; column 3 loses its arrow
        {3, "num", {"1.5", "2", "10"}, {{3, 0}}},  // and starts ascending again
        {2, "bogus", {"1.5", "2", "10"}, {{2, 0}}},  // toggles no rows, but the arrow moves
        {2, "bogus", {"1.5", "2", "10"}, {{2, 1}}},
        {2, "str", {"10", "2", "1.5"}, {{2, 0}}},  // the image said descending, so ascending now
        {2, "str", {"1.5", "2", "10"}, {{2, 1}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.column) + ":" + step.type);
        sorter.sort(step.column, step.type, list);
        EXPECT_EQ(list.column(3), step.column3);
        EXPECT_EQ(list.images, step.images);
        EXPECT_EQ(sorter.lastSortInd(), step.column);
    }
    EXPECT_EQ(list.column(2), Texts({"c", "b", "A"}));
}

TEST(ColumnSorter, KeysRowsByNumberAndReportsTheNewOrder) {
    ColumnSorter sorter;
    FakeList list(sorter, {{"b", "", ""}, {"A", "", ""}, {"c", "", ""}});

    EXPECT_EQ(sorter.sort(1, "str", list), std::vector<int>({2, 1, 3}));
    EXPECT_EQ(list.column(1), Texts({"A", "b", "c"}));
    EXPECT_EQ(sorter.cache(), Texts({"b", "A", "c"}));

    // The next sort keys the rows afresh, from their current order.
    EXPECT_EQ(sorter.sort(1, "str", list), std::vector<int>({3, 2, 1}));
    EXPECT_EQ(sorter.cache(), Texts({"A", "b", "c"}));

    EXPECT_EQ(sorter.sort(1, "other", list), std::vector<int>());
    EXPECT_EQ(list.sorts, 2);
    EXPECT_EQ(list.rowKey(1), 1);

    // Keys the cache does not hold, set by others, compare as empty texts.
    EXPECT_LT(sorter.compare(Comparator::cmpStr, 99, 1), 0);
    EXPECT_GT(sorter.compare(Comparator::cmpStrDesc, 99, 1), 0);
    EXPECT_EQ(sorter.compare(Comparator::cmpNum, 0, -5), 0);
}

TEST(ColumnSorter, IgnoresColumnsOutsideTheList) {
    ColumnSorter sorter;
    FakeList list(sorter, {{"b", "", ""}, {"a", "", ""}});
    for (int column : {0, -1, 4}) {
        EXPECT_TRUE(sorter.sort(column, "str", list).empty());
        EXPECT_TRUE(list.images.empty());
        EXPECT_EQ(sorter.lastSortInd(), 1);
    }
    EXPECT_EQ(list.rowKey(1), -7);
}

}  // namespace
