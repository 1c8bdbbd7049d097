#include "config/controls/CompareListItems.h"

#include <string>

#include "common/framework/Controls.h"
#include "common/text/Utf.h"
#include "config/controls/NaturalCompare.h"

namespace {

std::string FirstColumnText(const CListCtrl& list, LPARAM data) {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = data;
    const int row = list.FindItem(find, -1);
    return row < 0 ? std::string() : WideToAnsi(list.GetItemText(row, 0));
}

}  // namespace

int CALLBACK CompareListItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort) {
    const auto* list = reinterpret_cast<const CListCtrl*>(lParamSort);
    return NaturalCompare(FirstColumnText(*list, lParam1), FirstColumnText(*list, lParam2));
}
