#pragma once
// CInPlaceCombo: the drop-down list laid over a cell of a CComboListCtrl. One object serves every list of the
// process (GetInstance); its window exists only while a cell is edited, as a child of that list.
//
// The edit ends when the combo loses the focus: Enter, Escape (the cell keeps its starting text), closing the
// drop-down, a click elsewhere or the list scrolling. It then reports to the list as LVN_ENDLABELEDITW and
// closes its window. While the window still exists, opening another cell reuses it unchanged and opens nothing
// new: a click on another cell during an edit only ends that edit.
#include <windows.h>

#include <string>

#include "common/framework/Controls.h"
#include "config/controls/ListMessages.h"

class CInPlaceCombo : public CComboBox {
public:
    // The process's one object, made on first use; DeleteInstance deletes it (every CComboListCtrl's end does).
    static CInPlaceCombo* GetInstance();
    static void DeleteInstance();

    // Edits the cell (row, column) of `list` over `rect` (the list's client coordinates) with a window of
    // `style` and these entries, the entry at `selection` selected (-1: none). The starting text is that
    // entry, or `text` without a selection. Null when the window cannot be made.
    CInPlaceCombo* OpenForCell(DWORD style, const RECT& rect, HWND list, int row, int column, const ComboItems& entries,
                               const std::wstring& text, int selection);

    // Enter and Escape go to the combo at once, before the dialog around it sees them.
    BOOL PreTranslateMessage(MSG* msg) override;

    int Row() const { return m_row; }
    int Column() const { return m_column; }

protected:
    void DeclareMessageMap(MessageMap& map) override;

private:
    CInPlaceCombo() = default;

    LRESULT OnCreate(WPARAM, LPARAM);
    void OnKillFocus(HWND newFocus);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnCbnCloseup();

    int m_row = -1;
    int m_column = -1;
    bool m_cancelled = false;
    std::wstring m_startText;
    ComboItems m_entries;
};
