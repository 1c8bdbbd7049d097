#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "common/ui/DialogLayout.h"

namespace {

constexpr wchar_t kClass[] = L"ZorvaneLayoutTestWindow";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE) {
        const LRESULT result = ::DefWindowProcW(hwnd, msg, wp, lp);
        auto* layout = reinterpret_cast<CDialogLayout*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (layout != nullptr) layout->OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        return result;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
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

// A resizable top-level window standing in for a dialog, whose WM_SIZE drives the engine.
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
        m_hwnd = ::CreateWindowExW(0, kClass, L"Layout test", kStyle, 0, 0, 300, 200, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~TestWindow() {
        if (m_hwnd) ::DestroyWindow(m_hwnd);
        Pump();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }

    HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h) {
        return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hwnd, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }

    void Attach(CDialogLayout* layout) { ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(layout)); }

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

private:
    HWND m_hwnd = nullptr;
};

int Scaled(int v, int size) { return static_cast<int>(v * (size / 100.0)); }

TEST(DialogLayoutWindow, ControlsLandWhereTheirRulesSay) {
    TestWindow window;
    ASSERT_NE(window.hwnd(), nullptr);
    HWND fill = window.Add(L"EDIT", L"", WS_BORDER, 5, 5, 15, 15);
    HWND scaled = window.Add(L"STATIC", L"scaled", 0, 5, 5, 20, 10);
    HWND button = window.Add(L"BUTTON", L"OK", BS_PUSHBUTTON, 0, 0, 10, 10);
    HWND right = window.Add(L"STATIC", L"right half", 0, 0, 0, 10, 10);
    HWND marker = window.Add(L"STATIC", L"CGroupLine", 0, 1, 1, 8, 2);
    HWND lower = window.Add(L"STATIC", L"cgroupline", 0, 2, 2, 10, 5);
    HWND combo = window.Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 30, 5, 40, 100);
    for (HWND h : {fill, scaled, button, right, marker, lower, combo}) ASSERT_NE(h, nullptr);

    CDialogLayout layout;
    layout.SetDialog(window.hwnd());
    layout.SetMode(CDialogLayout::ModeScale);
    layout.SetBaseSize(100, 100);
    ASSERT_TRUE(layout.AddAllControls());
    using V = LayoutRuleValue;
    const auto give = [&](HWND control, std::initializer_list<std::pair<V, int>> values) {
        LayoutRule rule;
        for (const auto& v : values) rule.SetValue(v.first, v.second);
        ASSERT_TRUE(layout.SetControlRule(rule, control));
    };
    give(fill, {{V::LeftAnchor, 10}, {V::TopAnchor, 10}, {V::RightAnchor, 10}, {V::BottomAnchor, 10}});
    give(button, {{V::MinWidth, 100}, {V::MaxWidth, 100}, {V::MinHeight, 25}, {V::MaxHeight, 25}, {V::TopAnchor, 0},
                  {V::BottomAnchor, 20}, {V::LeftAnchor, 0}, {V::RightAnchor, 0}, {V::CenterX, 50}});
    give(right, {{V::LeftAnchor, 45}, {V::LeftReference, 50}, {V::RightAnchor, 20}, {V::TopAnchor, 30},
                 {V::MinHeight, 20}, {V::MaxHeight, 20}});
    give(combo, {{V::LeftAnchor, 10}, {V::MinWidth, 100}, {V::MaxWidth, 100}});
    window.Attach(&layout);
    ::ShowWindow(window.hwnd(), SW_SHOWNORMAL);
    Pump();

    const RECT markerPlace = PlaceOf(marker);
    const auto check = [&](const char* when) {
        const SIZE c = window.ClientSize();
        const int W = c.cx;
        const int H = c.cy;
        const struct {
            const char* name;
            HWND control;
            RECT expected;  // left, top, right, bottom
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
            EXPECT_TRUE(EqualRect(&got, &r.expected))
                << when << ", " << r.name << ": got " << Show(got) << ", expected " << Show(r.expected);
        }
        const RECT c2 = PlaceOf(combo);  // a combo box's own height is its closed height
        EXPECT_EQ(c2.left, 10) << when;
        EXPECT_EQ(c2.right - c2.left, 100) << when;
    };

    SIZE got = window.SetClientSize(400, 300);
    ASSERT_EQ(got.cx, 400);
    ASSERT_EQ(got.cy, 300);
    check("400 x 300");
    got = window.SetClientSize(640, 480);
    ASSERT_EQ(got.cx, 640);
    ASSERT_EQ(got.cy, 480);
    check("640 x 480");

    // A scroll bar takes client area but does not change the layout.
    const RECT before = PlaceOf(fill);
    ::ShowScrollBar(window.hwnd(), SB_VERT, TRUE);
    Pump();
    EXPECT_LT(window.ClientSize().cx, 640);
    const RECT withBar = PlaceOf(fill);
    EXPECT_TRUE(EqualRect(&before, &withBar)) << "with a scroll bar: " << Show(withBar);
    ::ShowScrollBar(window.hwnd(), SB_VERT, FALSE);
    Pump();

    // Minimising leaves every control where it is.
    ::ShowWindow(window.hwnd(), SW_MINIMIZE);
    Pump();
    const RECT minimised = PlaceOf(fill);
    EXPECT_TRUE(EqualRect(&before, &minimised)) << "minimised: " << Show(minimised);
    ::ShowWindow(window.hwnd(), SW_RESTORE);
    Pump();
    check("restored");
}

