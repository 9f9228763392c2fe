// The click-driven editors laid over a grid cell, decided without a window:
// which editor a click opens and where, and how each one writes its value
// back into the grid. The Win32 layer supplies the controls (EditorControls)
// and turns messages into these calls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grid_cells.h"
#include "main_state.h"

// The five editor controls, in the order they are created.
enum class Editor {
    plusBtSubCtrlX,        // dynamic button, over the whole cell
    plusBtOpenSubCtrlX,    // ellipsis button, at the cell's right end
    plusBtTolistSubCtrlX,  // drop-down arrow button, at the cell's right end
    listSubCtrlX,          // drop-down list, below the cell
    cmboSubCtrlX,          // damage-type combo box, over the whole cell
};
inline constexpr std::array<Editor, 5> allEditors{Editor::plusBtSubCtrlX, Editor::plusBtOpenSubCtrlX,
                                                  Editor::plusBtTolistSubCtrlX, Editor::listSubCtrlX,
                                                  Editor::cmboSubCtrlX};

// What the logic needs of the editor controls and of the grid's geometry.
class EditorControls {
public:
    virtual ~EditorControls() = default;
    virtual void setVisible(Editor editor, bool visible) = 0;
    virtual bool isVisible(Editor editor) const = 0;
    virtual void place(Editor editor, const Rect& rect) = 0;  // in the grid's client coordinates
    // List and combo: clear the entries, then append these in order.
    virtual void setItems(Editor editor, const std::vector<std::string>& items) = 0;
    // Combo: the text of its edit field.
    virtual void setText(Editor editor, const std::string& text) = 0;
    virtual std::string text(Editor editor) const = 0;
    // List and combo: the selected entry's text; nothing when none is selected.
    virtual std::optional<std::string> selectedItem(Editor editor) const = 0;
    virtual void selectFirst(Editor editor) = 0;
    virtual void focus(Editor editor) = 0;
    // The label rectangle of a cell in the grid's client coordinates.
    virtual std::optional<Rect> labelRect(int row, int column) const = 0;
    // The DPI the grid is shown at; the editors' offsets and sizes follow it.
    virtual int dpi() const = 0;
};

// A click in the grid, rows and columns from 1, 0 for none.
struct GridClick {
    bool hasSelection = false;  // the grid has a selected row
    int rowUnderCursor = 0;     // hit test at the pointer when the notification is handled
    int item = 0;               // the notification's row
    int subItem = 0;            // the notification's column
};

// A key event as the low-level keyboard hook sees it.
struct KeyEvent {
    std::uint32_t message = 0;  // WM_KEYDOWN 256, WM_SYSKEYDOWN 260, ...
    std::uint32_t virtualKey = 0;
    bool injected = false;      // synthesised by a program rather than typed
    // The main window is the foreground window: the key is typed into it, not
    // into another program or one of our message boxes.
    bool mainWindowInFront = false;
};

inline constexpr std::string_view armedFlag = "√";

class InCellEditors {
public:
    InCellEditors(MainState& state, GridCells& grid, EditorControls& controls, Notices& notices)
        : state_(state), grid_(grid), controls_(controls), notices_(notices) {}

    // 0: nothing; -1: hide all five; 1: show the editor of `kind` and hide the
    // others ("edit" hides all five, an unknown kind changes nothing).
    void lVSubCtrlHide(int flag, std::string_view kind = {});

    void onGridClick(const GridClick& click);
    // ENTER, typed into the main window, commits an open list or combo when it
    // still lies over the cell it was opened for; any other ENTER writes nothing.
    void onHookKey(const KeyEvent& key);
    // The grid's rows may have moved or gone (a scroll, a resize, a sort, rows
    // added or removed, the grid emptied by a load): an editor that no longer
    // lies over its cell closes, and the cell is forgotten.
    void onGridChanged();

    void onDynamicButtonClicked();
    void onEllipsisButtonClicked();
    void onArrowButtonClicked();
    void onListDoubleClicked();
    void onComboEditUpdate();
    void onComboSelection();  // CBN_SELCHANGE and CBN_SELENDOK

private:
    // Remembers (row, column) as the cell the list and combo editors commit into.
    void target(int row, int column, const Rect& cell);
    // The cell is still there, where it was when its editor opened.
    bool overItsCell() const;
    // Writes into the target cell, when the editor still lies over it.
    void commit(const std::string& text);
    // Writes a list's or combo's selected entry into the target cell; nothing
    // when no entry is selected.
    void commitSelected(Editor editor);

    MainState& state_;
    GridCells& grid_;
    EditorControls& controls_;
    Notices& notices_;
    Rect targetCell_;  // the label rectangle of (rowN, rowCN) when its editor opened
};

// The editor a kind shows; nothing for "edit" and for unknown kinds.
std::optional<Editor> editorOfKind(std::string_view kind);

// True for the header notifications that start a column-width drag
// (HDN_BEGINTRACKW -326 and HDN_BEGINTRACKA -306, as unsigned codes).
bool startsColumnDrag(std::uint32_t notificationCode);
