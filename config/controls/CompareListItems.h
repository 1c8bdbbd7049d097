#pragma once
// The sort order of the configuration program's lists: the natural order (NaturalCompare) of the rows'
// first-column texts in the ANSI code page.
#include <windows.h>

// The PFNLVCOMPARE of LVM_SORTITEMS: lParam1 and lParam2 are the item data of two rows, lParamSort the
// CListCtrl being sorted. Every row of a list sorted with it carries item data of its own, by which it is
// found; a row that is not found compares as an empty text.
int CALLBACK CompareListItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);
