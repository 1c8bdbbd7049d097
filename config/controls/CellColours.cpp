#include "config/controls/CellColours.h"

namespace {

constexpr COLORREF kCellBackground = RGB(255, 255, 255);

}  // namespace

LRESULT DrawCellColours(NMHDR* header, const CellColour& textColour) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            draw->clrText = textColour(static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem);
            draw->clrTextBk = kCellBackground;
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}
