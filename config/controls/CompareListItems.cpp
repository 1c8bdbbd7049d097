#include "config/controls/CompareListItems.h"

#include "common/framework/Controls.h"
#include "common/text/Utf.h"
#include "config/controls/NaturalCompare.h"

CListSortTexts::CListSortTexts(const CListCtrl& list) {
    const int count = list.GetItemCount();
    m_texts.reserve(static_cast<size_t>(count > 0 ? count : 0));
    // Rows that share item data compare by the first one's text, as a search from the top finds it.
    for (int row = 0; row < count; ++row) {
        m_texts.try_emplace(list.GetItemData(row), WideToAnsi(list.GetItemText(row, 0)));
    }
}

const std::string& CListSortTexts::Find(LPARAM data) const {
    static const std::string none;
    const auto found = m_texts.find(data);
    return found == m_texts.end() ? none : found->second;
}

int CALLBACK CompareListItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort) {
    const auto* texts = reinterpret_cast<const CListSortTexts*>(lParamSort);
    return NaturalCompare(texts->Find(lParam1), texts->Find(lParam2));
}

bool SortListItems(const CListCtrl& list) {
    const CListSortTexts texts(list);
    return list.SortItems(&CompareListItems, reinterpret_cast<LPARAM>(&texts));
}
