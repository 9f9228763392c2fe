#include "lv_grid.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "dpi_scale.h"
#include "subclass.h"
#include "text.h"
#include "window_dpi.h"

namespace lvGrid {

namespace {

constexpr UINT_PTR subclassId = 1;
// The property that leads from a wrapped list to its grid (the import
// libraries of some toolchains lack GetWindowSubclass).
constexpr wchar_t gridProperty[] = L"lvGrid.Grid";
constexpr std::size_t longestCellText = std::size_t{1} << 20;

Grid* current = nullptr;  // the most recently wrapped list's grid
Grid* sorting = nullptr;  // the grid whose LVM_SORTITEMS is running

// Runs a piece of bookkeeping inside a window procedure, where no exception
// may pass (they can only be allocation failures); whether it completed.
template <typename Work>
bool guarded(Work&& work) noexcept {
    try {
        work();
        return true;
    } catch (...) {
        return false;
    }
}

HWND headerOf(HWND list) { return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); }

bool isListView(HWND window) {
    wchar_t name[32] = {};
    return GetClassNameW(window, name, static_cast<int>(std::size(name))) > 0 && _wcsicmp(name, WC_LISTVIEWW) == 0;
}

int compareCached(Comparator comparator, LPARAM a, LPARAM b) noexcept {
    const Grid* grid = sorting ? sorting : current;
    return grid ? grid->sorter().compare(comparator, a, b) : 0;
}

PFNLVCOMPARE callbackFor(Comparator comparator) {
    switch (comparator) {
    case Comparator::cmpStr: return cmpStr;
    case Comparator::cmpStrDesc: return cmpStrDesc;
    case Comparator::cmpNum: return cmpNum;
    case Comparator::cmpNumDesc: return cmpNumDesc;
    }
    return cmpStr;
}

// The sort's view of the list: cell texts as UTF-8, so that text order is
// code point order, and item data as the row keys.
class ListSortTarget final : public SortTarget {
public:
    explicit ListSortTarget(Grid& grid) : grid_(grid) {}

    int rowCount() const override { return grid_.rowCount(); }
    int columnCount() const override { return grid_.columnCount(); }
    std::string cellText(int row, int column) const override { return narrow(grid_.itemText(row, column)); }

