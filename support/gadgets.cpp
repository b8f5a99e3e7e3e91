// The gadget table, the standard gadget kinds and the generic gadget operations.
#include "support/gadgets.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "support/window.h"

namespace {
struct GadgetLayer {
    std::vector<GadgetRecord> table;  // capacity + 2 records, by gadget number
    HFONT font = nullptr;
    bool ready = false;  // font taken and common controls loaded
    std::vector<HWND> drawingHeld;  // report lists that do not draw until the loop runs again
    LPARAM rowsAdded = 0;  // the serial number of the last list icon row added
};
GadgetLayer gGadgets;

void DestroyGadget(int32_t number) {
    GadgetRecord* r = GadgetFind(number);
    if (!r) return;
    if (r->ops && r->ops->free)
        r->ops->free(number);
    else
        DestroyWindow(r->handle);
    if (number < int32_t(gGadgets.table.size())) gGadgets.table[size_t(number)] = GadgetRecord{};
}

HWND HandleOf(int32_t number) {
    GadgetRecord* r = GadgetFind(number);
    return r ? r->handle : nullptr;
}

LRESULT Send(int32_t number, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return SendMessageA(HandleOf(number), msg, wp, lp);
}

// Rows added to a report list one at a time are drawn one at a time, and Wine
// redraws the scroll bars on every insert (milliseconds each under X): a list
// being filled stops drawing until the event loop runs again, when a posted
// message turns drawing back on. The application never pumps messages while
// it fills a list, so nobody sees the difference.
constexpr UINT kMsgResumeDrawing = WM_APP + 0x2BD;

bool ForgetHeld(HWND hwnd) {
    std::vector<HWND>& held = gGadgets.drawingHeld;
    for (size_t i = 0; i < held.size(); ++i)
        if (held[i] == hwnd) {
            held.erase(held.begin() + ptrdiff_t(i));
            return true;
        }
    return false;
}

void HoldDrawing(HWND hwnd) {
    for (HWND h : gGadgets.drawingHeld)
        if (h == hwnd) return;
    gGadgets.drawingHeld.push_back(hwnd);
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    PostMessageA(hwnd, kMsgResumeDrawing, 0, 0);
}

void ResumeDrawing(HWND hwnd) {
    if (!ForgetHeld(hwnd)) return;
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool IsListKind(const GadgetKindOps* ops);

// The keys a list gadget reports as events, by what the key asks for; 0 for
// every other key, which goes to the control as before. The menu key and
// Shift+F10 both ask for the context menu. Read while the key message is
// handled, the key state is that of the moment the key was pressed.
int32_t ListKeySubtype(UINT msg, WPARAM key) {
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    if (msg == WM_KEYDOWN && key == VK_DELETE && !shift) return kSubtypeKeyDelete;
    if (msg == WM_KEYDOWN && key == VK_F2 && !shift) return kSubtypeKeyF2;
    if (msg == WM_KEYDOWN && key == VK_APPS) return kSubtypeKeyMenu;
    // F10 arrives as a system key.
    if (msg == WM_SYSKEYDOWN && key == VK_F10 && shift) return kSubtypeKeyMenu;
    return 0;
}

// In front of every standard control: the record is cleared when the control
// goes, however it goes (GadFree, a new gadget with the same number, or its
// window); list gadgets report their keys.
LRESULT CALLBACK GadgetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kMsgResumeDrawing) {
        ResumeDrawing(hwnd);
        return 0;
    }
    int32_t number = int32_t(GetWindowLongPtrA(hwnd, GWLP_ID));
    GadgetRecord* r = GadgetFind(number);
    if (!r || r->handle != hwnd || !r->extra) {
        // Not ours any more (cannot happen while ids stay gadget numbers):
        // the class procedure is the control's own.
        auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
        return CallWindowProcA(own, hwnd, msg, wp, lp);
    }
    if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && IsListKind(r->ops)) {
        if (int32_t subtype = ListKeySubtype(msg, wp)) {
            WinRaiseGadgetEvent(number, subtype);
            return 0;
        }
    }
    auto own = reinterpret_cast<WNDPROC>(r->extra);
    if (msg == WM_NCDESTROY) {
        ForgetHeld(hwnd);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        *r = GadgetRecord{};
    }
    return CallWindowProcA(own, hwnd, msg, wp, lp);
}

