#include "cell_editor_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "child_control.h"
#include "layout.h"
#include "lv_grid.h"
#include "subclass.h"
#include "text.h"
#include "win32_failure.h"

namespace {

constexpr UINT_PTR listHookId = 0x6272;  // the grid's own subclass uses another id
constexpr int firstControlId = 201;
constexpr COLORREF flatButtonColour = 15780518;  // RGB(166, 202, 240)

// The one set of controls of the process, for the keyboard hook, which gets no context.
CellEditorControls* hooked = nullptr;

// At 96 dpi; made hidden, and placed over a cell before they show.
const ControlRow editorLayouts[] = {
    {"plusBtSubCtrlX", WC_BUTTONW, L"动态按钮", BS_OWNERDRAW, WS_EX_STATICEDGE, {0, 0, 18, 18}},
    {"plusBtOpenSubCtrlX", WC_BUTTONW, L"...", BS_OWNERDRAW, WS_EX_STATICEDGE, {0, 0, 18, 18}},
    // "q" in the symbol face draws a small downward triangle.
    {"plusBtTolistSubCtrlX", WC_BUTTONW, L"q", BS_OWNERDRAW, WS_EX_STATICEDGE, {0, 0, 18, 18}},
    {"listSubCtrlX", WC_LISTBOXW, L"", LBS_NOTIFY | WS_VSCROLL, WS_EX_CLIENTEDGE, {0, 0, 100, 100}},
    {"cmboSubCtrlX", WC_COMBOBOXW, L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE, {0, 0, 18, 16}},
};

}  // namespace

CellEditorControls::CellEditorControls(lvGrid::Grid& grid, HINSTANCE instance)
    : grid_(grid), list_(grid.list()), instance_(instance), dpi_(grid.dpi()) {
    createFonts();
    buttonBrush_.reset(CreateSolidBrush(flatButtonColour));

    // The hook before the subclass: should the subclass fail, the hook goes
    // with its member, while a subclass left in place would call a dead object.
    // `hooked` is set last, so the hook acts only on a complete object.
    SetLastError(0);
    keyboardHook_.reset(SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, GetModuleHandleW(nullptr), 0));
    if (!keyboardHook_) throw Win32Failure("无法安装键盘钩子 (SetWindowsHookEx WH_KEYBOARD_LL)");
    SetLastError(0);
    if (!setSubclass(list_, listHook, listHookId, reinterpret_cast<DWORD_PTR>(this))) {
        throw Win32Failure("无法子类化表格列表 (listview)");
    }
    hooked = this;
}

void CellEditorControls::createFonts() {
    buttonFont_ = makeFont(L"Tahoma", 10, dpi_);
    arrowFont_ = makeFont(L"Wingdings 3", 8, dpi_, SYMBOL_CHARSET);
    listFont_ = makeFont(nullptr, 12, dpi_);
}

HWND CellEditorControls::control(Editor editor) {
    const auto i = static_cast<std::size_t>(editor);
    if (!controls_[i]) {
        ControlRow layout = editorLayouts[i];
        layout.rect = scaleToDpi(layout.rect, dpi_);
        controls_[i] = createControl(list_, instance_, firstControlId + static_cast<int>(i), layout, fontOf(i));
    }
    return controls_[i];
}

HFONT CellEditorControls::fontOf(std::size_t editor) const {
    switch (static_cast<Editor>(editor)) {
        case Editor::plusBtSubCtrlX:
        case Editor::plusBtOpenSubCtrlX:
            return buttonFont_.get();
        case Editor::plusBtTolistSubCtrlX:
            return arrowFont_.get();
        case Editor::listSubCtrlX:
        case Editor::cmboSubCtrlX:
            break;
    }
    return listFont_.get();
}

void CellEditorControls::setDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    // The old fonts go once no control shows them any more.
    const FontHandle oldButtonFont = std::move(buttonFont_), oldArrowFont = std::move(arrowFont_),
                     oldListFont = std::move(listFont_);
    createFonts();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i]) SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(i)), TRUE);
    }
}

CellEditorControls::~CellEditorControls() {
    keyboardHook_.reset();
    if (hooked == this) hooked = nullptr;
    if (IsWindow(list_)) removeSubclass(list_, listHook, listHookId);
    // The controls themselves go with the list, their parent.
}

LRESULT CALLBACK CellEditorControls::listHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data) {
    auto& self = *reinterpret_cast<CellEditorControls*>(data);
    try {
        if (auto result = self.onListMessage(message, wParam, lParam)) return *result;
    } catch (...) {
        // Nothing may unwind through the window system; the message goes on as if unhandled.
    }
    if (message == WM_NCDESTROY) removeSubclass(window, listHook, listHookId);
    const LRESULT result = callNextSubclass(window, message, wParam, lParam);
    if (self.editors_ && lvGrid::rowsMayMove(message, lParam)) {
        try {
            self.editors_->onGridChanged();
        } catch (...) {
            // The editors stay as they are; the list has handled its message.
        }
    }
    return result;
}