TEST(DialogLayoutWindow, SmallChangesWaitForTheResizeStep) {
    TestWindow window;
    HWND fill = window.Add(L"STATIC", L"fill", 0, 5, 5, 10, 10);
    CDialogLayout layout;
    layout.SetDialog(window.hwnd());
    layout.SetBaseSize(100, 100);
    layout.SetResizeStep(5);
    ASSERT_TRUE(layout.AddAllControls());
    LayoutRule rule;
    rule.SetValue(LayoutRuleValue::LeftAnchor, 10);
    rule.SetValue(LayoutRuleValue::RightAnchor, 10);
    ASSERT_TRUE(layout.SetControlRule(rule, fill));
    window.Attach(&layout);

    const struct {
        int width;
        int expectedWidth;  // of the control: client width - 20 once laid out
    } steps[] = {{400, 380}, {403, 380}, {406, 386}, {409, 386}, {411, 386}, {412, 392}, {400, 380}};
    for (const auto& s : steps) {
        ASSERT_EQ(window.SetClientSize(s.width, 300).cx, s.width);
        const RECT r = PlaceOf(fill);
        EXPECT_EQ(r.right - r.left, s.expectedWidth) << "client width " << s.width;
    }
}

TEST(DialogLayoutWindow, RegistrationRefusesWhatItMustNotMove) {
    TestWindow window;
    CDialogLayout layout;
    HWND plain = window.Add(L"STATIC", L"plain", 0, 1, 2, 30, 40);
    EXPECT_FALSE(layout.AddControl(plain)) << "no dialog yet";
    EXPECT_FALSE(layout.AddAllControls()) << "no dialog yet";
    layout.OnSize(SIZE_RESTORED, 400, 300);  // no dialog: nothing happens

    layout.SetDialog(window.hwnd());
    HWND gone = window.Add(L"STATIC", L"gone", 0, 0, 0, 5, 5);
    ::DestroyWindow(gone);
    EXPECT_FALSE(layout.AddControl(gone)) << "not a window";
    EXPECT_EQ(layout.FindRule(gone), nullptr);

    const struct {
        const wchar_t* text;
        bool registered;
    } rows[] = {{L"CGroupLine", false}, {L"cgroupline", true}, {L"CGROUPLINE", true}, {L"CGroupLine ", true},
                {L"CGroupLineX", true}, {L"CGroupLin", true},  {L"", true}};
    for (const auto& r : rows) {
        HWND control = window.Add(L"STATIC", r.text, 0, 1, 2, 30, 40);
        EXPECT_EQ(IsGroupLineMarker(control), !r.registered) << r.text;
        EXPECT_EQ(layout.AddControl(control), r.registered) << r.text;
        EXPECT_EQ(layout.FindRule(control) != nullptr, r.registered) << r.text;
    }

    // Reference rectangles: the rule's own, else the control's place; a combo box counts dropped down.
    LayoutRule own;
    own.rect = {7, 8, 9, 10};
    ASSERT_TRUE(layout.SetControlRule(own, plain));
    EXPECT_EQ(layout.FindRule(plain)->rect.left, 7);
    EXPECT_EQ(layout.FindRule(plain)->rect.bottom, 10);
    ASSERT_TRUE(layout.AddControl(plain));  // a later rule replaces the earlier one
    EXPECT_EQ(layout.FindRule(plain)->rect.left, 1);
    EXPECT_EQ(layout.FindRule(plain)->rect.bottom, 42);

    HWND combo = window.Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 30, 5, 40, 100);
    ASSERT_TRUE(layout.AddControl(combo));
    const RECT closed = PlaceOf(combo);
    RECT dropped = {};
    ::SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GT(dropped.bottom - dropped.top, closed.bottom - closed.top);
    EXPECT_EQ(layout.FindRule(combo)->rect.top, 5);
    EXPECT_EQ(layout.FindRule(combo)->rect.bottom, closed.bottom + (dropped.bottom - dropped.top));

    layout.RemoveAll();
    EXPECT_EQ(layout.FindRule(plain), nullptr);
    EXPECT_TRUE(layout.AddControl(plain));
}

}  // namespace
