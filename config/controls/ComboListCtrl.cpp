#include "config/controls/ComboListCtrl.h"

#include <algorithm>
#include <cwctype>

#include "common/base/UniqueHandle.h"
#include "common/process/Process.h"
#include "config/controls/ListMessages.h"

namespace {

// The narrowest column a cell combo opens in.
constexpr int kMinComboColumnWidth = 10;
// The most entries the drop-down shows without scrolling.
constexpr int kDropDownRows = 10;
// The empty-list text: 10 pixels below the header, black, in 8-point "MS Sans Serif".
constexpr int kEmptyTextGap = 10;
constexpr int kEmptyTextPoints = 8;
constexpr UINT kEmptyTextFormat = DT_CENTER | DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX;

bool KeyHeld(int key) { return ::GetKeyState(key) < 0; }

}  // namespace

CComboListCtrl::CComboListCtrl() : m_arrowCursor(::LoadCursorW(nullptr, IDC_ARROW)) {}

CComboListCtrl::~CComboListCtrl() {
    CInPlaceCombo::DeleteInstance();
    CInPlaceEdit::DeleteInstance();
}

void CComboListCtrl::AddOnce(std::vector<int>& columns, int column) {
    if (!Holds(columns, column)) columns.push_back(column);
}

bool CComboListCtrl::Holds(const std::vector<int>& columns, int column) {
    return std::find(columns.begin(), columns.end(), column) != columns.end();
}

void CComboListCtrl::DeclareMessageMap(MessageMap& map) {
    CListCtrl::DeclareMessageMap(map);
    map.OnMessage(WM_HSCROLL, &CComboListCtrl::OnScroll);
    map.OnMessage(WM_VSCROLL, &CComboListCtrl::OnScroll);
    map.OnMouse(WM_LBUTTONDOWN, &CComboListCtrl::OnLButtonDown);
    map.OnReflectedNotify(LVN_ENDLABELEDITW, &CComboListCtrl::OnLvnEndlabeledit);
    map.OnReflectedNotify(LVN_BEGINLABELEDITW, &CComboListCtrl::OnLvnBeginlabeledit);
    map.OnMessage(WM_PAINT, &CComboListCtrl::OnPaint);
    map.OnMouse(WM_MOUSEMOVE, &CComboListCtrl::OnMouseMove);
    map.OnMessage(WM_MOUSELEAVE, &CComboListCtrl::OnMouseLeave);
    // From the header, whose control id is 0.
    map.OnNotify(HDN_ENDTRACKA, 0, &CComboListCtrl::OnHdnEndtrack);
    map.OnNotify(HDN_ENDTRACKW, 0, &CComboListCtrl::OnHdnEndtrack);
}

RECT CComboListCtrl::GetCellRect(int row, int column) const {
    RECT rect{};
    GetItemRect(row, &rect, LVIR_BOUNDS);
    rect.right = std::min(rect.right, GetClientRect().right);
    ScrollColumnIntoView(column, rect);
    return rect;
}

void CComboListCtrl::ScrollColumnIntoView(int column, RECT& rect) const {
    int x = rect.left;
    for (int i = 0; i < column; ++i) x += GetColumnWidth(i);
    const int width = GetColumnWidth(column);
    const RECT client = GetClientRect();
    int scroll = 0;
    if (x >= client.left && x <= client.right) {
        if (x + width > client.right) scroll = x + width - client.right;
    } else {
        scroll = x;
    }
    if (scroll != 0) Scroll(scroll, 0);
    rect.left = x - scroll;
    rect.right = rect.left + width;
}

CInPlaceCombo* CComboListCtrl::OpenCellCombo(int row, int column, const ComboItems& entries, const std::wstring& text,
                                             int selection) {
    if (!EnsureVisible(row, true)) return nullptr;
    const int columns = static_cast<int>(::SendMessageW(GetHeaderCtrl(), HDM_GETITEMCOUNT, 0, 0));
    if (column < 0 || column >= columns || GetColumnWidth(column) < kMinComboColumnWidth) return nullptr;
    RECT rect = GetCellRect(row, column);
    // The drop-down shows every entry, up to kDropDownRows of them, below the cell.
    const int shown = std::clamp(static_cast<int>(entries.size()), 1, kDropDownRows);
    rect.bottom += (rect.bottom - rect.top) * (shown + 1);
    return CInPlaceCombo::GetInstance()->OpenForCell(m_comboStyle, rect, m_hWnd, row, column, entries, text,
                                                     selection);
}

