#include "config/controls/ListCells.h"

#include <commctrl.h>

bool HitTestListCell(const CListCtrl& list, POINT point, CellHit& hit) {
    LVHITTESTINFO info{};
    info.pt = point;
    hit.row = static_cast<int>(list.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    hit.column = -1;
    if ((list.GetStyle() & LVS_TYPEMASK) != LVS_REPORT) return false;
    RECT bounds{};
    if (hit.row < 0 || !list.GetItemRect(hit.row, &bounds, LVIR_BOUNDS)) return false;
    if (point.x < bounds.left || point.x > bounds.right || point.y < bounds.top || point.y > bounds.bottom) {
        return false;
    }
    const int columns = static_cast<int>(::SendMessageW(list.GetHeaderCtrl(), HDM_GETITEMCOUNT, 0, 0));
    int left = bounds.left;
    for (int column = 0; column < columns; ++column) {
        const int width = list.GetColumnWidth(column);
        if (point.x >= left && point.x <= left + width) {
            hit.column = column;
            return true;
        }
        left += width;
    }
    return false;
}

void ReportCellEditEnded(HWND editor, HWND list, int row, int column, std::wstring text) {
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = list;
    info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(editor));
    info.hdr.code = LVN_ENDLABELEDITW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row;
    info.item.iSubItem = column;
    info.item.pszText = text.data();
    info.item.cchTextMax = static_cast<int>(text.size());
    ::SendMessageW(list, WM_NOTIFY, static_cast<WPARAM>(::GetDlgCtrlID(list)), reinterpret_cast<LPARAM>(&info));
    ::PostMessageW(editor, WM_CLOSE, 0, 0);
}