struct Creation {
    const char* className;
    DWORD exStyle;
    DWORD style;
    const char* text;
};

HWND CreateGadget(int32_t number, int x, int y, int width, int height, const Creation& c,
                  const GadgetKindOps* ops) {
    GadgetRecord* slot = GadgetNewSlot(number);
    if (!slot) return nullptr;
    HWND hwnd = CreateWindowExA(c.exStyle, c.className, c.text, c.style, x, y, width, height, GadgetListWindow(),
                                reinterpret_cast<HMENU>(intptr_t(number)), GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return nullptr;
    // Window procedures ran during the creation: look the slot up again
    // rather than trust a pointer into a table that may have moved.
    GadgetRecord& r = gGadgets.table[size_t(number)];
    r.handle = hwnd;
    r.ops = ops;
    r.extra = reinterpret_cast<void*>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetProc));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GadgetDefaultFont()), TRUE);
    return hwnd;
}

// Up to `limit` characters of a text a control writes into a buffer.
template <class Fill>
std::string Bounded(size_t limit, Fill fill) {
    std::string buf(limit + 1, '\0');
    int n = fill(buf.data(), int(buf.size()));
    buf.resize(n > 0 ? size_t(n) < limit ? size_t(n) : limit : 0);
    return buf;
}

// ---- Button and frame

int32_t ButtonGetState(int32_t number) { return int32_t(Send(number, BM_GETCHECK)); }
void ButtonSetState(int32_t number, int32_t value) { Send(number, BM_SETCHECK, WPARAM(value)); }

const GadgetKindOps kButtonOps = {nullptr, ButtonGetState, ButtonSetState, nullptr, nullptr,
                                  nullptr, nullptr,        nullptr,        nullptr, nullptr};
const GadgetKindOps kTextOps = {};

// ---- List view: a single-column list box

std::string ListBoxText(int32_t number, int32_t index) {
    if (index < 0) return {};
    LRESULT length = Send(number, LB_GETTEXTLEN, WPARAM(index));
    if (length == LB_ERR) return {};
    std::string text(size_t(length) + 1, '\0');
    LRESULT got = Send(number, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : size_t(got));
    return text;
}

int32_t ListViewGetState(int32_t number) { return int32_t(Send(number, LB_GETCURSEL)); }
void ListViewSetState(int32_t number, int32_t value) { Send(number, LB_SETCURSEL, WPARAM(value)); }
std::string ListViewGetText(int32_t number) { return ListBoxText(number, ListViewGetState(number)); }
int32_t ListViewAddItem(int32_t number, int32_t position, const std::string& text) {
    return int32_t(Send(number, LB_INSERTSTRING, WPARAM(position), reinterpret_cast<LPARAM>(text.c_str())));
}
void ListViewRemoveItem(int32_t number, int32_t index) { Send(number, LB_DELETESTRING, WPARAM(index)); }
void ListViewClearItems(int32_t number) { Send(number, LB_RESETCONTENT); }
int32_t ListViewCountItems(int32_t number) {
    LRESULT n = Send(number, LB_GETCOUNT);
    return n == LB_ERR ? 0 : int32_t(n);
}
std::string ListViewGetItemText(int32_t number, int32_t index, int32_t) { return ListBoxText(number, index); }

const GadgetKindOps kListViewOps = {nullptr,           ListViewGetState,   ListViewSetState,   ListViewGetText,
                                    ListViewAddItem,   ListViewRemoveItem, ListViewClearItems, ListViewCountItems,
                                    ListViewGetItemText, nullptr};

// ---- List icon: a report list with column headers

constexpr size_t kCellLimit = 9999;  // characters of a cell's text that GadGetItemText gives

std::string ListIconCell(int32_t number, int32_t row, int32_t column, size_t limit) {
    if (row < 0) return {};
    return Bounded(limit, [&](char* buf, int size) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buf;
        item.cchTextMax = size;
        return int(Send(number, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item)));
    });
}

