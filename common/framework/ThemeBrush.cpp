#include "common/framework/ThemeBrush.h"

namespace {

using IsAppThemedFn = BOOL(WINAPI*)();

}  // namespace

void CThemeBrush::Refresh(HWND page, HWND tab) {
    const UniqueModule uxtheme(::LoadLibraryW(L"UxTheme.dll"));
    if (uxtheme) {
        const auto isAppThemed =
            reinterpret_cast<IsAppThemedFn>(reinterpret_cast<void*>(::GetProcAddress(uxtheme.get(), "IsAppThemed")));
        if (isAppThemed) m_themed = isAppThemed() != FALSE;
    }
    m_brush.reset();
    if (!m_themed || !tab) return;

    RECT whole{};
    if (!::GetWindowRect(::GetAncestor(tab, GA_ROOT), &whole)) return;
    const int width = whole.right - whole.left;
    const int height = whole.bottom - whole.top;
    if (width <= 0 || height <= 0) return;
    const WindowDc pageDc(page);
    if (!pageDc) return;
    const UniqueDc memory(::CreateCompatibleDC(pageDc.get()));
    const UniqueGdiObject bitmap(::CreateCompatibleBitmap(pageDc.get(), width, height));
    if (!memory || !bitmap) return;
    {
        const SelectedObject selected(memory.get(), bitmap.get());
        ::SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()),
                       PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    }
    m_brush.reset(::CreatePatternBrush(static_cast<HBITMAP>(bitmap.get())));
}

HBRUSH CThemeBrush::ForControl(HDC dc, HWND control, HWND tab) const {
    if (!m_themed || !m_brush || !tab) return nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&rect), 2);
    ::SetBrushOrgEx(dc, -rect.left, -rect.top, nullptr);
    return Brush();
}
