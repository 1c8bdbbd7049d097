#include "common/ui/DialogLayout.h"

#include <vector>

namespace {

bool IsComboBox(HWND control) {
    wchar_t name[16] = {};
    const int n = ::GetClassNameW(control, name, static_cast<int>(sizeof(name) / sizeof(name[0])));
    return n > 0 && ::CompareStringOrdinal(name, n, L"ComboBox", -1, TRUE) == CSTR_EQUAL;
}

LayoutRect ToLayoutRect(const RECT& r) {
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

}  // namespace

bool IsGroupLineMarker(HWND control) {
    static const wchar_t kMarker[] = L"CGroupLine";
    // One unit more than the marker, so a longer text never compares equal after truncation.
    wchar_t text[sizeof(kMarker) / sizeof(kMarker[0]) + 1] = {};
    if (::GetWindowTextW(control, text, static_cast<int>(sizeof(text) / sizeof(text[0]))) <= 0) return false;
    return ::wcscmp(text, kMarker) == 0;
}

void GetClientRectWithScrollBars(HWND dialog, RECT& rect) {
    RECT window = {};
    RECT client = {};
    rect = RECT{};
    if (!::GetClientRect(dialog, &client) || !::GetWindowRect(dialog, &window)) return;
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&window), 2);
    const LayoutRect r = zlayout::ClientRectWithScrollBars(ToLayoutRect(window), ToLayoutRect(client),
                                                           ::GetSystemMetrics(SM_CXVSCROLL),
                                                           ::GetSystemMetrics(SM_CYHSCROLL));
    rect = RECT{r.left, r.top, r.right, r.bottom};
}

bool CDialogLayout::SetControlRules(const LayoutRow* rows, size_t count) {
    bool all = true;
    for (size_t i = 0; i < count; ++i) {
        HWND control = m_dialog ? ::GetDlgItem(m_dialog, rows[i].id) : nullptr;
        all = SetControlRule(MakeLayoutRule(rows[i]), control) && all;
    }
    return all;
}

void CDialogLayout::SetBaseSize(int width, int height) {
    m_settings.baseWidth = width;
    m_settings.baseHeight = height;
}

void CDialogLayout::SetMinimumSize(int width, int height) {
    m_settings.minWidth = width;
    m_settings.minHeight = height;
}

bool CDialogLayout::AddAllControls() {
    if (m_dialog == nullptr) return false;
    for (HWND child = ::GetWindow(m_dialog, GW_CHILD); ::IsWindow(child); child = ::GetWindow(child, GW_HWNDNEXT)) {
        AddControl(child);
    }
    return true;
}

bool CDialogLayout::AddControl(HWND control) { return SetControlRule(LayoutRule(), control); }

bool CDialogLayout::SetControlRule(const LayoutRule& rule, HWND control) {
    if (m_dialog == nullptr || !::IsWindow(control) || IsGroupLineMarker(control)) return false;
    LayoutRule copy = rule;
    if (copy.rect.Width() < 1 || copy.rect.Height() < 1) {
        RECT r = {};
        if (!::GetWindowRect(control, &r)) return false;
        ::MapWindowPoints(HWND_DESKTOP, m_dialog, reinterpret_cast<POINT*>(&r), 2);
        if (IsComboBox(control)) {
            // The result of this message differs between systems; the rectangle tells.
            RECT dropped = {};
            ::SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            if (dropped.bottom > dropped.top) r.bottom += dropped.bottom - dropped.top;
        }
        copy.rect = ToLayoutRect(r);
    }
    m_rules[control] = copy;
    return true;
}

void CDialogLayout::OnSize(UINT type, int cx, int cy) {
    if (m_dialog == nullptr || !::IsWindow(m_dialog)) return;
    if (type != SIZE_RESTORED && type != SIZE_MAXIMIZED) return;
    if (cx <= 0 || cy <= 0) return;
    RECT client = {};
    GetClientRectWithScrollBars(m_dialog, client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (!zlayout::ResizeStepAllowsLayout(m_resizeStep, m_lastWidth, m_lastHeight, width, height)) return;
    Relayout(width, height);
    m_lastWidth = width;
    m_lastHeight = height;
}

void CDialogLayout::Relayout(int width, int height) {
    if (m_rules.empty() || m_dialog == nullptr || !::IsWindow(m_dialog)) return;
    std::vector<HWND> controls;
    std::vector<zlayout::LayoutItem> items;
    controls.reserve(m_rules.size());
    items.reserve(m_rules.size());
    for (const auto& entry : m_rules) {
        controls.push_back(entry.first);
        items.push_back({entry.second, IsComboBox(entry.first)});
    }
    zlayout::LayoutClient client;
    client.width = width;
    client.height = height;
    client.scrollX = ::GetScrollPos(m_dialog, SB_HORZ);
    client.scrollY = ::GetScrollPos(m_dialog, SB_VERT);
    for (const zlayout::LayoutMove& move : zlayout::PlanLayout(m_settings, items, client)) {
        const zlayout::LayoutPlace& p = move.place;
        ::SetWindowPos(controls[move.index], nullptr, p.x, p.y, p.width, p.height, SWP_NOACTIVATE | SWP_NOZORDER);
    }
}

const LayoutRule* CDialogLayout::FindRule(HWND control) const {
    const auto it = m_rules.find(control);
    return it == m_rules.end() ? nullptr : &it->second;
}