    std::intptr_t rowKey(int row) const override {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row - 1;
        SendMessageW(grid_.list(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }

    void setRowKey(int row, std::intptr_t key) override {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row - 1;
        item.lParam = key;
        SendMessageW(grid_.list(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    void sortRows(Comparator comparator) override {
        Grid* const outer = std::exchange(sorting, &grid_);
        SendMessageW(grid_.list(), LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(callbackFor(comparator)));
        sorting = outer;
    }

    int columnImage(int column) const override { return grid_.columnImage(column); }
    void setColumnImage(int column, int image) override { grid_.setColumnImage(column, image); }

private:
    Grid& grid_;
};

}  // namespace

// The window procedures of the list's and the edit box's subclasses.
struct GridWindows {
    static LRESULT CALLBACK listProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
        Grid& grid = *reinterpret_cast<Grid*>(data);
        // An open edit box commits before the rows move, so that what is typed
        // afterwards cannot land in a row it no longer covers.
        if (message != LVM_DELETEALLITEMS && rowsMayMove(message, lParam)) guarded([&] { grid.commit(); });
        switch (message) {
        case LVM_INSERTITEMA:
        case LVM_INSERTITEMW:
            return insertItem(grid, window, message, wParam, lParam);
        case LVM_DELETEITEM: {
            const LRESULT deleted = callNextSubclass(window, message, wParam, lParam);
            if (deleted) guarded([&] { grid.colours_.rowRemoved(static_cast<int>(wParam) + 1); });
            return deleted;
        }
        case LVM_DELETEALLITEMS: {
            // The box's cell goes with the rows: what it holds is dropped.
            grid.closeEditBox();
            const LRESULT deleted = callNextSubclass(window, message, wParam, lParam);
            if (deleted) grid.colours_.allRowsRemoved();
            return deleted;
        }
        case WM_NCDESTROY:
            // The edit box, a child, is gone already.
            grid.detach();
            break;
        }
        return callNextSubclass(window, message, wParam, lParam);
    }

    // Every row insertion, by addItem or by anyone else, keeps the text
    // colours in step with the rows: the new row's entry goes in first, at the
    // place the list will give it, and is moved if the list chose another.
    static LRESULT insertItem(Grid& grid, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const auto* item = reinterpret_cast<const LVITEMW*>(lParam);  // iItem lies alike in LVITEMA
        if (!item) return callNextSubclass(window, message, wParam, lParam);
        const int rows = grid.rowCount();
        const int position = item->iItem >= 0 && item->iItem < rows ? item->iItem + 1 : rows + 1;
        const bool noted = guarded([&] { grid.colours_.rowInserted(position, rows); });

        const LRESULT index = callNextSubclass(window, message, wParam, lParam);
        if (noted && index < 0) grid.colours_.rowRemoved(position);
        if (noted && index >= 0 && index + 1 != position) {
            guarded([&] { grid.colours_.rowMoved(position, static_cast<int>(index) + 1); });
        }
        return index;
    }

    static LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
        Grid& grid = *reinterpret_cast<Grid*>(data);
        switch (message) {
        case WM_KILLFOCUS:
            guarded([&] { grid.commit(); });
            break;
        case WM_KEYUP:
            if (wParam == VK_RETURN) guarded([&] { grid.commit(); });
            break;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            // The wheel goes to the focus, the box: it closes, and the list
            // scrolls. A single-line edit passes the wheel on to its parent on
            // some systems and drops it on others (Wine 8), so the box does it.
            guarded([&] { grid.commit(); });
            if (grid.list_) SendMessageW(grid.list_, message, wParam, lParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: {
            // The box holds the mouse capture, so it sees presses anywhere.
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT client{};
            GetClientRect(window, &client);
            if (!PtInRect(&client, at)) {
                guarded([&] { grid.commit(); });
                // A press outside only closes the box: the edit control's own
                // press handling would take the capture and the focus back
                // into the hidden box. Its release handling ends its tracking.
                if (message == WM_LBUTTONDOWN) return 0;
                break;
            }
            // The edit control lets the capture go on every release; take it
            // back afterwards so that the next press outside is seen here.
            const LRESULT result = callNextSubclass(window, message, wParam, lParam);
            SetCapture(window);
            return result;
        }
        case WM_NCDESTROY:
            removeSubclass(window, editProc, subclassId);
            grid.editlable_.window = nullptr;
            break;
        }
        return callNextSubclass(window, message, wParam, lParam);
    }
};

Grid::Grid(HWND list) : list_(list), colours_(rowCount()), arrows_(createSortArrows()), dpi_(windowDpi(list)) {
    if (const HWND header = headerOf(list_); header && arrows_) {
        SendMessageW(header, HDM_SETIMAGELIST, HDSIL_NORMAL, reinterpret_cast<LPARAM>(arrows_.get()));
    }
}

Grid::~Grid() {
    if (list_) {
        closeEditBox();  // without writing: the grid is going, not the edit
        if (editlable_.window) DestroyWindow(editlable_.window);
        // The header must not keep the arrows this grid owns.
        if (const HWND header = headerOf(list_)) {
            if (SendMessageW(header, HDM_GETIMAGELIST, 0, 0) == reinterpret_cast<LRESULT>(arrows_.get())) {
                SendMessageW(header, HDM_SETIMAGELIST, HDSIL_NORMAL, 0);
            }
        }
        detach();
    }
    if (current == this) current = nullptr;
    if (sorting == this) sorting = nullptr;
}

void Grid::detach() {
    removeSubclass(list_, GridWindows::listProc, subclassId);
    RemovePropW(list_, gridProperty);
    list_ = nullptr;
    editlable_.window = nullptr;  // a child of the list: destroyed with it
    if (current == this) current = nullptr;
    if (sorting == this) sorting = nullptr;
}

void Grid::nthChild(int n, COLORREF colourA, std::optional<COLORREF> colourB) {
    colours_.setStripes(StripeRule{n, colourA, colourB});
}

void Grid::nthChild() { colours_.setStripes(std::nullopt); }

void Grid::setItemColor(int row, COLORREF colour) { colours_.setText(row, colour); }

void Grid::setItemColorBk(int row, COLORREF colour) { colours_.setBackground(row, colour); }

int Grid::addItem(const std::vector<std::wstring>& texts, int position) {
    if (!list_) return 0;
    const int rows = rowCount();
    std::wstring first = texts.empty() ? std::wstring() : texts.front();
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = position >= 1 && position <= rows ? position - 1 : rows;
    item.pszText = first.data();
    const auto index = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return 0;
    for (std::size_t i = 1; i < texts.size(); ++i) setItemText(index + 1, static_cast<int>(i) + 1, texts[i]);
    return index + 1;
}

bool Grid::delItem(int row) {
    const int rows = rowCount();
    if (row == 0) row = rows;
    if (row < 1 || row > rows) return false;
    return SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row - 1), 0) != FALSE;
}

void Grid::setSort(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        if (auto parsed = parseSortEntry(entry)) setsorttab_[parsed->first] = std::move(parsed->second);
    }
}

void Grid::sort(int column, std::string_view type) {
    ListSortTarget target(*this);
    const std::vector<int> order = sorter_.sort(column, type, target);
    if (!order.empty()) colours_.rowsReordered(order);
}

std::optional<LRESULT> Grid::preNotify(const NMHDR& header) noexcept {
    if (header.hwndFrom != list_) return std::nullopt;
    try {
        switch (header.code) {
        case NM_CUSTOMDRAW:
            // The sender's record is writable: custom draw is answered through it.
            return customDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
        case LVN_COLUMNCLICK: {
            const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem + 1;
            if (const auto type = setsorttab_.find(column); type != setsorttab_.end()) sort(column, type->second);
            break;
        }
        case NM_DBLCLK: {
            const auto& hit = reinterpret_cast<const NMITEMACTIVATE&>(header);
            openEditBox(hit.iItem + 1, hit.iSubItem + 1);
            break;
        }
        }
    } catch (...) {
        // Only allocation failures get here; the list goes on as it was.
    }
    return std::nullopt;
}

std::optional<LRESULT> Grid::customDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const int row = static_cast<int>(draw.nmcd.dwItemSpec) + 1;
        if (const auto text = colours_.text(row)) draw.clrText = *text;
        if (const auto background = colours_.background(row)) draw.clrTextBk = *background;
        return CDRF_DODEFAULT;
    }
    }
    return std::nullopt;
}

