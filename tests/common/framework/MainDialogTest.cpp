// A main dialog with a page inside it, as the configuration program will have them: the main dialog's duties,
// the second start, Tab across both dialogs, custom drawing answered by the page, and the typed handlers.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/framework/Controls.h"
#include "common/framework/MainDialog.h"
#include "tests/common/framework/TestDialogIds.h"

namespace {

const UINT kStart = WM_APP + 10;  // posted at WM_INITDIALOG: handled once the dialog shows
const UINT kStep = WM_APP + 11;
const COLORREF kItemBack = RGB(0, 200, 0);

HWND g_mainWnd = nullptr;  // stands for a program's shared-section variable

// "name 1 2 3": what a typed handler was given.
std::string Seen(const char* name, std::initializer_list<long> values) {
    std::string text = name;
    for (long value : values) text += " " + std::to_string(value);
    return text;
}

class ListPage : public CDialog {
public:
    ListPage() : CDialog(IDD_TEST_LIST_PAGE) {}
    CListCtrl list;
    int prepaints = 0;
    int itemPrepaints = 0;
    std::string seen;  // what the last typed handler was given
    HBRUSH brush = ::CreateSolidBrush(RGB(200, 210, 220));
    HDC lastDc = nullptr;

    ~ListPage() override { ::DeleteObject(brush); }
    void OnOK() override {}
    void OnCancel() override {}
    void DoDataExchange(CDataExchange* dx) override { dx->Bind(IDC_PAGE_LIST, list); }

protected:
    void DeclareMessageMap(MessageMap& map) override {
        CDialog::DeclareMessageMap(map);
        map.OnNotify(NM_CUSTOMDRAW, IDC_PAGE_LIST, &ListPage::OnCustomDraw);
        map.OnSize(&ListPage::OnSize);
        map.OnShowWindow(&ListPage::OnShowWindow);
        map.OnGetMinMaxInfo(&ListPage::OnGetMinMaxInfo);
        map.OnMouse(WM_RBUTTONUP, &ListPage::OnRButtonUp);
        map.OnChar(&ListPage::OnChar);
        map.OnKillFocus(&ListPage::OnKillFocus);
        map.OnCtlColor(&ListPage::OnCtlColor);
    }
    void OnCustomDraw(NMHDR* header, LRESULT* result) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            ++prepaints;
            *result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            ++itemPrepaints;
            draw->clrText = RGB(0, 0, 0);
            draw->clrTextBk = kItemBack;
            *result = CDRF_DODEFAULT;
        }
    }
    void OnSize(UINT type, int cx, int cy) { seen = Seen("size", {static_cast<long>(type), cx, cy}); }
    void OnShowWindow(BOOL show, UINT status) { seen = Seen("show", {show, static_cast<long>(status)}); }
    void OnGetMinMaxInfo(MINMAXINFO* info) {
        seen = Seen("minmax", {info->ptMaxSize.x});
        info->ptMinTrackSize = POINT{600, 560};
    }
    void OnRButtonUp(UINT flags, POINT point) { seen = Seen("mouse", {static_cast<long>(flags), point.x, point.y}); }
    void OnChar(UINT ch, UINT repeat, UINT flags) {
        seen = Seen("char", {static_cast<long>(ch), static_cast<long>(repeat), static_cast<long>(flags)});
    }
    void OnKillFocus(HWND newFocus) { seen = Seen("killfocus", {::GetDlgCtrlID(newFocus)}); }
    HBRUSH OnCtlColor(HDC dc, HWND control, CtlColor kind) {
        seen = Seen("ctlcolor", {static_cast<long>(kind), control == m_hWnd ? 0 : ::GetDlgCtrlID(control)});
        lastDc = dc;
        return brush;
    }
};

class TestMainDialog : public CMainDialog {
public:
    TestMainDialog() : CMainDialog(IDD_TEST_MAIN, g_mainWnd, IDI_TEST_ICON) {}
    ListPage page;
    bool mayShow = true;
    bool endAtStartUp = false;
    bool everShown = false;
    int secondStarts = 0;
    std::function<void(TestMainDialog&)> script;  // run once the dialog shows
    std::function<void(TestMainDialog&)> step;    // run on every kStep

