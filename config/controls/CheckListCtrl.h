#pragma once
// CCheckListCtrl: a report-view list with check boxes of which at most one is checked, like a set of radio
// buttons. A click on a row's check box (x from 3 to 22 in client pixels) checks that row alone and posts
// UWM_CHECKLIST_CHECKED to the parent, also when the row was checked already; rows whose item data is 0 take
// no check. No other mouse button reaches the list view, so a click neither selects nor focuses a row; Space
// checks the focused row as a click does, and the other keys keep the list view's own behaviour.
//
// The owner creates it as a report view with LVS_EX_CHECKBOXES and stores non-zero item data in every row
// that may be checked.
#include "common/framework/Controls.h"
#include "config/controls/ListCells.h"

class CCheckListCtrl : public CListCtrl {
public:
    // The check box's span of a row, in client pixels, both ends included.
    static constexpr int kCheckBoxLeft = 3;
    static constexpr int kCheckBoxRight = 22;

    bool HitTestCell(POINT point, CellHit& hit) const { return HitTestListCell(*this, point, hit); }

protected:
    void DeclareMessageMap(MessageMap& map) override;

private:
    void OnLButtonDown(UINT flags, POINT point);
    void OnIgnoredMouseButton(UINT flags, POINT point);
    LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    // Checks `row` alone and tells the parent; nothing for a row out of range or one that takes no check.
    void CheckAlone(int row);
};