void SetCell(int32_t number, int32_t row, int32_t column, const char* text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    Send(number, LVM_SETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

int32_t ListIconGetState(int32_t number) {
    return int32_t(Send(number, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}
void ListIconSetState(int32_t number, int32_t value) {
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    // To the platform, row -1 means every row. A negative value here means no
    // row (the row above the first one), so it clears the selection instead.
    if (value < 0) item.state = 0;
    Send(number, LVM_SETITEMSTATE, WPARAM(value < 0 ? -1 : value), reinterpret_cast<LPARAM>(&item));
    SetFocus(HandleOf(number));
}
std::string ListIconGetText(int32_t number) { return ListIconCell(number, ListIconGetState(number), 0, 59999); }

int32_t ListIconCountItems(int32_t number) { return int32_t(Send(number, LVM_GETITEMCOUNT)); }
std::string ListIconGetItemText(int32_t number, int32_t index, int32_t column) {
    return ListIconCell(number, index, column, kCellLimit);
}

// ---- Sorting a list icon. Each row carries the serial number of its
// insertion as its item data: ties keep the order the rows were added in.

// The column `column` of a row text (columns separated by line feeds).
std::string_view ColumnOf(std::string_view text, int32_t column) {
    for (; column > 0 && text.find('\n') != std::string_view::npos; --column) text.remove_prefix(text.find('\n') + 1);
    return column > 0 ? std::string_view() : text.substr(0, text.find('\n'));
}

// The sorted order of two cells of the sorted column: negative when `a` comes first.
int Ordered(const ListSort& sort, std::string_view a, std::string_view b) {
    int order = sort.order(a, b);
    order = (order > 0) - (order < 0);
    return sort.descending ? -order : order;
}

// Where a row added at the end goes: past the last row, or in a sorted list
// behind every row that does not sort after it.
int32_t PlaceAtEnd(int32_t number, const std::string& text) {
    const GadgetRecord* r = GadgetFind(number);
    if (!r || r->sort.column < 0) return INT32_MAX;
    const ListSort sort = r->sort;
    const std::string_view key = ColumnOf(text, sort.column).substr(0, kCellLimit);
    int32_t low = 0, high = ListIconCountItems(number);
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (Ordered(sort, key, ListIconGetItemText(number, middle, sort.column)) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

// The sorted column's cells by serial number, for the platform's sort, which
// compares rows by their item data. The texts lie one after another: one
// string per row made a long list's sort many times slower under Wine.
struct SortRun {
    struct Cell {
        LPARAM serial;
        size_t at, size;  // in `texts`
    };
    ListSort sort;
    std::vector<Cell> cells;  // in serial order
    std::string texts;
    std::string_view CellOf(LPARAM serial) const {
        const Cell& c = *std::lower_bound(cells.begin(), cells.end(), serial,
                                          [](const Cell& cell, LPARAM s) { return cell.serial < s; });
        return std::string_view(texts).substr(c.at, c.size);
    }
};

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM context) {
    const auto& run = *reinterpret_cast<const SortRun*>(context);
    int order = Ordered(run.sort, run.CellOf(a), run.CellOf(b));
    return order ? order : a < b ? -1 : a > b;
}

void SortRows(int32_t number, const ListSort& sort) {
    SortRun run{sort, {}, {}};
    for (int32_t row = 0, rows = ListIconCountItems(number); row < rows; ++row) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        Send(number, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        const std::string cell = ListIconGetItemText(number, row, sort.column);
        run.cells.push_back({item.lParam, run.texts.size(), cell.size()});
        run.texts += cell;
    }
    std::sort(run.cells.begin(), run.cells.end(), [](const auto& a, const auto& b) { return a.serial < b.serial; });
    Send(number, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&run), reinterpret_cast<LPARAM>(CompareRows));
}

// The platform's sort arrow on the sorted column's header, none on the others.
void ShowSortArrow(int32_t number, const ListSort& sort) {
    HWND header = reinterpret_cast<HWND>(Send(number, LVM_GETHEADER));
    for (int column = 0, columns = int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)); column < columns; ++column) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, WPARAM(column), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == sort.column) item.fmt |= sort.descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageA(header, HDM_SETITEMA, WPARAM(column), reinterpret_cast<LPARAM>(&item));
    }
}

