#include "config/controls/InPlaceCombo.h"

#include "config/controls/ListCells.h"

namespace {

CInPlaceCombo* g_inPlaceCombo = nullptr;

}  // namespace

CInPlaceCombo* CInPlaceCombo::GetInstance() {
    if (!g_inPlaceCombo) g_inPlaceCombo = new CInPlaceCombo();
    return g_inPlaceCombo;
}

void CInPlaceCombo::DeleteInstance() {
    delete g_inPlaceCombo;
    g_inPlaceCombo = nullptr;
}

void CInPlaceCombo::DeclareMessageMap(MessageMap& map) {
    CComboBox::DeclareMessageMap(map);
    map.OnMessage(WM_CREATE, &CInPlaceCombo::OnCreate);
    map.OnKillFocus(&CInPlaceCombo::OnKillFocus);
    map.OnChar(&CInPlaceCombo::OnChar);
    map.OnReflectedCommand(CBN_CLOSEUP, &CInPlaceCombo::OnCbnCloseup);
}

CInPlaceCombo* CInPlaceCombo::OpenForCell(DWORD style, const RECT& rect, HWND list, int row, int column,
                                          const ComboItems& entries, const std::wstring& text, int selection) {
    m_row = row;
    m_column = column;
    m_cancelled = false;
    m_entries = entries;
    const bool chosen = selection >= 0 && static_cast<size_t>(selection) < m_entries.size();
    m_startText = chosen ? m_entries[static_cast<size_t>(selection)] : text;
    if (!m_hWnd && !CreateEx(0, WC_COMBOBOXW, L"", style, rect, list, 0)) return nullptr;
    SetCurSel(selection);
    return this;
}

LRESULT CInPlaceCombo::OnCreate(WPARAM, LPARAM) {
    const LRESULT created = Default();
    if (created == -1) return created;
    SetFont(reinterpret_cast<HFONT>(::SendMessageW(GetParent(), WM_GETFONT, 0, 0)));
    SetFocus();
    ResetContent();
    for (const std::wstring& entry : m_entries) AddString(entry);  // in the parent's order: no CBS_SORT
    return created;
}

BOOL CInPlaceCombo::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        ::TranslateMessage(msg);
        ::DispatchMessageW(msg);
        return TRUE;
    }
    return CComboBox::PreTranslateMessage(msg);
}

void CInPlaceCombo::OnChar(UINT ch, UINT, UINT) {
    if (ch == VK_ESCAPE) {
        m_cancelled = true;
        ::SetFocus(GetParent());
    } else if (ch == VK_RETURN) {
        ::SetFocus(GetParent());
    } else {
        Default();
    }
}

// An entry chosen or not, the edit ends with the drop-down.
void CInPlaceCombo::OnCbnCloseup() { ::SetFocus(GetParent()); }

void CInPlaceCombo::OnKillFocus(HWND) {
    Default();
    ReportCellEditEnded(m_hWnd, GetParent(), m_row, m_column, m_cancelled ? m_startText : GetWindowText());
}
