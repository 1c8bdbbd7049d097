#pragma once
// The sort order of the configuration program's lists: the natural order (NaturalCompare) of the rows'
// first-column texts in the ANSI code page.
#include <windows.h>

#include <string>
#include <unordered_map>

class CListCtrl;

// The first-column texts of a list's rows by their item data, read before a sort: while LVM_SORTITEMS runs the
// list's rows are in flux, and the comparison must not ask the list for them.
class CListSortTexts {
public:
    explicit CListSortTexts(const CListCtrl& list);
    // The text of the row with this item data; empty for none.
    const std::string& Find(LPARAM data) const;

private:
    std::unordered_map<LPARAM, std::string> m_texts;
};

// The PFNLVCOMPARE of LVM_SORTITEMS: lParam1 and lParam2 are the item data of two rows, lParamSort the
// CListSortTexts of the list being sorted. Every row of a list sorted with it carries item data of its own, by
// which it is found; a row that is not found compares as an empty text.
int CALLBACK CompareListItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

// Sorts the list's rows with CompareListItems; false when the list refuses.
bool SortListItems(const CListCtrl& list);