int32_t ListIconAddItem(int32_t number, int32_t position, const std::string& text) {
    HoldDrawing(HandleOf(number));
    // The columns travel in one text, separated by line feeds.
    std::string row = text;
    size_t cut = row.find('\n');
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = position == -1 ? PlaceAtEnd(number, text) : position;
    item.pszText = row.data();
    item.lParam = ++gGadgets.rowsAdded;
    if (cut != std::string::npos) row[cut] = '\0';
    int32_t index = int32_t(Send(number, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    // The columns go to the row that was actually made: a position past the
    // end lands at the end, and a failed insert must not write into another row.
    if (index < 0) return index;
    for (int32_t column = 1; cut != std::string::npos; ++column) {
        size_t start = cut + 1;
        cut = row.find('\n', start);
        if (cut != std::string::npos) row[cut] = '\0';
        SetCell(number, index, column, row.data() + start);
    }
    return index;
}
void ListIconRemoveItem(int32_t number, int32_t index) { Send(number, LVM_DELETEITEM, WPARAM(index)); }
void ListIconClearItems(int32_t number) { Send(number, LVM_DELETEALLITEMS); }
void ListIconAddColumn(int32_t number, int32_t position, const std::string& title, int32_t width) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(title.c_str());
    Send(number, LVM_INSERTCOLUMNA, WPARAM(position), reinterpret_cast<LPARAM>(&column));
}

const GadgetKindOps kListIconOps = {nullptr,           ListIconGetState,   ListIconSetState,   ListIconGetText,
                                    ListIconAddItem,   ListIconRemoveItem, ListIconClearItems, ListIconCountItems,
                                    ListIconGetItemText, ListIconAddColumn};

bool IsListKind(const GadgetKindOps* ops) { return ops == &kListViewOps || ops == &kListIconOps; }

}  // namespace

void GadgetLayerInit() {
    gGadgets = GadgetLayer{};
    gGadgets.table.resize(30 + 2);
}

// The font and the common controls are taken when the first gadget is made:
// a start from a project shortcut makes none, and loading the common
// controls library would only slow it down. The library is loaded by name so
// that the program does not import it at start-up; the manifest's activation
// context still selects version 6.
void GadgetLayerReady() {
    if (gGadgets.ready) return;
    gGadgets.ready = true;
    gGadgets.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (HMODULE controls = LoadLibraryA("comctl32.dll")) {
        auto init = reinterpret_cast<InitEx>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        if (init) init(&classes);
    }
}

HFONT GadgetDefaultFont() {
    GadgetLayerReady();
    return gGadgets.font;
}

GadgetRecord* GadgetFind(int32_t number) {
    if (number < 0 || number >= int32_t(gGadgets.table.size())) return nullptr;
    GadgetRecord& r = gGadgets.table[size_t(number)];
    return r.handle ? &r : nullptr;
}

GadgetRecord* GadgetNewSlot(int32_t number) {
    if (number < 0) return nullptr;
    GadgetLayerReady();
    // Before GadgetLayerInit the table is empty: capacity 0, so it grows here.
    size_t capacity = gGadgets.table.size() < 2 ? 0 : gGadgets.table.size() - 2;
    if (size_t(number) >= capacity) gGadgets.table.resize(size_t(number) + 30 + 2);
    DestroyGadget(number);
    return &gGadgets.table[size_t(number)];
}

// ---- Creation

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
}  // namespace

HWND GadButton(int32_t number, int x, int y, int width, int height, const std::string& caption) {
    const DWORD style = kChild | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
    return CreateGadget(number, x, y, width, height, {"BUTTON", 0, style, caption.c_str()}, &kButtonOps);
}

HWND GadText(int32_t number, int x, int y, int width, int height, const std::string& text) {
    const DWORD style = kChild | WS_GROUP | SS_LEFT;
    return CreateGadget(number, x, y, width, height, {"STATIC", 0, style, text.c_str()}, &kTextOps);
}

HWND GadFrame(int32_t number, int x, int y, int width, int height, const std::string& caption) {
    const DWORD style = kChild | WS_GROUP | BS_GROUPBOX;
    return CreateGadget(number, x, y, width, height, {"BUTTON", 0, style, caption.c_str()}, &kButtonOps);
}

// Not sorted; no horizontal extent is ever set, so text past the right edge
// is out of sight (the file list relies on that).
HWND GadListView(int32_t number, int x, int y, int width, int height) {
    const DWORD style = kChild | WS_VSCROLL | WS_HSCROLL | WS_GROUP | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS |
                        LBS_NOINTEGRALHEIGHT;
    return CreateGadget(number, x, y, width, height, {"LISTBOX", WS_EX_CLIENTEDGE, style, ""}, &kListViewOps);
}

