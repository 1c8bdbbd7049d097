#include "tests/support/LayoutCheck.h"

#include "common/base/UniqueHandle.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"

namespace ztest {

SIZE TextExtent(const std::wstring& text, int wrapWidth, int points) {
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(points, ::GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy(font.lfFaceName, L"MS Shell Dlg");
    UniqueGdiObject handle(::CreateFontIndirectW(&font));
    HGDIOBJ old = ::SelectObject(dc.get(), handle.get());
    RECT need{0, 0, wrapWidth, 0};
    const UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    ::DrawTextW(dc.get(), text.c_str(), -1, &need, format);
    ::SelectObject(dc.get(), old);
    return SIZE{need.right - need.left, need.bottom - need.top};
}

std::vector<std::string> LayoutFaults(HWND dialog, int fontPoints) {
    struct Item {
        int id;
        RECT rect;
        bool container;
    };
    std::vector<Item> items;
    std::vector<std::string> faults;
    RECT client{};
    ::GetClientRect(dialog, &client);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        const int id = ::GetDlgCtrlID(child);
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
        const std::wstring cls = ClassOf(child);
        const bool button = cls == L"Button";
        const bool group = button && (style & BS_TYPEMASK) == BS_GROUPBOX;
        items.push_back({id, rect, group || cls == L"SysTabControl32" || IsDialog(child)});
        const std::string name = std::to_string(id);
        if (rect.left < client.left || rect.top < client.top || rect.right > client.right ||
            rect.bottom > client.bottom) {
            faults.push_back(name + " lies outside the window");
        }

        const std::wstring text = WindowText(child);
        if (text.empty() || (!button && cls != L"Static")) continue;
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        SIZE need{};
        if (cls == L"Static" && !(style & SS_CENTERIMAGE)) {
            need = TextExtent(text, width, fontPoints);
        } else {
            need = TextExtent(text, 0, fontPoints);
        }
        if (button) {
            const DWORD type = style & BS_TYPEMASK;
            if (type == BS_GROUPBOX) {
                need.cx += 16;  // the frame's corner on each side of the caption
            } else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
                       type == BS_RADIOBUTTON) {
                need.cx += ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
            } else {
                need.cx += 8;  // frame and focus rectangle
                need.cy += 4;
            }
        }
        if (need.cx > width || need.cy > height) {
            faults.push_back(name + " needs " + std::to_string(need.cx) + "x" + std::to_string(need.cy) + " for \"" +
                             U(text) + "\" and has " + std::to_string(width) + "x" + std::to_string(height));
        }
    }
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t j = i + 1; j < items.size(); ++j) {
            RECT both{};
            if (items[i].container || items[j].container) continue;
            if (::IntersectRect(&both, &items[i].rect, &items[j].rect)) {
                faults.push_back(std::to_string(items[i].id) + " overlaps " + std::to_string(items[j].id));
            }
        }
    }
    return faults;
}

}  // namespace ztest
