#include "in_cell_editors.h"

#include "dpi_scale.h"
#include "editor_spec.h"
#include "messages.h"

namespace {

constexpr std::uint32_t keyDown = 256;     // WM_KEYDOWN
constexpr std::uint32_t sysKeyDown = 260;  // WM_SYSKEYDOWN
constexpr std::uint32_t returnKey = 13;    // VK_RETURN: decided on the code, since key names differ between systems
constexpr int armedColumn = 1;
constexpr int buttonWidth = 16;  // at 96 dpi, as every length here

// The small buttons sit at the right end of the cell, two pixels short of its bottom.
Rect rightEndOf(const Rect& cell, int dpi) {
    return {cell.right - scaleToDpi(buttonWidth, dpi), cell.top, cell.right, cell.bottom - scaleToDpi(2, dpi)};
}

}  // namespace

std::optional<Editor> editorOfKind(std::string_view kind) {
    if (kind == "button") return Editor::plusBtSubCtrlX;
    if (kind == "buttonOpen") return Editor::plusBtOpenSubCtrlX;
    if (kind == "buttonTolist") return Editor::plusBtTolistSubCtrlX;
    if (kind == "combobox") return Editor::cmboSubCtrlX;
    return std::nullopt;
}

bool startsColumnDrag(std::uint32_t notificationCode) {
    return notificationCode == 4294966970u || notificationCode == 4294966990u;
}

void InCellEditors::lVSubCtrlHide(int flag, std::string_view kind) {
    if (flag == -1 || (flag == 1 && kind == "edit")) {
        for (Editor editor : allEditors) controls_.setVisible(editor, false);
        return;
    }
    if (flag != 1) return;
    const auto shown = editorOfKind(kind);
    if (!shown) return;
    for (Editor editor : allEditors) controls_.setVisible(editor, editor == *shown);
}

void InCellEditors::onGridClick(const GridClick& click) {
    lVSubCtrlHide(-1);

    // Every click toggles the armed flag of the row under the pointer.
    if (click.hasSelection && click.rowUnderCursor > 0) {
        const bool armed = !grid_.cell(click.rowUnderCursor, armedColumn).empty();
        grid_.setCell(click.rowUnderCursor, armedColumn, armed ? "" : std::string(armedFlag));
    }

    if (click.item == 0 || click.subItem == 0) return;
    if (grid_.cell(click.item, armedColumn) != armedFlag) {
        lVSubCtrlHide(-1);
        return;
    }

    // The editor opens over the editor spec's column, wherever in the row the click was.
    std::vector<std::string> fields = splitEditorSpec(grid_.cell(click.item, state_.ui_listview_opcol));
    state_.sTmp = fields;
    fields.resize(3);
    const auto column = editorColumn(fields[0]);
    const std::string& kind = fields[1];
    const auto cell = column ? controls_.labelRect(click.item, *column) : std::nullopt;
    if (!cell) {
        lVSubCtrlHide(-1);
        return;
    }

    if (kind == "buttonOpen") {
        controls_.place(Editor::plusBtOpenSubCtrlX, rightEndOf(*cell, controls_.dpi()));
        lVSubCtrlHide(1, kind);
    } else if (kind == "buttonTolist") {
        controls_.setItems(Editor::listSubCtrlX, editorItems(fields[2]));
        controls_.place(Editor::plusBtTolistSubCtrlX, rightEndOf(*cell, controls_.dpi()));
        state_.listRc = {cell->left, cell->bottom, cell->right, cell->bottom + scaleToDpi(state_.listH, controls_.dpi())};
        target(click.item, *column, *cell);
        lVSubCtrlHide(1, kind);
    } else if (kind == "combobox") {
        controls_.setItems(Editor::cmboSubCtrlX, editorItems(fields[2]));
        target(click.item, *column, *cell);
        controls_.place(Editor::cmboSubCtrlX, *cell);
        controls_.setText(Editor::cmboSubCtrlX, grid_.cell(state_.rowN, state_.rowCN));
        lVSubCtrlHide(1, kind);
    } else if (kind == "button") {
        target(click.item, *column, *cell);
        controls_.place(Editor::plusBtSubCtrlX, *cell);
        lVSubCtrlHide(1, kind);
    } else {
        lVSubCtrlHide(-1);
    }
}

void InCellEditors::onHookKey(const KeyEvent& key) {
    if (key.injected) return;
    if (key.message != keyDown && key.message != sysKeyDown) return;
    if (key.virtualKey != returnKey) return;
    // The hook sees every key of the desktop: one typed into another program,
    // or one that closes a message box of ours, is not meant for the editor.
    if (!key.mainWindowInFront) return;
    for (Editor editor : {Editor::listSubCtrlX, Editor::cmboSubCtrlX}) {
        if (!controls_.isVisible(editor)) continue;
        commitSelected(editor);
        controls_.setVisible(editor, false);
        return;
    }
}

void InCellEditors::onGridChanged() {
    if (state_.rowN == 0 || overItsCell()) return;
    lVSubCtrlHide(-1);
    state_.rowN = 0;
    state_.rowCN = 0;
    targetCell_ = {};
}

void InCellEditors::target(int row, int column, const Rect& cell) {
    state_.rowN = row;
    state_.rowCN = column;
    targetCell_ = cell;
}

bool InCellEditors::overItsCell() const {
    if (state_.rowN < 1 || state_.rowN > grid_.rowCount()) return false;
    const auto cell = controls_.labelRect(state_.rowN, state_.rowCN);
    return cell && *cell == targetCell_;
}

void InCellEditors::commit(const std::string& text) {
    if (overItsCell()) grid_.setCell(state_.rowN, state_.rowCN, text);
}

void InCellEditors::commitSelected(Editor editor) {
    if (const auto item = controls_.selectedItem(editor)) commit(*item);
}

void InCellEditors::onDynamicButtonClicked() { notices_.notice(std::string(messages::dynamicButton)); }

void InCellEditors::onEllipsisButtonClicked() { notices_.notice(std::string(messages::ellipsisButton)); }

void InCellEditors::onArrowButtonClicked() {
    controls_.place(Editor::listSubCtrlX, state_.listRc);
    controls_.setVisible(Editor::listSubCtrlX, true);
    controls_.focus(Editor::listSubCtrlX);
    controls_.selectFirst(Editor::listSubCtrlX);
}

void InCellEditors::onListDoubleClicked() {
    commitSelected(Editor::listSubCtrlX);
    controls_.setVisible(Editor::listSubCtrlX, false);
}

void InCellEditors::onComboEditUpdate() { commit(controls_.text(Editor::cmboSubCtrlX)); }

void InCellEditors::onComboSelection() { commitSelected(Editor::cmboSubCtrlX); }