HWND GadListIcon(int32_t number, int x, int y, int width, int height, const std::string& firstTitle,
                 int firstWidth, uint32_t flags) {
    DWORD style = kChild | WS_TABSTOP | LVS_REPORT | LVS_SHAREIMAGELISTS;
    if (!(flags & kListIconMultiSelect)) style |= LVS_SINGLESEL;
    if (flags & kListIconAlwaysShowSelection) style |= LVS_SHOWSELALWAYS;
    HWND hwnd = CreateGadget(number, x, y, width, height, {WC_LISTVIEWA, WS_EX_CLIENTEDGE, style, ""},
                             &kListIconOps);
    if (!hwnd) return nullptr;
    DWORD extended = 0;
    if (flags & kListIconGridLines) extended |= LVS_EX_GRIDLINES;
    if (flags & kListIconFullRowSelect) extended |= LVS_EX_FULLROWSELECT;
    if (flags & kListIconHeaderDragDrop) extended |= LVS_EX_HEADERDRAGDROP;
    if (flags & kListIconCheckBoxes) extended |= LVS_EX_CHECKBOXES;
    if (extended) SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    GadAddColumn(number, 0, firstTitle, firstWidth);
    return hwnd;
}

void GadAddColumn(int32_t number, int32_t position, const std::string& title, int32_t width) {
    GadgetRecord* r = GadgetFind(number);
    if (r && r->ops && r->ops->addColumn) r->ops->addColumn(number, position, title, width);
}

void GadSortByColumn(int32_t number, int32_t column, TextOrder order) {
    GadgetRecord* r = GadgetFind(number);
    if (!r || r->ops != &kListIconOps || column < 0 || !order) return;
    r->sort = ListSort{column, r->sort.column == column && !r->sort.descending, order};
    const ListSort sort = r->sort;
    SortRows(number, sort);
    ShowSortArrow(number, sort);
    // The selected row, wherever it went, stays in sight.
    if (int32_t selected = ListIconGetState(number); selected >= 0) Send(number, LVM_ENSUREVISIBLE, WPARAM(selected));
}

// ---- Generic operations

namespace {
const GadgetKindOps* OpsOf(int32_t number) {
    GadgetRecord* r = GadgetFind(number);
    static const GadgetKindOps kNone = {};
    return r && r->ops ? r->ops : (r ? &kNone : nullptr);
}
}  // namespace

std::string GadGetText(int32_t number) {
    const GadgetKindOps* ops = OpsOf(number);
    if (!ops) return {};
    if (ops->getText) return ops->getText(number);
    HWND hwnd = HandleOf(number);
    return Bounded(31999, [&](char* buf, int size) { return GetWindowTextA(hwnd, buf, size); });
}

int32_t GadAddItem(int32_t number, int32_t position, const std::string& text) {
    const GadgetKindOps* ops = OpsOf(number);
    return ops && ops->addItem ? ops->addItem(number, position, text) : 0;
}

void GadSetState(int32_t number, int32_t value) {
    const GadgetKindOps* ops = OpsOf(number);
    if (ops && ops->setState) ops->setState(number, value);
}

int32_t GadGetState(int32_t number) {
    const GadgetKindOps* ops = OpsOf(number);
    return ops && ops->getState ? ops->getState(number) : 0;
}

void GadRemoveItem(int32_t number, int32_t index) {
    const GadgetKindOps* ops = OpsOf(number);
    if (ops && ops->removeItem) ops->removeItem(number, index);
}

std::string GadGetItemText(int32_t number, int32_t index, int32_t column) {
    const GadgetKindOps* ops = OpsOf(number);
    return ops && ops->getItemText ? ops->getItemText(number, index, column) : std::string();
}

int32_t GadCountItems(int32_t number) {
    const GadgetKindOps* ops = OpsOf(number);
    return ops && ops->countItems ? ops->countItems(number) : 0;
}

void GadClearItems(int32_t number) {
    const GadgetKindOps* ops = OpsOf(number);
    if (ops && ops->clearItems) ops->clearItems(number);
}

void GadFree(int32_t number) { DestroyGadget(number); }
