#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "common/ui/DialogLayout.h"

namespace {

constexpr wchar_t kClass[] = L"ZorvaneLayoutTestWindow";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
using V = LayoutRuleValue;

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = ::DefWindowProcW(hwnd, msg, wp, lp);
    auto* layout = reinterpret_cast<CDialogLayout*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_SIZE && layout != nullptr) layout->OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
    return result;
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

RECT PlaceOf(HWND control) {
    RECT r = {};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " + std::to_string(r.right - r.left) +
           " x " + std::to_string(r.bottom - r.top);
}

// A resizable top-level window standing in for a dialog; its WM_SIZE drives the engine.
class TestWindow {
public:
    TestWindow() {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClass;
        ::RegisterClassExW(&wc);
        m_hwnd = ::CreateWindowExW(0, kClass, L"Layout test", kStyle, 0, 0, 300, 200, nullptr, nullptr, wc.hInstance,
                                   nullptr);
        layout.SetDialog(m_hwnd);
        layout.SetBaseSize(100, 100);
    }
    ~TestWindow() {
        ::DestroyWindow(m_hwnd);
        Pump();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }

    HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h) {
        return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hwnd, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }
    void Give(HWND control, std::initializer_list<std::pair<V, int>> values) {
        LayoutRule rule;
        for (const auto& v : values) rule.SetValue(v.first, v.second);
        EXPECT_TRUE(layout.SetControlRule(rule, control));
    }
    // From here on WM_SIZE reaches the engine.
    void Attach() { ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&layout)); }

    // Resizes the window so that its client area is w x h; gives the client size it got.
    SIZE SetClientSize(int w, int h) {
        RECT r = {0, 0, w, h};
        ::AdjustWindowRectEx(&r, kStyle, FALSE, 0);
        ::SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        return ClientSize();
    }
    SIZE ClientSize() const {
        RECT c = {};
        ::GetClientRect(m_hwnd, &c);
        return {c.right, c.bottom};
    }

    CDialogLayout layout;

private:
    HWND m_hwnd = nullptr;
};

int Scaled(int v, int size) { return v * size / 100; }

TEST(DialogLayoutWindow, ControlsLandWhereTheirRulesSay) {
    TestWindow window;
    HWND fill = window.Add(L"EDIT", L"", WS_BORDER, 5, 5, 15, 15);
    HWND scaled = window.Add(L"STATIC", L"scaled", 0, 5, 5, 20, 10);
    HWND button = window.Add(L"BUTTON", L"OK", BS_PUSHBUTTON, 0, 0, 10, 10);
    HWND right = window.Add(L"STATIC", L"right half", 0, 0, 0, 10, 10);
    HWND marker = window.Add(L"STATIC", L"CGroupLine", 0, 1, 1, 8, 2);
    HWND lower = window.Add(L"STATIC", L"cgroupline", 0, 2, 2, 10, 5);
    HWND combo = window.Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 30, 5, 40, 100);
    ASSERT_TRUE(window.layout.AddAllControls());
    window.Give(fill, {{V::LeftAnchor, 10}, {V::TopAnchor, 10}, {V::RightAnchor, 10}, {V::BottomAnchor, 10}});
    window.Give(button, {{V::MinWidth, 100}, {V::MaxWidth, 100}, {V::MinHeight, 25}, {V::MaxHeight, 25},
                         {V::TopAnchor, 0}, {V::BottomAnchor, 20}, {V::LeftAnchor, 0}, {V::RightAnchor, 0},
                         {V::CenterX, 50}});
    window.Give(right, {{V::LeftAnchor, 45}, {V::LeftReference, 50}, {V::RightAnchor, 20}, {V::TopAnchor, 30},
                        {V::MinHeight, 20}, {V::MaxHeight, 20}});
    window.Give(combo, {{V::LeftAnchor, 10}, {V::MinWidth, 100}, {V::MaxWidth, 100}});
    window.Attach();
    ::ShowWindow(window.hwnd(), SW_SHOWNORMAL);
    Pump();

    const RECT markerPlace = PlaceOf(marker);
    const auto check = [&](const char* when, int W, int H) {
        const struct {
            const char* name;
            HWND control;
            RECT expected;
        } rows[] = {
            {"four anchors", fill, {10, 10, W - 10, H - 10}},
            {"no rule: scaled", scaled, 
             {Scaled(5, W), Scaled(5, H), Scaled(5, W) + Scaled(20, W), Scaled(5, H) + Scaled(10, H)}},
            {"button centred at the bottom", button, {W / 2 - 50, H - 45, W / 2 + 50, H - 20}},
            {"right of the middle line", right, {W / 2 + 45, 30, W - 20, 50}},
            {"marker never moves", marker, markerPlace},
            {"other letter case scales", lower, 
             {Scaled(2, W), Scaled(2, H), Scaled(2, W) + Scaled(10, W), Scaled(2, H) + Scaled(5, H)}},
        };
        for (const auto& r : rows) {
            const RECT got = PlaceOf(r.control);
            EXPECT_TRUE(::EqualRect(&got, &r.expected))
                << when << ", " << r.name << ": got " << Show(got) << ", expected " << Show(r.expected);
        }
        const RECT c = PlaceOf(combo);  // its height is the closed height, whatever the rule says
        EXPECT_EQ(std::make_pair(c.left, c.right), std::make_pair(10L, 110L)) << when;
    };

    SIZE client = window.SetClientSize(400, 300);
    ASSERT_TRUE(client.cx == 400 && client.cy == 300);
    check("400 x 300", 400, 300);
    client = window.SetClientSize(640, 480);
    ASSERT_TRUE(client.cx == 640 && client.cy == 480);
    check("640 x 480", 640, 480);

    // A scroll bar takes client area but does not change the layout; minimising changes nothing.
    ::ShowScrollBar(window.hwnd(), SB_VERT, TRUE);
    Pump();
    EXPECT_LT(window.ClientSize().cx, 640);
    check("with a scroll bar", 640, 480);
    ::ShowScrollBar(window.hwnd(), SB_VERT, FALSE);
    ::ShowWindow(window.hwnd(), SW_MINIMIZE);
    Pump();
    check("minimised", 640, 480);
    ::ShowWindow(window.hwnd(), SW_RESTORE);
    Pump();
    check("restored", 640, 480);

    // Only restored and maximised sizes above 0 lay out: a control moved aside stays there otherwise.
    const struct {
        UINT type;
        int cx, cy;
        bool layout;
    } sizes[] = {{SIZE_MINIMIZED, 640, 480, false}, {SIZE_MAXHIDE, 640, 480, false}, {SIZE_RESTORED, 0, 480, false},
                 {SIZE_RESTORED, 640, -1, false},   {SIZE_RESTORED, 1, 1, true},      {SIZE_MAXIMIZED, 640, 480, true}};
    for (const auto& s : sizes) {
        ::SetWindowPos(fill, nullptr, 1, 1, 5, 5, SWP_NOZORDER | SWP_NOACTIVATE);
        window.layout.OnSize(s.type, s.cx, s.cy);
        EXPECT_EQ(PlaceOf(fill).left, s.layout ? 10 : 1) << "type " << s.type << ", " << s.cx << " x " << s.cy;
    }
}

