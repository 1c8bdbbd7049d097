#pragma once
// What the two list controls share: finding the cell under a point, and how a cell editor reports the end of
// its edit to the list it lies over.
#include <windows.h>

#include <string>

#include "common/framework/Controls.h"

// A cell of a report view.
struct CellHit {
    int row = -1;
    int column = -1;
};

// The cell of `list` under `point` (client coordinates). False unless the list is a report view, the point lies
// in a row's bounds and some column, from the left, spans it (both ends included); `hit.row` is then set anyway
// (-1 when no row is there).
bool HitTestListCell(const CListCtrl& list, POINT point, CellHit& hit);

// Sends the end of an edit as the list view's own LVN_ENDLABELEDITW to `list` (the editor's parent), with the
// editor's control id and the cell's new text, then posts WM_CLOSE to the editor, which ends its window.
void ReportCellEditEnded(HWND editor, HWND list, int row, int column, std::wstring text);
