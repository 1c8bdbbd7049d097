#include "config/controls/CheckListCtrl.h"

#include "config/controls/ListMessages.h"

void CCheckListCtrl::DeclareMessageMap(MessageMap& map) {
    CListCtrl::DeclareMessageMap(map);
    map.OnMouse(WM_LBUTTONDOWN, &CCheckListCtrl::OnLButtonDown);
    map.OnMessage(WM_KEYDOWN, &CCheckListCtrl::OnKeyDown);
    for (UINT msg : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN,
                     WM_MBUTTONUP, WM_MBUTTONDBLCLK}) {
        map.OnMouse(msg, &CCheckListCtrl::OnIgnoredMouseButton);
    }
}

// The list view's own handling never runs: it would select and focus the row and toggle its box.
void CCheckListCtrl::OnLButtonDown(UINT, POINT point) {
    CellHit hit;
    HitTestCell(point, hit);
    if (point.x < kCheckBoxLeft || point.x > kCheckBoxRight) return;
    CheckAlone(hit.row);
}

// Space would toggle the focused row's box behind the parent's back: it checks that row as a click does.
LRESULT CCheckListCtrl::OnKeyDown(WPARAM key, LPARAM) {
    if (key == VK_SPACE) {
        CheckAlone(GetNextItem(-1, LVNI_FOCUSED));
        return 0;
    }
    return Default();
}

void CCheckListCtrl::CheckAlone(int row) {
    if (row < 0 || row >= GetItemCount() || GetItemData(row) == 0) return;
    for (int i = 0; i < GetItemCount(); ++i) SetCheck(i, false);
    SetCheck(row, true);
    ::PostMessageW(GetParent(), UWM_CHECKLIST_CHECKED, static_cast<WPARAM>(row), 0);
}

void CCheckListCtrl::OnIgnoredMouseButton(UINT, POINT) {}
