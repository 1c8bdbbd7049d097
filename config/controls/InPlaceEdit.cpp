#include "config/controls/InPlaceEdit.h"

#include <algorithm>

#include "common/text/Utf.h"
#include "config/controls/ListCells.h"

namespace {

CInPlaceEdit* g_inPlaceEdit = nullptr;

constexpr UINT kCtrlC = 3;
constexpr UINT kBackspace = 8;
constexpr UINT kCtrlV = 22;
constexpr UINT kCtrlX = 24;

// The clipboard's CF_TEXT in the ANSI code page, up to its first NUL and never past the memory that holds it.
enum class ClipboardText { Unreadable, None, Read };

ClipboardText ReadClipboardText(HWND owner, std::wstring& text) {
    if (!::OpenClipboard(owner)) return ClipboardText::Unreadable;
    ClipboardText outcome = ClipboardText::None;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
            const size_t size = ::GlobalSize(data);
            text = AnsiToWide(std::string_view(bytes, std::find(bytes, bytes + size, '\0') - bytes));
            ::GlobalUnlock(data);
            outcome = ClipboardText::Read;
        }
    }
    ::CloseClipboard();
    return outcome;
}

}  // namespace

CInPlaceEdit* CInPlaceEdit::GetInstance() {
    if (!g_inPlaceEdit) g_inPlaceEdit = new CInPlaceEdit();
    return g_inPlaceEdit;
}

void CInPlaceEdit::DeleteInstance() {
    delete g_inPlaceEdit;
    g_inPlaceEdit = nullptr;
}

void CInPlaceEdit::DeclareMessageMap(MessageMap& map) {
    CEdit::DeclareMessageMap(map);
    map.OnMessage(WM_CREATE, &CInPlaceEdit::OnCreate);
    map.OnKillFocus(&CInPlaceEdit::OnKillFocus);
    map.OnChar(&CInPlaceEdit::OnChar);
    map.OnMessage(WM_PASTE, &CInPlaceEdit::OnPaste);
}

CInPlaceEdit* CInPlaceEdit::OpenForCell(DWORD style, const RECT& rect, HWND list, int row, int column,
                                        const std::wstring& allowed, const std::wstring& text) {
    m_row = row;
    m_column = column;
    m_allowed = allowed;
    m_startText = text;
    m_cancelled = false;
    if (!m_hWnd && !CreateEx(0, WC_EDITW, L"", style | WS_CHILD, rect, list, 0)) return nullptr;
    return this;
}

LRESULT CInPlaceEdit::OnCreate(WPARAM, LPARAM) {
    const LRESULT created = Default();
    if (created == -1) return created;
    SetFont(reinterpret_cast<HFONT>(::SendMessageW(GetParent(), WM_GETFONT, 0, 0)));
    ShowWindow(SW_SHOW);
    SetWindowText(m_startText);
    SetSel(0, -1);
    SendMessage(EM_SCROLLCARET);
    SetFocus();
    return created;
}

BOOL CInPlaceEdit::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        if (msg->wParam == VK_ESCAPE) m_cancelled = true;
        ::SetFocus(GetParent());
        return TRUE;
    }
    return CEdit::PreTranslateMessage(msg);
}

void CInPlaceEdit::OnChar(UINT ch, UINT, UINT) {
    const bool passes = m_allowed.empty() || IsAllowed(static_cast<wchar_t>(ch)) || ch == kCtrlC ||
                        ch == kBackspace || ch == kCtrlV || ch == kCtrlX;
    if (passes) {
        Default();
    } else {
        ::MessageBeep(MB_ICONEXCLAMATION);
    }
}

LRESULT CInPlaceEdit::OnPaste(WPARAM, LPARAM) {
    // Without allowed characters a paste is not filtered, as typing is not.
    if (m_allowed.empty()) return Default();
    std::wstring text;
    const ClipboardText read = ReadClipboardText(m_hWnd, text);
    if (read == ClipboardText::None) return 0;
    const auto allowed = [this](wchar_t c) { return IsAllowed(c); };
    if (read == ClipboardText::Read && !std::all_of(text.begin(), text.end(), allowed)) return 0;
    return Default();
}

void CInPlaceEdit::OnKillFocus(HWND) {
    Default();
    ReportCellEditEnded(m_hWnd, GetParent(), m_row, m_column, m_cancelled ? m_startText : GetWindowText());
}