CInPlaceEdit* CComboListCtrl::OpenCellEdit(int row, int column, const std::wstring& text) {
    return CInPlaceEdit::GetInstance()->OpenForCell(m_editStyle, GetCellRect(row, column), m_hWnd, row, column,
                                                    m_allowedCharacters, text);
}

void CComboListCtrl::OnLButtonDown(UINT, POINT point) {
    CellHit hit;
    if (!HitTestCell(point, hit)) return;  // outside every cell the click is dropped
    Default();  // selects and focuses the row; the list takes the focus
    if (KeyHeld(VK_SHIFT) || KeyHeld(VK_CONTROL)) return;
    const std::wstring text = GetItemText(hit.row, hit.column);
    if (hit.row < 0 || hit.row >= GetItemCount() || !(GetItemState(hit.row, LVIS_FOCUSED) & LVIS_FOCUSED)) return;
    if (IsComboColumn(hit.column)) {
        ComboItems entries;
        ::SendMessageW(GetParent(), UWM_GET_COMBO_ITEMS, static_cast<WPARAM>(hit.column),
                       reinterpret_cast<LPARAM>(&entries));
        // The first entry that begins with the cell's text, without regard to case.
        if (CInPlaceCombo* combo = OpenCellCombo(hit.row, hit.column, entries, text, -1)) combo->SelectString(-1, text);
    } else if (IsLinkColumn(hit.column)) {
        if (GetNextItem(-1, LVNI_SELECTED) == -1) return;
        const size_t start = std::min(text.size(), text.find_first_not_of(L" \t\r\n\v\f"));
        OpenWithShell(L"http://" + text.substr(start));
    } else if (!IsReadOnlyColumn(hit.column)) {
        OpenCellEdit(hit.row, hit.column, text);
    }
}

void CComboListCtrl::OnLvnEndlabeledit(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    SetItemText(info->item.iItem, info->item.iSubItem, info->item.pszText ? info->item.pszText : L"");
    ::SendMessageW(GetParent(), UWM_CELL_EDITED, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(info));
    *result = 0;
}

void CComboListCtrl::OnLvnBeginlabeledit(NMHDR* header, LRESULT* result) {
    const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(header);
    *result = IsReadOnlyColumn(info->item.iSubItem) ? 1 : 0;
}

// An open editor has the focus: the list takes it back, which ends the edit, before it scrolls.
LRESULT CComboListCtrl::OnScroll(WPARAM, LPARAM) {
    if (::GetFocus() != m_hWnd) SetFocus();
    return Default();
}

void CComboListCtrl::OnPaint() {
    Default();
    if (GetItemCount() == 0 && !m_emptyListText.empty()) DrawEmptyListText();
}

void CComboListCtrl::DrawEmptyListText() {
    const WindowDc dc(m_hWnd);
    if (!dc) return;
    const SavedDcState saved(dc.get());
    RECT rect = GetClientRect();
    RECT header{};
    if (::SendMessageW(GetHeaderCtrl(), HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&header))) {
        rect.top = header.bottom;
    }
    rect.top += kEmptyTextGap;
    LOGFONTW face{};
    face.lfHeight = -::MulDiv(kEmptyTextPoints, ::GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    wcscpy(face.lfFaceName, L"MS Sans Serif");
    const UniqueGdiObject font(::CreateFontIndirectW(&face));
    const SelectedObject selected(dc.get(), font.get());
    ::SetTextColor(dc.get(), RGB(0, 0, 0));
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::DrawTextW(dc.get(), m_emptyListText.c_str(), -1, &rect, kEmptyTextFormat);
}

void CComboListCtrl::OnMouseMove(UINT, POINT) {
    if (!m_trackingMouseLeave) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        m_trackingMouseLeave = ::TrackMouseEvent(&track) != FALSE;
    }
    Default();
}

LRESULT CComboListCtrl::OnMouseLeave(WPARAM, LPARAM) {
    m_trackingMouseLeave = false;
    ::SetCursor(m_arrowCursor);
    return Default();
}

// Dragging a column divider leaves old text behind without a full repaint.
void CComboListCtrl::OnHdnEndtrack(NMHDR*, LRESULT* result) {
    Default();
    Invalidate(TRUE);
    *result = 0;
}