    BOOL OnInitDialog() override {
        CMainDialog::OnInitDialog();
        page.Create(IDD_TEST_LIST_PAGE, this);
        page.MoveWindow(10, 130, 330, 150);
        page.ShowWindow(SW_SHOW);
        if (endAtStartUp) {
            EndAtStartUp();
            return TRUE;
        }
        PostMessage(kStart);
        return TRUE;
    }

protected:
    bool MayShow() const override { return mayShow; }
    void DeclareMessageMap(MessageMap& map) override {
        CMainDialog::DeclareMessageMap(map);
        map.OnMessage(kStart, &TestMainDialog::OnStart);
        map.OnMessage(kStep, &TestMainDialog::OnStep);
        map.OnMessage(UWM_SECOND_INSTANCE, &TestMainDialog::OnSecondInstance);
        map.OnMessage(WM_WINDOWPOSCHANGED, &TestMainDialog::OnWindowPosChanged);
    }
    LRESULT OnStart(WPARAM, LPARAM) {
        if (script) script(*this);
        return 0;
    }
    LRESULT OnStep(WPARAM, LPARAM) {
        if (step) step(*this);
        return 0;
    }
    LRESULT OnSecondInstance(WPARAM, LPARAM) {
        ++secondStarts;
        return 1;
    }
    LRESULT OnWindowPosChanged(WPARAM, LPARAM pos) {
        everShown = everShown || (reinterpret_cast<WINDOWPOS*>(pos)->flags & SWP_SHOWWINDOW) || IsWindowVisible();
        return Default();
    }
};

TEST(MainDialog, StaysHiddenUntilItMayShow) {
    const struct {
        const char* name;
        bool mayShow;
        bool allowLater;
        bool endAtStartUp;
        bool shownAtFirst, shownAtLast;
    } rows[] = {
        {"may show at once", true, false, false, true, true},
        {"hidden until allowed", false, true, false, false, true},
        {"never shows, however asked", false, false, false, false, false},
        {"ended at start-up never shows", true, false, true, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestMainDialog dialog;
        dialog.mayShow = row.mayShow;
        dialog.endAtStartUp = row.endAtStartUp;
        bool shownAtFirst = false;
        bool shownAtLast = false;
        dialog.script = [&](TestMainDialog& d) {
            for (int cmd : {SW_SHOW, SW_RESTORE, SW_SHOWNORMAL}) d.ShowWindow(cmd);
            d.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
            shownAtFirst = d.IsWindowVisible();
            if (row.allowLater) d.mayShow = true;
            d.ShowWindow(SW_SHOW);
            shownAtLast = d.IsWindowVisible();
            d.EndDialog(IDOK);
        };
        EXPECT_EQ(dialog.DoModal(), row.endAtStartUp ? IDCANCEL : IDOK);
        EXPECT_EQ(shownAtFirst, row.shownAtFirst);
        EXPECT_EQ(shownAtLast, row.shownAtLast);
        EXPECT_EQ(dialog.everShown, row.shownAtLast);
    }
}

TEST(MainDialog, ASecondStartFindsTheWindowInTheSharedVariableAndNotifiesOrRestoresIt) {
    const struct {
        const char* name;
        SecondStart how;
        int notices;
        bool restored;
    } rows[] = {
        {"tray: notify only", SecondStart::Notify, 1, false},
        {"configuration: bring to the front only", SecondStart::BringToFront, 0, true},
        {"sign-in: both", SecondStart::NotifyAndBringToFront, 1, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestMainDialog dialog;
        bool reached = false;
        bool restored = false;
        LRESULT icons[3] = {};
        dialog.script = [&](TestMainDialog& d) {
            icons[0] = d.SendMessage(WM_GETICON, ICON_BIG);
            icons[1] = d.SendMessage(WM_GETICON, ICON_SMALL);
            icons[2] = d.SendMessage(WM_QUERYDRAGICON);  // returned directly by the dialog procedure
            d.ShowWindow(SW_MINIMIZE);
            ::UpdateWindow(d.m_hWnd);  // the icon painted while minimised
            reached = CMainDialog::ReachFirstInstance(g_mainWnd, row.how);
            d.PostMessage(kStep);  // after the posted notice
        };
        dialog.step = [&](TestMainDialog& d) {
            restored = !::IsIconic(d.m_hWnd);
            d.EndDialog(IDOK);
        };
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(reached);
        EXPECT_EQ(dialog.secondStarts, row.notices);
        EXPECT_EQ(restored, row.restored);
        const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TEST_ICON));
        ASSERT_NE(icon, nullptr);
        for (LRESULT shown : icons) EXPECT_EQ(shown, reinterpret_cast<LRESULT>(icon));
    }
    EXPECT_EQ(g_mainWnd, nullptr) << "a later start would reach a window that is gone";
    EXPECT_FALSE(CMainDialog::ReachFirstInstance(g_mainWnd, SecondStart::NotifyAndBringToFront));
}

// Which dialog and control has the focus: "main 1001", "page 2002".
std::string FocusName(const TestMainDialog& d) {
    HWND focus = ::GetFocus();
    HWND parent = ::GetParent(focus);
    const char* owner = parent == d.page.m_hWnd ? "page " : parent == d.m_hWnd ? "main " : "? ";
    return owner + std::to_string(::GetDlgCtrlID(focus));
}