std::optional<LRESULT> CellEditorControls::onListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            // The header reports to the list, not to the main window: the list
            // is where a width drag can be refused. A divider double-click
            // would resize a column just the same.
            if (startsColumnDrag(static_cast<std::uint32_t>(header.code)) || header.code == HDN_DIVIDERDBLCLICKW ||
                header.code == HDN_DIVIDERDBLCLICKA) {
                return TRUE;
            }
            return std::nullopt;
        }
        case WM_KEYDOWN:
            // Ctrl with the keypad's "+" sizes every column to its content.
            if (wParam == VK_ADD && (GetKeyState(VK_CONTROL) & 0x8000)) return 0;
            return std::nullopt;
        case WM_COMMAND:
            if (lParam != 0) {
                for (HWND control : controls_) {
                    if (control && reinterpret_cast<HWND>(lParam) == control) {
                        onCommand(control, HIWORD(wParam));
                        return 0;
                    }
                }
            }
            return std::nullopt;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (std::size_t i = 0; i < 3; ++i) {
                if (controls_[i] && item.hwndItem == controls_[i]) {
                    drawFlatButton(item);
                    return TRUE;
                }
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

void CellEditorControls::onCommand(HWND control, UINT event) {
    if (!editors_) return;
    if (control == existing(Editor::plusBtSubCtrlX) && event == BN_CLICKED) {
        editors_->onDynamicButtonClicked();
    } else if (control == existing(Editor::plusBtOpenSubCtrlX) && event == BN_CLICKED) {
        editors_->onEllipsisButtonClicked();
    } else if (control == existing(Editor::plusBtTolistSubCtrlX) && event == BN_CLICKED) {
        editors_->onArrowButtonClicked();
    } else if (control == existing(Editor::listSubCtrlX) && event == LBN_DBLCLK) {
        editors_->onListDoubleClicked();
    } else if (control == existing(Editor::cmboSubCtrlX)) {
        if (event == CBN_EDITUPDATE) editors_->onComboEditUpdate();
        if (event == CBN_SELENDOK || event == CBN_SELCHANGE) editors_->onComboSelection();
    }
}

void CellEditorControls::drawFlatButton(const DRAWITEMSTRUCT& item) const {
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, buttonBrush_.get());
    FrameRect(item.hDC, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
    const std::wstring caption = windowText(item.hwndItem);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    const HGDIOBJ previous = SelectObject(item.hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, previous);
}

LRESULT CALLBACK CellEditorControls::keyboardHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && hooked && hooked->editors_) {
        const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        try {
            const HWND mainWindow = GetAncestor(hooked->list_, GA_ROOT);
            hooked->editors_->onHookKey({static_cast<std::uint32_t>(message), static_cast<std::uint32_t>(key.vkCode),
                                         (key.flags & LLKHF_INJECTED) != 0,
                                         mainWindow && GetForegroundWindow() == mainWindow});
        } catch (...) {
            // The key passes on whatever happened here.
        }
    }
    return CallNextHookEx(nullptr, code, message, data);  // never swallows the key
}

void CellEditorControls::onGridNotify(const NMHDR& header) {
    if (header.code != static_cast<UINT>(NM_CLICK) || !editors_) return;
    const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);

    GridClick click;
    click.hasSelection = ListView_GetNextItem(list_, -1, LVNI_SELECTED) >= 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(list_, &cursor);
    LVHITTESTINFO hit{};
    hit.pt = cursor;
    ListView_SubItemHitTest(list_, &hit);
    click.rowUnderCursor = hit.iItem >= 0 ? hit.iItem + 1 : 0;
    click.item = activate.iItem >= 0 ? activate.iItem + 1 : 0;
    click.subItem = activate.iItem >= 0 && activate.iSubItem >= 0 ? activate.iSubItem + 1 : 0;
    editors_->onGridClick(click);
}

void CellEditorControls::setVisible(Editor editor, bool visible) {
    // A control never made is hidden already.
    if (!visible && !existing(editor)) return;
    ShowWindow(control(editor), visible ? SW_SHOW : SW_HIDE);
}

bool CellEditorControls::isVisible(Editor editor) const {
    const HWND window = existing(editor);
    return window && IsWindowVisible(window) != FALSE;
}

void CellEditorControls::place(Editor editor, const Rect& rect) {
    HWND window = control(editor);
    int height = rect.height();
    if (editor == Editor::cmboSubCtrlX) {
        // A combo's window height includes its drop-down list; the edit field
        // is sized through its item height to cover the cell.
        SendMessageW(window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                     std::max(rect.height() - scaleToDpi(6, dpi_), scaleToDpi(8, dpi_)));
        height = rect.height() + scaleToDpi(100, dpi_);
    }
    MoveWindow(window, rect.left, rect.top, rect.width(), height, TRUE);
}

void CellEditorControls::setItems(Editor editor, const std::vector<std::string>& items) {
    const bool list = editor == Editor::listSubCtrlX;
    HWND window = control(editor);
    SendMessageW(window, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        const std::wstring text = widen(item);
        SendMessageW(window, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void CellEditorControls::setText(Editor editor, const std::string& text) {
    SetWindowTextW(control(editor), widen(text).c_str());
}

std::string CellEditorControls::text(Editor editor) const {
    const HWND window = existing(editor);
    return window ? narrow(windowText(window)) : std::string();
}

std::optional<std::string> CellEditorControls::selectedItem(Editor editor) const {
    const bool list = editor == Editor::listSubCtrlX;
    HWND window = existing(editor);
    if (!window) return std::nullopt;
    const LRESULT index = SendMessageW(window, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
    if (index < 0) return std::nullopt;
    const LRESULT length = SendMessageW(window, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(window, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return narrow(text);
}

void CellEditorControls::selectFirst(Editor editor) {
    SendMessageW(control(editor), editor == Editor::listSubCtrlX ? LB_SETCURSEL : CB_SETCURSEL, 0, 0);
}

void CellEditorControls::focus(Editor editor) { SetFocus(control(editor)); }

std::optional<Rect> CellEditorControls::labelRect(int row, int column) const {
    const std::optional<RECT> rect = grid_.labelRect(row, column);
    if (!rect) return std::nullopt;
    return Rect{rect->left, rect->top, rect->right, rect->bottom};
}
