// State of the main window shared by its commands and in-cell editors; it
// lives as long as the window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "action_row.h"

// A rectangle in pixels: left, top, right, bottom.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

struct MainState {
    int ui_listview_opcol = 12;  // the column holding each row's editor spec
    int rowN = 0;                // cell that the list and combo editors commit into
    int rowCN = 0;
    int listH = 100;             // height of the drop-down list editor at 96 dpi
    Rect listRc;                 // where the drop-down list editor opens
    std::optional<std::vector<std::string>> sTmp;  // fields of the last armed row's editor spec
    // The rows in the grid, in grid order; none before the first load.
    std::optional<std::vector<helper::ActionRow>> loadedActions;
};
