#include "main_window.h"

#include <commctrl.h>

#include <exception>
#include <utility>

#include "catalogue.h"
#include "child_control.h"
#include "dropped_files.h"
#include "dropped_paths.h"
#include "layout.h"
#include "lv_grid.h"
#include "text.h"
#include "win32_failure.h"
#include "window_dpi.h"

namespace {

constexpr wchar_t windowClass[] = L"BrindlemarkMainWindow";
constexpr wchar_t baseTitle[] = L"Brakvell-招式编辑器";
constexpr wchar_t version[] = L"v0.1";
constexpr wchar_t credit[] = L" by tessaly";
constexpr wchar_t groupCaption[] = L"武器类型 qtl版本";
constexpr wchar_t gameVersion[] = L"168031";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
constexpr int selectorListHeight = 100;  // the selector's drop-down list below its field
constexpr int selectorFontHeight = 14;
constexpr int firstControlId = 101;

// Rectangles in client coordinates at the initial 800 x 560, and every length
// here, at 96 dpi. The order is the order of creation and the Tab order (the
// group box takes no focus).
const std::array<ControlRow, 5> controlLayouts{{
    {"cb_type", WC_COMBOBOXW, L"", WS_VISIBLE | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, {40, 40, 184, 62}},
    {"groupbox", WC_BUTTONW, groupCaption, WS_VISIBLE | BS_GROUPBOX, WS_EX_STATICEDGE, {16, 16, 275, 80}},
    {"listview", WC_LISTVIEWW, L"", WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP, WS_EX_CLIENTEDGE,
     {16, 96, 784, 536}},
    {"btn_reload", WC_BUTTONW, L"重新载入", WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 0, {196, 35, 260, 72}},
    {"btn_out", WC_BUTTONW, L"导出", WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 0, {320, 32, 384, 72}},
}};

struct ColumnLayout {
    const wchar_t* caption;
    int width;
};

const std::array<ColumnLayout, 14> columnLayouts{{
    {L"v", 0}, {L"动作序号", 60}, {L"招式名称", 180}, {L"伤害类型", 60}, {L"动作值", 50},
    {L"物理倍率", 60}, {L"属性倍率", 60}, {L"异常属性倍率", 90}, {L"眩晕值", 50}, {L"夺取耐力值", 80},
    {L"骑乘值", 50}, {L"operate", 0}, {L"文件序号", 0}, {L"实际动作序号", 0},
}};

// The program's icon (resource 1) at the size of a system metric, from the
// image of that size in the icon rather than another one scaled; null in a
// module without the icon, such as a test.
HICON programIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

void registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = procedure;
    windowClassInfo.hInstance = instance;
    // Alt+Tab and the taskbar show the large icon, the title bar the small one.
    windowClassInfo.hIcon = programIcon(instance, SM_CXICON, SM_CYICON);
    windowClassInfo.hIconSm = programIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = windowClass;
    // The class keeps its icons until the process ends; when it exists
    // already, it has icons of its own.
    SetLastError(0);
    if (!RegisterClassExW(&windowClassInfo)) {
        const DWORD error = GetLastError();
        if (windowClassInfo.hIcon) DestroyIcon(windowClassInfo.hIcon);
        if (windowClassInfo.hIconSm) DestroyIcon(windowClassInfo.hIconSm);
        if (error != ERROR_CLASS_ALREADY_EXISTS) throw Win32Failure("无法注册主窗口的窗口类 (RegisterClassEx)", error);
    }
}

// The outer window rectangle of an 800 x 560 client area (at 96 dpi) at
// `dpi`, centred in the primary monitor's work area.
RECT centredWindowRect(int dpi) {
    RECT rect{0, 0, scaleToDpi(initialClientWidth, dpi), scaleToDpi(initialClientHeight, dpi)};
    adjustWindowRectForDpi(rect, windowStyle, 0, dpi);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const int left = work.left + ((work.right - work.left) - width) / 2;
    const int top = work.top + ((work.bottom - work.top) - height) / 2;
    return {left, top, left + width, top + height};
}

// Holds a window's repainting for the life of the object.
class RedrawHeld {
public:
    explicit RedrawHeld(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
    RedrawHeld(const RedrawHeld&) = delete;
    RedrawHeld& operator=(const RedrawHeld&) = delete;
    ~RedrawHeld() { SendMessageW(window_, WM_SETREDRAW, TRUE, 0); }

private:
    HWND window_;
};

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, const helper::Folders& folders) : instance_(instance), folders_(folders) {}

// The window goes first, while everything its last messages reach still
// lives; the grid lets go of its list then, and the members follow.
MainWindow::~MainWindow() {
    // Not closed by the user: this thread's loop goes on (a second start, a
    // failed start that still shows its message box, a test).
    quitOnDestroy_ = false;
    if (IsWindow(window_)) DestroyWindow(window_);
}

