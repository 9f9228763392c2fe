// The editor's only window: the family selector in its group box, the reload
// and export buttons, and the fourteen-column grid with its in-cell editors.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <memory>

#include "action_table.h"
#include "cell_editor_controls.h"
#include "dpi_scale.h"
#include "folders.h"
#include "in_cell_editors.h"
#include "list_view_cells.h"
#include "lv_grid.h"
#include "main_state.h"
#include "message_box_notices.h"
#include "message_loop.h"
#include "single_instance.h"
#include "win32_handles.h"

// The five controls, in the order they are created.
enum class Control { cb_type, groupbox, listview, btn_reload, btn_out };

class MainWindow {
public:
    // Runs the start-up sequence and shows the window. Returns null when
    // another instance is running: that one has been brought forward instead
    // and this process should end. Throws Win32Failure, with what failed and
    // the system's reason, when the window, a control, the grid, the editors,
    // the keyboard hook or the single-instance atom cannot be made; nothing of
    // this window is left behind then. Messages go to modal message boxes
    // unless `notices` is given (timing runs take them silently).
    static std::unique_ptr<MainWindow> start(HINSTANCE instance, const helper::Folders& folders,
                                             Notices* notices = nullptr);

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    HWND window() const { return window_; }
    HWND control(Control which) const { return controls_[static_cast<std::size_t>(which)]; }
    lvGrid::Grid& grid() const { return *grid_; }
    CellEditorControls& editorControls() const { return *editorControls_; }
    MainState& state() { return state_; }
    // Tab order and button keys of this window, for its message loop.
    KeyboardNavigation navigation() const { return {window_, control(Control::listview)}; }

    // The text of the selector's selected list item, "" when none is selected.
    std::string selectedFamily() const;

private:
    MainWindow(HINSTANCE instance, const helper::Folders& folders);

    static LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void createFonts();
    HFONT fontOf(Control which) const;
    void fitSelectorField();
    void insertColumns();
    void init();
    void onCommand(WORD id, WORD event);
    std::optional<LRESULT> onNotify(const NMHDR& header);
    void onDpiChanged(int dpi, const RECT& suggested);
    void onDropFiles(HDROP drop);
    // Selects the selector's item of this text, as the user would, but
    // without the load that the user's choice starts.
    void selectFamily(const std::string& name);
    void layOut(int width, int height);

    HINSTANCE instance_;
    helper::Folders folders_;
    HWND window_ = nullptr;
    bool quitOnDestroy_ = true;  // the loop ends with the window the user closes
    int dpi_ = defaultDpi;       // the window's; every length of the window follows it
    std::array<HWND, 5> controls_{};
    FontHandle selectorFont_, dialogFont_;
    SingleInstance guard_;
    MainState state_;
    // The grid and everything that uses it, declared after it so that they go
    // first. The window is destroyed before any of them (see the destructor).
    std::unique_ptr<lvGrid::Grid> grid_;
    std::unique_ptr<ListViewCells> cells_;
    std::unique_ptr<MessageBoxNotices> messageBoxes_;
    Notices* notices_ = nullptr;
    std::unique_ptr<CellEditorControls> editorControls_;
    std::unique_ptr<InCellEditors> editors_;
    std::unique_ptr<ActionTable> table_;
};