void Grid::openEditBox(int row, int column) {
    if (std::find(preventetidcols_.begin(), preventetidcols_.end(), column) != preventetidcols_.end()) return;
    if (row < 1 || row > rowCount() || column < 1 || column > columnCount()) return;
    commit();  // an edit still open keeps its text
    if (!editlable_.window) createEditBox();
    const HWND box = editlable_.window;
    if (!box) return;

    const std::optional<RECT> label = labelRect(row, column);
    if (!label) return;
    const RECT& cell = *label;

    editlable_.listViewNotifyMessage = {row, column};
    editlable_.placed = cell;
    SetWindowTextW(box, itemText(row, column).c_str());
    SetWindowPos(box, HWND_TOP, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, SWP_NOACTIVATE);
    ShowWindow(box, SW_SHOW);
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    SetCapture(box);
}

void Grid::setDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    if (!editlable_.window) return;  // the box gets its font when it is made
    FontHandle font = createEditFont();
    if (!font) return;  // the box keeps the font it has
    SendMessageW(editlable_.window, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    editFont_ = std::move(font);  // the old one goes once the box shows the new one
}

FontHandle Grid::createEditFont() const {
    LOGFONTW face{};
    face.lfHeight = scaleToDpi(11, dpi_);  // cell height, at 96 dpi
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(face.lfFaceName, systemMessageFont(dpi_).lfFaceName, LF_FACESIZE - 1);
    return FontHandle(CreateFontIndirectW(&face));
}

void Grid::createEditBox() {
    editFont_ = createEditFont();

    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list_, GWLP_HINSTANCE));
    const HWND box = CreateWindowExW(0, WC_EDITW, L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0, list_,
                                     nullptr, instance, nullptr);
    if (!box) return;
    if (!setSubclass(box, GridWindows::editProc, subclassId, reinterpret_cast<DWORD_PTR>(this))) {
        DestroyWindow(box);
        return;
    }
    if (editFont_) SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(editFont_.get()), FALSE);
    editlable_.window = box;
}

bool Grid::editBoxOpen() const {
    const HWND box = editlable_.window;
    return box && (GetWindowLongPtrW(box, GWL_STYLE) & WS_VISIBLE);
}

// Writes the box's text into the cell it was opened on and closes it. Only an
// open box commits; hiding it moves the focus away, which must not commit again.
// A box that no longer lies over its cell (the rows moved in a way the list
// did not announce) writes nothing: its text was typed for another row.
void Grid::commit() {
    if (committing_ || !editBoxOpen()) return;
    committing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{committing_};

    const Cell cell = editlable_.listViewNotifyMessage;
    const std::optional<RECT> now = labelRect(cell.row, cell.column);
    if (now && EqualRect(&*now, &editlable_.placed)) setItemText(cell.row, cell.column, windowText(editlable_.window));
    closeEditBox();
}

