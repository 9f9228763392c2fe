// The five in-cell editor controls on the grid, the grid's message hook that
// serves them and refuses column-width drags, and the low-level keyboard
// hook that commits an open list or combo on ENTER.
//
// Each control is made hidden when it is first needed: placed, filled,
// given a text or the focus, or asked for by control(). Until then it is a
// hidden control that was never touched: not visible, no text, nothing
// selected. Under Wine the five cost more at start-up than the rest of the
// window's controls together, and most sessions open one of them at most.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "in_cell_editors.h"
#include "win32_handles.h"

namespace lvGrid {
class Grid;
}

class CellEditorControls : public EditorControls {
public:
    // Installs the grid's message hook and the keyboard hook, and makes the
    // controls' fonts. Throws Win32Failure when a hook cannot be installed.
    CellEditorControls(lvGrid::Grid& grid, HINSTANCE instance);
    CellEditorControls(const CellEditorControls&) = delete;
    CellEditorControls& operator=(const CellEditorControls&) = delete;
    ~CellEditorControls() override;

    // Connects the logic that the controls' messages drive.
    void attach(InCellEditors& editors) { editors_ = &editors; }

    // The grid is shown at another DPI now: the fonts follow, and so do the
    // sizes of the editors placed from now on.
    void setDpi(int dpi);

    // The main window's handler for the grid's notifications: acts on NM_CLICK.
    void onGridNotify(const NMHDR& header);

    // The control, made now if it was not yet. Throws Win32Failure, naming
    // the control, when the system refuses it; so do the calls below that
    // place, fill or focus a control.
    HWND control(Editor editor);

    void setVisible(Editor editor, bool visible) override;
    bool isVisible(Editor editor) const override;
    void place(Editor editor, const Rect& rect) override;
    void setItems(Editor editor, const std::vector<std::string>& items) override;
    void setText(Editor editor, const std::string& text) override;
    std::string text(Editor editor) const override;
    std::optional<std::string> selectedItem(Editor editor) const override;
    void selectFirst(Editor editor) override;
    void focus(Editor editor) override;
    std::optional<Rect> labelRect(int row, int column) const override;
    int dpi() const override { return dpi_; }

private:
    static LRESULT CALLBACK listHook(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data);
    // A result when the message is handled here; nothing lets the list handle it.
    std::optional<LRESULT> onListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(HWND control, UINT event);
    void drawFlatButton(const DRAWITEMSTRUCT& item) const;
    void createFonts();
    HFONT fontOf(std::size_t editor) const;
    // The control if it has been made, else null.
    HWND existing(Editor editor) const { return controls_[static_cast<std::size_t>(editor)]; }

    lvGrid::Grid& grid_;
    HWND list_;
    HINSTANCE instance_;
    std::array<HWND, 5> controls_{};
    int dpi_;
    FontHandle buttonFont_, arrowFont_, listFont_;
    BrushHandle buttonBrush_;
    HookHandle keyboardHook_;
    InCellEditors* editors_ = nullptr;
};