std::unique_ptr<MainWindow> MainWindow::start(HINSTANCE instance, const helper::Folders& folders, Notices* notices) {
    // Whatever fails below throws; `self` then takes the window, the atom
    // and everything else made so far with it.
    std::unique_ptr<MainWindow> self(new MainWindow(instance, folders));

    // The window and its controls, hidden.
    registerWindowClass(instance, windowProcedure);
    const int screen = screenDpi();
    const RECT frame = centredWindowRect(screen);
    SetLastError(0);
    self->window_ = CreateWindowExW(0, windowClass, baseTitle, windowStyle, frame.left, frame.top,
                                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                    self.get());
    if (!self->window_) throw Win32Failure("无法创建主窗口 (CreateWindowEx)");
    // Every length of the window follows the DPI it opened at.
    self->dpi_ = windowDpi(self->window_);
    if (self->dpi_ != screen) {
        const RECT atDpi = centredWindowRect(self->dpi_);
        SetWindowPos(self->window_, nullptr, atDpi.left, atDpi.top, atDpi.right - atDpi.left, atDpi.bottom - atDpi.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    self->createControls();

    // One instance per user: a second one has brought the first forward and ends.
    if (!self->guard_.claim(self->window_)) return nullptr;

    // The grid, its in-cell editors and keyboard hook, and the columns the
    // grid's edit box must leave alone.
    self->state_ = MainState{};
    try {
        self->grid_ = lvGrid::ctrl(self->control(Control::listview));
    } catch (const std::exception& failure) {
        throw Win32Failure("无法把列表做成表格 (lvGrid)", failure.what());
    }
    self->cells_ = std::make_unique<ListViewCells>(*self->grid_);
    self->messageBoxes_ = std::make_unique<MessageBoxNotices>(self->window_);
    self->notices_ = notices ? notices : self->messageBoxes_.get();
    self->editorControls_ = std::make_unique<CellEditorControls>(*self->grid_, instance);
    self->editors_ = std::make_unique<InCellEditors>(self->state_, *self->cells_, *self->editorControls_, *self->notices_);
    self->editorControls_->attach(*self->editors_);
    self->grid_->preventEtidCol(1, 2, 3, 12, 13, 14);
    self->state_.ui_listview_opcol = 12;

    // The fourteen columns, the commands, the selector's families and the captions.
    self->insertColumns();
    self->table_ = std::make_unique<ActionTable>(self->state_, *self->cells_, *self->notices_, self->folders_);
    self->init();

    acceptDroppedFiles(self->window_);

    // Shown at last, complete.
    ShowWindow(self->window_, SW_SHOWNORMAL);
    UpdateWindow(self->window_);
    return self;
}

void MainWindow::createControls() {
    createFonts();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const bool selector = static_cast<Control>(i) == Control::cb_type;
        ControlRow layout = controlLayouts[i];
        layout.rect = scaleToDpi(layout.rect, dpi_);
        controls_[i] = createControl(window_, instance_, firstControlId + static_cast<int>(i), layout,
                                     fontOf(static_cast<Control>(i)),
                                     selector ? scaleToDpi(selectorListHeight, dpi_) : 0);
    }
    fitSelectorField();

    // The group box only frames the selector and the reload button, which are
    // created around it; at the bottom of the order it never paints over them.
    SetWindowPos(control(Control::groupbox), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    ListView_SetExtendedListViewStyle(control(Control::listview), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

void MainWindow::createFonts() {
    selectorFont_ = makeFont(nullptr, selectorFontHeight, dpi_);
    const LOGFONTW dialogFace = systemMessageFont(dpi_);
    dialogFont_.reset(CreateFontIndirectW(&dialogFace));
}

HFONT MainWindow::fontOf(Control which) const {
    return which == Control::cb_type ? selectorFont_.get() : dialogFont_.get();
}

// The selector's field is as tall as its rectangle where the font allows: its
// item height sets that, and the field adds its borders.
void MainWindow::fitSelectorField() {
    HWND selector = control(Control::cb_type);
    RECT field{};
    GetWindowRect(selector, &field);
    const int difference = scaleToDpi(controlLayouts[0].rect, dpi_).height() - (field.bottom - field.top);
    const LRESULT itemHeight = SendMessageW(selector, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (difference != 0 && itemHeight > 0) {
        SendMessageW(selector, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight + difference);
    }
}

void MainWindow::insertColumns() {
    HWND list = control(Control::listview);
    // Wine's list view lays out its header and scroll bars again after every
    // column; held, it does so once, at a quarter of the cost.
    const RedrawHeld held(list);
    for (std::size_t i = 0; i < columnLayouts.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = scaleToDpi(columnLayouts[i].width, dpi_);  // the hidden ones stay 0
        column.pszText = const_cast<wchar_t*>(columnLayouts[i].caption);
        SetLastError(0);
        if (SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column)) < 0) {
            throw Win32Failure("无法插入表格的第" + std::to_string(i + 1) + "列 (LVM_INSERTCOLUMN)");
        }
    }
}

void MainWindow::init() {
    HWND selector = control(Control::cb_type);
    SendMessageW(selector, CB_RESETCONTENT, 0, 0);
    for (const helper::CodeName& family : helper::weaponTypes) {
        const std::wstring name = widen(family.name);
        SetLastError(0);
        if (SendMessageW(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str())) < 0) {
            throw Win32Failure("无法填写武器类型列表 (CB_ADDSTRING)");
        }
    }
    HWND group = control(Control::groupbox);
    SetWindowTextW(group, (windowText(group) + gameVersion).c_str());
    SetWindowTextW(window_, (windowText(window_) + version + credit).c_str());
}

std::string MainWindow::selectedFamily() const {
    HWND selector = control(Control::cb_type);
    const LRESULT index = SendMessageW(selector, CB_GETCURSEL, 0, 0);
    if (index < 0) return "";
    const LRESULT length = SendMessageW(selector, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return "";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(selector, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return narrow(text);
}

LRESULT CALLBACK MainWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) {
        try {
            return self->handle(message, wParam, lParam);
        } catch (...) {
            // The commands report their own failures; whatever else escapes
            // ends here, never inside the window system.
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            if (auto result = onNotify(*reinterpret_cast<const NMHDR*>(lParam))) return *result;
            break;
        case WM_DROPFILES:
            onDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) layOut(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DESTROY:
            guard_.release();
            if (quitOnDestroy_) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            HWND window = std::exchange(window_, nullptr);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::onCommand(WORD id, WORD event) {
    if (!table_) return;  // commands are attached once start-up has made the table
    // The dialog manager sends IDOK and IDCANCEL for Enter and Escape; no
    // control of the window answers to them.
    if (id < firstControlId || id >= firstControlId + static_cast<int>(controls_.size())) return;
    const auto which = static_cast<Control>(id - firstControlId);
    if (which == Control::cb_type && event == CBN_SELCHANGE) {
        table_->onFamilySelected(selectedFamily());
    } else if (which == Control::btn_reload && event == BN_CLICKED) {
        table_->onReload(selectedFamily());
    } else if (which == Control::btn_out && event == BN_CLICKED) {
        table_->onExport();
    }
}

std::optional<LRESULT> MainWindow::onNotify(const NMHDR& header) {
    if (header.hwndFrom != control(Control::listview) || !grid_) return std::nullopt;
    if (auto answer = grid_->preNotify(header)) return answer;
    if (editorControls_) {
        try {
            editorControls_->onGridNotify(header);
        } catch (const std::exception& failure) {
            // An editor control is made at its first use, and the system may
            // refuse it then.
            notices_->notice(failure.what());
        }
    }
    return std::nullopt;
}

// Moved to a monitor of another DPI, or the DPI of this one changed: the
// fonts, the columns and the controls follow, and the window takes the
// rectangle the system suggests for the new DPI.
void MainWindow::onDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    if (controls_[0]) {
        // The old fonts go once no control shows them any more.
        const FontHandle oldSelectorFont = std::move(selectorFont_), oldDialogFont = std::move(dialogFont_);
        createFonts();
        for (std::size_t i = 0; i < controls_.size(); ++i) {
            SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(static_cast<Control>(i))), TRUE);
        }
        fitSelectorField();
    }
    if (grid_) grid_->setDpi(dpi);
    if (editorControls_) editorControls_->setDpi(dpi);
    if (controls_[0]) {
        HWND list = control(Control::listview);
        for (std::size_t i = 0; i < columnLayouts.size(); ++i) {
            ListView_SetColumnWidth(list, static_cast<int>(i), scaleToDpi(columnLayouts[i].width, dpi_));
        }
    }
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Also when the size stayed and no WM_SIZE came.
    RECT client{};
    GetClientRect(window_, &client);
    layOut(client.right, client.bottom);
}

void MainWindow::layOut(int width, int height) {
    if (!controls_[0]) return;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Rect rect = scaledRect(controlLayouts[i].rect, width, height, dpi_);
        const bool selector = static_cast<Control>(i) == Control::cb_type;
        MoveWindow(controls_[i], rect.left, rect.top, rect.width(),
                   rect.height() + (selector ? scaleToDpi(selectorListHeight, dpi_) : 0), TRUE);
    }
}

void MainWindow::onDropFiles(HDROP drop) {
    const std::vector<std::filesystem::path> paths = takeDroppedPaths(drop);
    // A shell drop holds at least one path: one without, or whose memory
    // cannot be read, is no drop of the user.
    if (!table_ || paths.empty()) return;
    onFilesDropped(paths, selectedFamily(), [this](const std::string& name) { selectFamily(name); }, *table_,
                   *notices_);
}

void MainWindow::selectFamily(const std::string& name) {
    // CB_SETCURSEL sends no CBN_SELCHANGE: the selection changes, nothing loads.
    HWND selector = control(Control::cb_type);
    const std::wstring text = widen(name);
    const LRESULT index =
        SendMessageW(selector, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) SendMessageW(selector, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