void Grid::closeEditBox() {
    if (!editBoxOpen()) return;
    const HWND box = editlable_.window;
    ShowWindow(box, SW_HIDE);
    if (GetCapture() == box) ReleaseCapture();
}

std::optional<RECT> Grid::labelRect(int row, int column) const {
    RECT rect{};
    rect.top = column - 1;
    rect.left = LVIR_LABEL;
    if (!SendMessageW(list_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&rect))) {
        return std::nullopt;
    }
    return rect;
}

std::wstring Grid::itemText(int row, int column) const {
    if (row < 1 || column < 1) return {};
    std::wstring text(64, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column - 1;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length = static_cast<std::size_t>(std::max<LRESULT>(
            SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item)), 0));
        // A text that fills the buffer may have been cut short.
        if (length + 1 < text.size() || text.size() >= longestCellText) {
            text.resize(std::min(length, text.size()));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

void Grid::setItemText(int row, int column, std::wstring_view text) {
    if (row < 1 || column < 1) return;
    std::wstring copy(text);
    LVITEMW item{};
    item.iSubItem = column - 1;
    item.pszText = copy.data();
    SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item));
}

int Grid::rowCount() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

int Grid::columnCount() const {
    const HWND header = headerOf(list_);
    return header ? std::max(static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)), 0) : 0;
}

int Grid::columnImage(int column) const {
    if (column < 1) return -1;
    LVCOLUMNW format{};
    format.mask = LVCF_FMT | LVCF_IMAGE;
    if (!SendMessageW(list_, LVM_GETCOLUMNW, static_cast<WPARAM>(column - 1), reinterpret_cast<LPARAM>(&format))) {
        return -1;
    }
    return (format.fmt & LVCFMT_IMAGE) ? format.iImage : -1;
}

void Grid::setColumnImage(int column, int image) {
    if (column < 1) return;
    LVCOLUMNW format{};
    format.mask = LVCF_FMT;
    format.fmt = LVCFMT_LEFT;
    if (image != -1) {
        format.mask |= LVCF_IMAGE;
        format.fmt |= LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT;
        format.iImage = image;
    }
    SendMessageW(list_, LVM_SETCOLUMNW, static_cast<WPARAM>(column - 1), reinterpret_cast<LPARAM>(&format));
}

std::unique_ptr<Grid> ctrl(HWND list) {
    if (!isListView(list)) throw std::runtime_error("lvGrid::ctrl: the window is not a list view");
    if (from(list)) throw std::runtime_error("lvGrid::ctrl: the list view is wrapped already");
    std::unique_ptr<Grid> grid(new Grid(list));
    // On a failure the grid's destructor takes back what is in place already.
    if (!SetPropW(list, gridProperty, grid.get())) throw std::runtime_error("lvGrid::ctrl: cannot mark the list view");
    if (!setSubclass(list, GridWindows::listProc, subclassId, reinterpret_cast<DWORD_PTR>(grid.get()))) {
        throw std::runtime_error("lvGrid::ctrl: the list view cannot be subclassed");
    }
    current = grid.get();
    return grid;
}

Grid* from(HWND list) {
    return list ? static_cast<Grid*>(GetPropW(list, gridProperty)) : nullptr;
}

bool rowsMayMove(UINT message, LPARAM lParam) {
    switch (message) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_KEYDOWN:  // arrows and pages, and letters that seek a row
    case WM_CHAR:
    case LVM_SCROLL:
    case LVM_ENSUREVISIBLE:
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX:
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_SETCOLUMNWIDTH:
    case LVM_INSERTCOLUMNA:
    case LVM_INSERTCOLUMNW:
    case LVM_DELETECOLUMN:
        return true;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        return position && !(position->flags & SWP_NOSIZE);
    }
    default:
        return false;
    }
}

int getColumnCount() { return current ? current->columnCount() : 0; }

int getColImage(int column) { return current ? current->columnImage(column) : -1; }

void setColImage(int column, int image) {
    if (current) current->setColumnImage(column, image);
}

int CALLBACK cmpStr(LPARAM a, LPARAM b, LPARAM) { return compareCached(Comparator::cmpStr, a, b); }
int CALLBACK cmpStrDesc(LPARAM a, LPARAM b, LPARAM) { return compareCached(Comparator::cmpStrDesc, a, b); }
int CALLBACK cmpNum(LPARAM a, LPARAM b, LPARAM) { return compareCached(Comparator::cmpNum, a, b); }
int CALLBACK cmpNumDesc(LPARAM a, LPARAM b, LPARAM) { return compareCached(Comparator::cmpNumDesc, a, b); }

}  // namespace lvGrid
