#pragma once
// CInPlaceEdit: the edit box laid over a cell of a CComboListCtrl. One object serves every list of the process
// (GetInstance); its window exists only while a cell is edited, as a child of that list. It ends and reports as
// CInPlaceCombo does (InPlaceCombo.h).
//
// With allowed characters, typing takes only those (and Ctrl+C, Backspace, Ctrl+V, Ctrl+X; anything else
// beeps), and a paste goes ahead only when the clipboard's text holds nothing else. Without them, neither
// typing nor pasting is filtered.
#include <windows.h>

#include <string>

#include "common/framework/Controls.h"

class CInPlaceEdit : public CEdit {
public:
    // The process's one object, made on first use; DeleteInstance deletes it (every CComboListCtrl's end does).
    static CInPlaceEdit* GetInstance();
    static void DeleteInstance();

    // Edits the cell (row, column) of `list` over `rect` (the list's client coordinates) with a window of
    // `style` (a child of the list), starting with `text` selected whole. Null when the window cannot be made.
    CInPlaceEdit* OpenForCell(DWORD style, const RECT& rect, HWND list, int row, int column,
                              const std::wstring& allowed, const std::wstring& text);

    // Enter and Escape end the edit (Escape keeps the starting text) before the dialog around it sees them.
    BOOL PreTranslateMessage(MSG* msg) override;

    int Row() const { return m_row; }
    int Column() const { return m_column; }

protected:
    void DeclareMessageMap(MessageMap& map) override;

private:
    CInPlaceEdit() = default;

    LRESULT OnCreate(WPARAM, LPARAM);
    void OnKillFocus(HWND newFocus);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnPaste(WPARAM, LPARAM);
    bool IsAllowed(wchar_t ch) const { return m_allowed.find(ch) != std::wstring::npos; }

    int m_row = -1;
    int m_column = -1;
    bool m_cancelled = false;
    std::wstring m_allowed;
    std::wstring m_startText;
};