TEST(PageInsideMainDialog, TabGoesIntoThePageAndOutAgain) {
    const std::vector<std::string> expected = {
        "main 1", "main 2",                     // OK, Cancel
        "page 2001", "page 2002", "page 2003",  // into the page: edit, list, button
        "main 1001",                            // out again to the main dialog's first control
    };
    TestMainDialog dialog;
    std::vector<std::string> seen;
    bool started = false;
    dialog.script = [](TestMainDialog& d) {
        ::SetFocus(d.GetDlgItem(IDC_MAIN_BUTTON));
        d.PostMessage(kStep);
    };
    dialog.step = [&](TestMainDialog& d) {
        if (started) seen.push_back(FocusName(d));  // after one more Tab
        started = true;
        if (seen.size() >= expected.size()) {
            d.EndDialog(IDOK);
            return;
        }
        HWND focus = ::GetFocus();
        ::PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
        ::PostMessageW(focus, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001u));
        d.PostMessage(kStep);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(i < seen.size() ? seen[i] : "", expected[i]) << "after Tab " << i + 1;
    }
}

TEST(PageInsideMainDialog, CustomDrawResultsOfThePageReachItsList) {
    TestMainDialog dialog;
    COLORREF back = CLR_INVALID;
    dialog.script = [&back](TestMainDialog& d) {
        CListCtrl& list = d.page.list;
        list.InsertColumn(0, L"host", LVCFMT_LEFT, 150);
        for (int i = 0; i < 3; ++i) list.InsertItem(i, L"h" + std::to_wstring(i));
        list.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        // A point of the first item's label, right of its short text.
        RECT label{};
        list.GetItemRect(0, &label, LVIR_LABEL);
        const WindowDc dc(list.m_hWnd);
        back = ::GetPixel(dc.get(), label.right - 4, (label.top + label.bottom) / 2);
        d.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_GE(dialog.page.prepaints, 1);
    EXPECT_GE(dialog.page.itemPrepaints, 3) << "CDRF_NOTIFYITEMDRAW did not reach the list";
    EXPECT_EQ(back, kItemBack) << "the colour set at the item stage";
}

TEST(PageInsideMainDialog, TypedHandlersGetTheirArguments) {
    TestMainDialog dialog;
    struct Row {
        const char* name;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        std::string seen;
        LRESULT result;
    };
    std::vector<Row> rows;
    std::vector<std::string> seen;
    std::vector<LRESULT> results;
    MINMAXINFO limits{};
    limits.ptMaxSize = POINT{1024, 768};
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    dialog.script = [&](TestMainDialog& d) {
        ListPage& page = d.page;
        const LPARAM list = reinterpret_cast<LPARAM>(page.list.m_hWnd);
        const WPARAM dcArg = reinterpret_cast<WPARAM>(dc.get());
        const LRESULT brush = reinterpret_cast<LRESULT>(page.brush);
        rows = {
            {"WM_SIZE", WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200), "size 2 300 200", 0},
            {"WM_SHOWWINDOW", WM_SHOWWINDOW, TRUE, SW_PARENTOPENING, "show 1 3", 0},
            {"WM_GETMINMAXINFO", WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits), "minmax 1024", 0},
            {"mouse point left of and above the page", WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(-5, -7), "mouse 4 -5 -7", 0},
            {"WM_CHAR", WM_CHAR, L'a', MAKELPARAM(3, KF_REPEAT | 0x1E), "char 97 3 16414", 0},
            {"WM_KILLFOCUS", WM_KILLFOCUS, reinterpret_cast<WPARAM>(page.list.m_hWnd), 0, "killfocus 2002", 0},
            {"WM_CTLCOLORMSGBOX", WM_CTLCOLORMSGBOX, dcArg, list, "ctlcolor 0 2002", brush},
            {"WM_CTLCOLOREDIT", WM_CTLCOLOREDIT, dcArg, list, "ctlcolor 1 2002", brush},
            {"WM_CTLCOLORLISTBOX", WM_CTLCOLORLISTBOX, dcArg, list, "ctlcolor 2 2002", brush},
            {"WM_CTLCOLORBTN", WM_CTLCOLORBTN, dcArg, list, "ctlcolor 3 2002", brush},
            {"WM_CTLCOLORDLG, the page's own background", WM_CTLCOLORDLG, dcArg,
             reinterpret_cast<LPARAM>(page.m_hWnd), "ctlcolor 4 0", brush},
            {"WM_CTLCOLORSCROLLBAR", WM_CTLCOLORSCROLLBAR, dcArg, list, "ctlcolor 5 2002", brush},
            {"WM_CTLCOLORSTATIC", WM_CTLCOLORSTATIC, dcArg, list, "ctlcolor 6 2002", brush},
        };
        for (const Row& row : rows) {
            page.seen.clear();
            page.lastDc = nullptr;
            results.push_back(page.SendMessage(row.msg, row.wParam, row.lParam));
            seen.push_back(page.seen + (page.lastDc && page.lastDc != dc.get() ? " (another DC)" : ""));
        }
        d.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(seen.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(seen[i], rows[i].seen) << rows[i].name;
        EXPECT_EQ(results[i], rows[i].result) << rows[i].name;
    }
    EXPECT_EQ(limits.ptMinTrackSize.x, 600);
    EXPECT_EQ(limits.ptMinTrackSize.y, 560);
}

}  // namespace
