#pragma once
// A report-view list drawn with a text colour of each cell's own: its parent answers the list's NM_CUSTOMDRAW
// with DrawCellColours, and every row and every cell is announced to it.
#include <windows.h>
#include <commctrl.h>

#include <functional>

// The text colour of the cell in `row` and `column`.
using CellColour = std::function<COLORREF(int row, int column)>;

// The answer to one NM_CUSTOMDRAW of a list view: each cell takes the text colour `textColour` gives it, on
// white. Gives the result the notification returns.
LRESULT DrawCellColours(NMHDR* header, const CellColour& textColour);