TEST(DialogLayoutWindow, SmallChangesWaitForTheResizeStep) {
    TestWindow window;
    HWND fill = window.Add(L"STATIC", L"fill", 0, 5, 5, 10, 10);
    window.layout.SetResizeStep(5);
    window.Give(fill, {{V::LeftAnchor, 10}, {V::RightAnchor, 10}});
    window.Attach();
    // client width -> control width (client width - 20 once laid out)
    const std::pair<int, int> steps[] = {{400, 380}, {403, 380}, {406, 386}, {409, 386}, {411, 386}, {412, 392}};
    for (const auto& s : steps) {
        ASSERT_EQ(window.SetClientSize(s.first, 300).cx, s.first);
        const RECT r = PlaceOf(fill);
        EXPECT_EQ(r.right - r.left, s.second) << "client width " << s.first;
    }
}

TEST(DialogLayoutWindow, RegistrationRefusesWhatItMustNotMove) {
    TestWindow window;
    HWND plain = window.Add(L"STATIC", L"plain", 0, 1, 2, 30, 40);
    CDialogLayout unbound;
    EXPECT_FALSE(unbound.AddControl(plain));
    EXPECT_FALSE(unbound.AddAllControls());
    HWND gone = window.Add(L"STATIC", L"gone", 0, 0, 0, 5, 5);
    ::DestroyWindow(gone);
    EXPECT_FALSE(window.layout.AddControl(gone));

    const std::pair<const wchar_t*, bool> rows[] = {{L"CGroupLine", false}, {L"cgroupline", true},
                                                    {L"CGroupLine ", true}, {L"CGroupLineX", true},
                                                    {L"CGroupLin", true},   {L"", true}};
    for (const auto& r : rows) {
        HWND control = window.Add(L"STATIC", r.first, 0, 1, 2, 30, 40);
        EXPECT_EQ(window.layout.AddControl(control), r.second) << r.first;
        EXPECT_EQ(window.layout.FindRule(control) != nullptr, r.second) << r.first;
    }

    // Reference rectangles: the rule's own, else the control's place; a combo box's counts dropped down.
    LayoutRule own;
    own.rect = {7, 8, 9, 10};
    ASSERT_TRUE(window.layout.SetControlRule(own, plain));
    EXPECT_EQ(window.layout.FindRule(plain)->rect.left, 7);
    ASSERT_TRUE(window.layout.AddControl(plain));  // a later rule replaces the earlier one
    EXPECT_EQ(window.layout.FindRule(plain)->rect.bottom, 42);
    HWND combo = window.Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 30, 5, 40, 100);
    ASSERT_TRUE(window.layout.AddControl(combo));
    RECT dropped = {};
    ::SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(window.layout.FindRule(combo)->rect.bottom, PlaceOf(combo).bottom + dropped.bottom - dropped.top);

    window.layout.RemoveAll();
    EXPECT_EQ(window.layout.FindRule(plain), nullptr);
}

}  // namespace
