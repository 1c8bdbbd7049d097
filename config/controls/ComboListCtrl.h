#pragma once
// CComboListCtrl: a report-view list whose columns are of different kinds. A click on a cell of the focused
// row (the click itself selects and focuses it) edits the cell by its column's kind: a combo column with a
// CInPlaceCombo whose entries the parent gives (UWM_GET_COMBO_ITEMS), a link column opens its text as a web
// address, a read-only column does nothing, and any other column is edited with a CInPlaceEdit. A click with
// Shift or Ctrl held only selects. When an edit ends (a cancelled one too) the cell takes the editor's text and
// the parent hears of it with UWM_CELL_EDITED. Scrolling the list ends an edit. A list without rows shows its
// empty-list text below the header.
#include <windows.h>

#include <string>
#include <vector>

#include "common/framework/Controls.h"
#include "config/controls/InPlaceCombo.h"
#include "config/controls/InPlaceEdit.h"
#include "config/controls/ListCells.h"

class CComboListCtrl : public CListCtrl {
public:
    // The window styles of the cell editors unless an owner changes them.
    static constexpr DWORD kDefaultEditStyle = ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL;
    static constexpr DWORD kDefaultComboStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | CBS_DROPDOWNLIST |
                                                CBS_AUTOHSCROLL | CBS_OEMCONVERT | CBS_DISABLENOSCROLL;

    CComboListCtrl();
    // Deletes both cell editors of the process; the next edit makes them again.
    ~CComboListCtrl() override;

    // Each adds the column to its kind once.
    void AddComboColumn(int column) { AddOnce(m_comboColumns, column); }
    void AddReadOnlyColumn(int column) { AddOnce(m_readOnlyColumns, column); }
    void AddLinkColumn(int column) { AddOnce(m_linkColumns, column); }
    bool IsComboColumn(int column) const { return Holds(m_comboColumns, column); }
    bool IsReadOnlyColumn(int column) const { return Holds(m_readOnlyColumns, column); }
    bool IsLinkColumn(int column) const { return Holds(m_linkColumns, column); }

    void SetEmptyListText(const std::wstring& text) { m_emptyListText = text; }
    // The characters the cell edit box takes; empty: every character.
    void SetAllowedCharacters(const std::wstring& allowed) { m_allowedCharacters = allowed; }
    DWORD GetComboStyle() const { return m_comboStyle; }
    void SetComboStyle(DWORD style) { m_comboStyle = style; }

    bool HitTestCell(POINT point, CellHit& hit) const { return HitTestListCell(*this, point, hit); }
    // The cell's rectangle (client coordinates) once its column has been scrolled into view.
    RECT GetCellRect(int row, int column) const;
    // Scrolls the list so that the column shows, and narrows `rect` (a row's bounds) to the column's place.
    void ScrollColumnIntoView(int column, RECT& rect) const;
    // The cell combo over the cell, with the entry at `selection` selected (-1: none); null when the row cannot
    // be scrolled into view or the column is missing or narrower than 10 pixels.
    CInPlaceCombo* OpenCellCombo(int row, int column, const ComboItems& entries, const std::wstring& text,
                                 int selection);
    CInPlaceEdit* OpenCellEdit(int row, int column, const std::wstring& text);

protected:
    void DeclareMessageMap(MessageMap& map) override;

private:
    static void AddOnce(std::vector<int>& columns, int column);
    static bool Holds(const std::vector<int>& columns, int column);

    LRESULT OnScroll(WPARAM, LPARAM);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLvnEndlabeledit(NMHDR* header, LRESULT* result);
    void OnLvnBeginlabeledit(NMHDR* header, LRESULT* result);
    void OnPaint();
    void OnMouseMove(UINT flags, POINT point);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    void OnHdnEndtrack(NMHDR* header, LRESULT* result);
    void DrawEmptyListText();

    std::vector<int> m_comboColumns;
    std::vector<int> m_readOnlyColumns;
    std::vector<int> m_linkColumns;
    std::wstring m_allowedCharacters;
    DWORD m_editStyle = kDefaultEditStyle;
    DWORD m_comboStyle = kDefaultComboStyle;
    std::wstring m_emptyListText;
    bool m_trackingMouseLeave = false;
    HCURSOR m_arrowCursor;
};
