#pragma once
// The visual-style background of a tab control as a pattern brush, for the child dialogs laid over the tab
// (the configuration program's pages): a page that answers its control colour messages with it shows the
// tab's texture under its own background, its labels, check boxes and group boxes without a seam.
#include <windows.h>

#include "common/base/UniqueHandle.h"

class CThemeBrush {
public:
    CThemeBrush() = default;
    CThemeBrush(const CThemeBrush&) = delete;
    CThemeBrush& operator=(const CThemeBrush&) = delete;

    // Asks UxTheme.dll (loaded for the call only) whether the program is themed; when the library or its
    // IsAppThemed is missing the last answer stays (not themed at first). The old brush goes. When themed,
    // `tab` is printed (WM_PRINTCLIENT: frame, client and background) into a bitmap of its top-level window's
    // size, compatible with `page`'s device context, and the brush is made from that bitmap.
    void Refresh(HWND page, HWND tab);

    bool Themed() const { return m_themed; }
    // Null while not themed, or when the bitmap could not be made.
    HBRUSH Brush() const { return static_cast<HBRUSH>(m_brush.get()); }

    // The answer to a WM_CTLCOLOR* message of `control` (a page's control, or the page itself) while themed:
    // transparent background mode on `dc`, the brush origin moved so that the brush lines up with the tab
    // under the control, and the brush. Null when there is no brush: the caller keeps the default colours.
    HBRUSH ForControl(HDC dc, HWND control, HWND tab) const;

private:
    bool m_themed = false;
    UniqueGdiObject m_brush;
};
