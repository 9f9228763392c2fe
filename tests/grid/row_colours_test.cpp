#include "row_colours.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using lvGrid::Colour;
using lvGrid::RowColours;
using lvGrid::StripeRule;
using Column = std::vector<std::optional<Colour>>;

constexpr Colour A = 0x0000FF;
constexpr Colour B = 0x00FF00;
constexpr Colour red = 255;

Column texts(const RowColours& colours, int rows) {
    Column column;
    for (int row = 1; row <= rows; ++row) column.push_back(colours.text(row));
    return column;
}

Column backgrounds(const RowColours& colours, int rows) {
    Column column;
    for (int position = 1; position <= rows; ++position) column.push_back(colours.background(position));
    return column;
}

TEST(RowColours, StripesStayWithPositionsWhileTextColoursMoveWithRows) {
    RowColours colours;
    colours.setStripes(StripeRule{2, A, B});
    for (int position = 1; position <= 4; ++position) colours.rowInserted(position, position - 1);
    EXPECT_EQ(backgrounds(colours, 4), Column({B, A, B, A}));
    EXPECT_EQ(texts(colours, 4), Column({0, 0, 0, 0}));

    colours.setText(2, red);
    colours.rowRemoved(1);
    EXPECT_EQ(texts(colours, 4), Column({red, 0, 0, std::nullopt}));
    EXPECT_EQ(backgrounds(colours, 4), Column({B, A, B, A}));

    // An insertion at the top moves the text colours down; the stripe goes to
    // the position that becomes the last, whichever row was inserted.
    colours.rowInserted(1, 3);
    EXPECT_EQ(texts(colours, 4), Column({0, red, 0, 0}));
    EXPECT_EQ(backgrounds(colours, 4), Column({B, A, B, A}));
    colours.rowInserted(9, 4);  // past the end: appended
    EXPECT_EQ(texts(colours, 5), Column({0, red, 0, 0, 0}));
    EXPECT_EQ(colours.background(5), B);
}

TEST(RowColours, StripeRuleVariants) {
    struct Case {
        std::optional<StripeRule> rule;
        Column backgrounds;  // of rows appended at 1, 2, 3
    };
    const Case cases[] = {
        {std::nullopt, {std::nullopt, std::nullopt, std::nullopt}},
        {StripeRule{3, A, B}, {B, B, A}},
        {StripeRule{2, A, std::nullopt}, {std::nullopt, A, std::nullopt}},
        {StripeRule{-2, A, B}, {B, A, B}},
        {StripeRule{0, A, B}, {B, B, B}},  // no position is a multiple of 0
        {StripeRule{1, A, B}, {A, A, A}},
    };
    for (const Case& c : cases) {
        RowColours colours;
        colours.setBackground(1, red);  // overwritten by a rule, absent entries included
        colours.setStripes(c.rule);
        for (int rows = 0; rows < 3; ++rows) colours.rowInserted(0, rows);
        Column expected = c.backgrounds;
        if (!c.rule) expected[0] = red;
        EXPECT_EQ(backgrounds(colours, 3), expected) << (c.rule ? c.rule->period : -99);
    }
}

TEST(RowColours, RowsPresentBeforehandGetBlackTextAndTheirOwnBackground) {
    RowColours colours(2);
    EXPECT_EQ(texts(colours, 3), Column({0, 0, std::nullopt}));
    EXPECT_EQ(backgrounds(colours, 2), Column({std::nullopt, std::nullopt}));
}

TEST(RowColours, DeletingEverythingOrNothing) {
    RowColours colours(3);
    colours.setText(3, red);
    colours.setBackground(2, A);
    for (int row : {0, -1, 4}) colours.rowRemoved(row);
    EXPECT_EQ(texts(colours, 3), Column({0, 0, red}));

    colours.allRowsRemoved();
    colours.rowInserted(0, 0);
    EXPECT_EQ(texts(colours, 2), Column({0, std::nullopt}));
    EXPECT_EQ(colours.background(2), A);
}

TEST(RowColours, TextColoursFollowReorderedAndMovedRows) {
    RowColours colours(3);
    colours.setText(1, red);
    colours.setText(3, A);
    colours.rowsReordered({3, 1, 2});
    EXPECT_EQ(texts(colours, 3), Column({A, red, 0}));

    colours.rowMoved(1, 3);
    EXPECT_EQ(texts(colours, 3), Column({red, 0, A}));
}

}  // namespace
