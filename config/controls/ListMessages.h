#pragma once
// The private messages between the configuration program's list controls and the page that holds them.
#include <windows.h>

#include <string>
#include <vector>

// Posted by a CCheckListCtrl to its parent when a click checked a row; wParam the row, lParam 0.
constexpr UINT UWM_CHECKLIST_CHECKED = WM_USER + 1001;
// Sent by a CComboListCtrl to its parent before a cell combo opens; wParam the column, lParam a ComboItems
// (empty) that the parent fills with the combo's entries in order. A list left empty gives a combo without
// entries.
constexpr UINT UWM_GET_COMBO_ITEMS = WM_APP + 1020;
// Sent by a CComboListCtrl to its parent once an edit of a cell ended, a cancelled one too; wParam the list's
// control id, lParam the NMLVDISPINFOW of the edit (the cell's row, column and new text).
constexpr UINT UWM_CELL_EDITED = WM_APP + 1021;

// The entries of a cell combo.
using ComboItems = std::vector<std::wstring>;
