#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "common/framework/Controls.h"
#include "common/framework/Dialog.h"
#include "common/framework/SharedSection.h"
#include "common/framework/Thread.h"
#include "common/framework/WinApp.h"
#include "tests/common/framework/TestDialogIds.h"

namespace {

const UINT kProbe = WM_APP + 1;     // posted after the keys: the dialog is still open
const UINT kWorkerDone = WM_APP + 2;
const UINT kCustom = WM_APP + 5;
const int kStayedOpen = 999;

// A page edit that may take Enter for itself, as an in-place editor does.
class EnterEatingEdit : public CEdit {
public:
    bool eat = false;
    int eaten = 0;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (eat && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
            ++eaten;
            return TRUE;
        }
        return FALSE;
    }
};

class TestPage : public CDialog {
public:
    TestPage() : CDialog(IDD_TEST_PAGE) {}
    EnterEatingEdit edit;
    int okCount = 0;
    int cancelCount = 0;
    void OnOK() override { ++okCount; }
    void OnCancel() override { ++cancelCount; }
    void DoDataExchange(CDataExchange* dx) override { dx->Bind(IDC_PAGE_EDIT, edit); }
};

// A list that refuses item changes itself (a reflected notification) before its parent sees them.
class RefusingList : public CListCtrl {
protected:
    void DeclareMessageMap(MessageMap& map) override {
        CListCtrl::DeclareMessageMap(map);
        map.OnReflectedNotify(LVN_ITEMCHANGING, &RefusingList::OnItemChanging);
    }
    void OnItemChanging(NMHDR*, LRESULT* result) { *result = 1; }
};

class BaseTestDialog : public CDialog {
public:
    BaseTestDialog() : CDialog(IDD_TEST_MAIN) {}
    int baseButton = 0;

protected:
    void DeclareMessageMap(MessageMap& map) override {
        CDialog::DeclareMessageMap(map);
        map.OnCommand(BN_CLICKED, IDC_MAIN_BUTTON, &BaseTestDialog::OnButton);
    }
    void OnButton() { ++baseButton; }
};

enum class Key { Enter, Escape };
enum class Focus { PageEdit, MainEdit };

class TestDialog : public BaseTestDialog {
public:
    TestPage page;
    CEdit mainEdit;
    RefusingList list;
    HBRUSH brush = ::CreateSolidBrush(RGB(10, 20, 30));
    int okCount = 0;
    int derivedButton = 0;
    int parentItemChanging = 0;
    int setTextSeen = 0;
    std::atomic<int> workerValue{0};
    std::unique_ptr<CWinThread> worker;
    // What OnInitDialog does once the dialog stands.
    std::function<void(TestDialog&)> script;

    ~TestDialog() override { ::DeleteObject(brush); }

    void DoDataExchange(CDataExchange* dx) override {
        dx->Bind(IDC_MAIN_EDIT, mainEdit);
        dx->Bind(IDC_MAIN_LIST, list);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        page.Create(IDD_TEST_PAGE, this);
        page.MoveWindow(10, 60, 300, 40);
        page.ShowWindow(SW_SHOW);
        if (script) script(*this);
        return FALSE;
    }
    void OnOK() override {
        ++okCount;
        CDialog::OnOK();
    }

protected:
    void DeclareMessageMap(MessageMap& map) override {
        BaseTestDialog::DeclareMessageMap(map);
        map.OnMessage(kProbe, &TestDialog::OnProbe);
        map.OnMessage(kWorkerDone, &TestDialog::OnWorkerDone);
        map.OnMessage(kCustom, &TestDialog::OnCustom);
        map.OnMessage(WM_CTLCOLORSTATIC, &TestDialog::OnCtlColor);
        map.OnMessage(WM_SETTEXT, &TestDialog::OnSetText);
        map.OnNotify(NM_CLICK, IDC_MAIN_EDIT, &TestDialog::OnClickNotify);
        map.OnNotify(LVN_ITEMCHANGING, IDC_MAIN_LIST, &TestDialog::OnListChanging);
        map.OnCommand(BN_CLICKED, IDC_MAIN_BUTTON, &TestDialog::OnButton);  // replaces the base's
    }
    LRESULT OnProbe(WPARAM, LPARAM) {
        EndDialog(kStayedOpen);
        return 0;
    }
    LRESULT OnWorkerDone(WPARAM value, LPARAM) {
        EndDialog(static_cast<int>(value) + workerValue.load());
        return 0;
    }
    LRESULT OnCustom(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l); }
    LRESULT OnCtlColor(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(brush); }
    LRESULT OnSetText(WPARAM, LPARAM) {
        ++setTextSeen;
        return Default();  // the dialog's own handling stores the text
    }
    void OnClickNotify(NMHDR*, LRESULT* result) { *result = 77; }
    void OnListChanging(NMHDR*, LRESULT* result) {
        ++parentItemChanging;
        *result = 5;
    }
    void OnButton() { ++derivedButton; }
};

void PostKey(HWND target, Key key) {
    const WPARAM vk = key == Key::Enter ? VK_RETURN : VK_ESCAPE;
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    ::PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

TEST(DialogKeys, EnterAndEscapeGoToTheInnermostDialog) {
    struct Row {
        const char* name;
        Focus focus;
        Key key;
        bool editEatsEnter;
        INT_PTR result;
        int pageOk, pageCancel, mainOk, eaten;
    } rows[] = {
        {"Enter in page edit", Focus::PageEdit, Key::Enter, false, kStayedOpen, 1, 0, 0, 0},
        {"Escape in page edit", Focus::PageEdit, Key::Escape, false, kStayedOpen, 0, 1, 0, 0},
        {"Enter taken by the page edit itself", Focus::PageEdit, Key::Enter, true, kStayedOpen, 0, 0, 0, 1},
        {"Enter in main edit", Focus::MainEdit, Key::Enter, false, IDOK, 0, 0, 1, 0},
        {"Escape in main edit", Focus::MainEdit, Key::Escape, false, IDCANCEL, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        TestDialog dialog;
        dialog.page.edit.eat = row.editEatsEnter;
        dialog.script = [&row](TestDialog& d) {
            HWND target = row.focus == Focus::PageEdit ? d.page.edit.m_hWnd : d.mainEdit.m_hWnd;
            ::SetFocus(target);
            PostKey(target, row.key);
            d.PostMessage(kProbe);
        };
        EXPECT_EQ(dialog.DoModal(), row.result) << row.name;
        EXPECT_EQ(dialog.page.okCount, row.pageOk) << row.name;
        EXPECT_EQ(dialog.page.cancelCount, row.pageCancel) << row.name;
        EXPECT_EQ(dialog.okCount, row.mainOk) << row.name;
        EXPECT_EQ(dialog.page.edit.eaten, row.eaten) << row.name;
        EXPECT_FALSE(dialog.m_hWnd) << row.name;
    }
}

TEST(DialogDispatch, ResultsReachTheSender) {
    TestDialog dialog;
    struct Outcome {
        LRESULT notifyHandled = -1, notifyUnhandled = -1, listChanging = -1, custom = -1, ctlColor = -1;
        std::wstring caption;
    } out;
    dialog.script = [&out](TestDialog& d) {
        NMHDR fromEdit{d.mainEdit.m_hWnd, IDC_MAIN_EDIT, static_cast<UINT>(NM_CLICK)};
        out.notifyHandled = d.SendMessage(WM_NOTIFY, IDC_MAIN_EDIT, reinterpret_cast<LPARAM>(&fromEdit));
        NMHDR fromLabel{d.GetDlgItem(IDC_MAIN_LABEL), IDC_MAIN_LABEL, static_cast<UINT>(NM_CLICK)};
        out.notifyUnhandled = d.SendMessage(WM_NOTIFY, IDC_MAIN_LABEL, reinterpret_cast<LPARAM>(&fromLabel));
        NMLISTVIEW change{};
        change.hdr = NMHDR{d.list.m_hWnd, IDC_MAIN_LIST, static_cast<UINT>(LVN_ITEMCHANGING)};
        out.listChanging = d.SendMessage(WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&change));
        out.custom = d.SendMessage(kCustom, 1000, 234);
        out.ctlColor = d.SendMessage(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(d.GetDlgItem(IDC_MAIN_LABEL)));
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MAIN_BUTTON, BN_CLICKED),
                      reinterpret_cast<LPARAM>(d.GetDlgItem(IDC_MAIN_BUTTON)));
        d.SetWindowText(L"Caption set");
        out.caption = d.GetWindowText();
        d.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(out.notifyHandled, 77) << "WM_NOTIFY handled by the dialog";
    EXPECT_EQ(out.notifyUnhandled, 0) << "WM_NOTIFY without a handler";
    EXPECT_EQ(out.listChanging, 1) << "reflected to the list, which refuses";
    EXPECT_EQ(dialog.parentItemChanging, 0) << "the list kept its notification from the parent";
    EXPECT_EQ(out.custom, 1234) << "private message";
    EXPECT_EQ(out.ctlColor, reinterpret_cast<LRESULT>(dialog.brush)) << "WM_CTLCOLORSTATIC returns the brush";
    EXPECT_EQ(dialog.derivedButton, 1) << "derived command handler";
    EXPECT_EQ(dialog.baseButton, 0) << "base command handler replaced";
    EXPECT_EQ(dialog.setTextSeen, 1);
    EXPECT_EQ(out.caption, L"Caption set") << "default handling after the handler";
}

UINT PostFromWorker(LPVOID param) {
    auto* dialog = static_cast<TestDialog*>(param);
    dialog->workerValue = 40;
    ::PostMessageW(dialog->m_hWnd, kWorkerDone, 2, 0);
    return 17;
}

TEST(WorkerThread, ReportsByPostingAndKeepsItsHandle) {
    TestDialog dialog;
    dialog.script = [](TestDialog& d) { d.worker = AfxBeginThread(&PostFromWorker, &d); };
    EXPECT_EQ(dialog.DoModal(), 42);
    ASSERT_TRUE(dialog.worker);
    // The thread has ended by now or soon; its handle is still ours to wait on.
    EXPECT_TRUE(dialog.worker->Wait(5000));
    EXPECT_EQ(dialog.worker->ExitCode(), 17u);
}

class CreatedWindow : public CWnd {
public:
    int creates = 0;
    int destroyed = 0;

protected:
    void DeclareMessageMap(MessageMap& map) override { map.OnMessage(WM_CREATE, &CreatedWindow::OnCreate); }
    LRESULT OnCreate(WPARAM, LPARAM) {
        ++creates;
        return Default();
    }
    void PostNcDestroy() override { ++destroyed; }
};

TEST(WindowBinding, CreateBindsBeforeTheFirstMessagesAndUnbindsAtTheEnd) {
    CreatedWindow popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, L"popup", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    CreatedWindow edit;
    ASSERT_TRUE(edit.CreateEx(0, L"EDIT", L"", WS_CHILD, RECT{0, 0, 40, 20}, popup.m_hWnd, 7));
    EXPECT_EQ(popup.creates, 1);
    EXPECT_EQ(edit.creates, 1);
    EXPECT_EQ(edit.GetDlgCtrlID(), 7);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit.m_hWnd), &edit);
    HWND editHandle = edit.m_hWnd;
    popup.DestroyWindow();
    EXPECT_EQ(popup.m_hWnd, nullptr);
    EXPECT_EQ(edit.m_hWnd, nullptr);
    EXPECT_EQ(popup.destroyed + edit.destroyed, 2);
    EXPECT_FALSE(::IsWindow(editHandle));
}

// A window of another process is never taken for an object of this process: a command naming it as its control
// must not reach through it.
TEST(WindowBinding, AnotherProcesssWindowIsNeverTakenForAnObject) {
    const HWND foreign = ::GetDesktopWindow();
    DWORD process = 0;
    ::GetWindowThreadProcessId(foreign, &process);
    ASSERT_NE(process, ::GetCurrentProcessId());
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    CreatedWindow popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, L"popup", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    popup.SendMessage(WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(foreign));
    popup.DestroyWindow();
}

// Another subclass put on the control after ours, as a library may do; it passes everything on.
WNDPROC g_belowOuter = nullptr;
LRESULT CALLBACK OuterSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(g_belowOuter, hwnd, msg, wParam, lParam);
}

TEST(WindowBinding, AnObjectGoneUnderAnotherSubclassLeavesTheControlWorking) {
    CreatedWindow popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, L"popup", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 40, 20, popup.m_hWnd, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(edit);
    {
        CEdit bound;
        ASSERT_TRUE(bound.SubclassWindow(edit));
        g_belowOuter = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterSubclass)));
    }  // the object goes; its procedure cannot be taken out of the chain
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    CEdit again;
    EXPECT_FALSE(again.SubclassWindow(edit)) << "a second object would loop through the stale procedure";
    // Edit messages still reach the edit control itself.
    ::SendMessageW(edit, EM_SETLIMITTEXT, 123, 0);
    EXPECT_EQ(::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 123);
    ::SetWindowTextW(edit, L"still an edit");
    EXPECT_EQ(::SendMessageW(edit, EM_LINELENGTH, 0, 0), 13);
    popup.DestroyWindow();
    EXPECT_FALSE(::IsWindow(edit));
}

class TestApp : public CWinApp {
public:
    bool startLoop = false;
    int code = 0;
    CWnd window;
    BOOL InitInstance() override {
        SetRegistryKey(L"ZorvaneTest");
        if (!startLoop) {
            SetExitCode(code);
            return FALSE;
        }
        window.CreateEx(0, nullptr, L"main", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0);
        m_pMainWnd = &window;
        ::PostQuitMessage(code);
        return TRUE;
    }
};

TEST(Application, ExitCodeComesFromInitInstanceOrTheLoop) {
    struct Row {
        const char* name;
        bool startLoop;
        int code;
    } rows[] = {{"ends in InitInstance", false, 2}, {"ends by WM_QUIT", true, 702}};
    for (const Row& row : rows) {
        TestApp app;
        app.startLoop = row.startLoop;
        app.code = row.code;
        EXPECT_EQ(AfxGetApp(), &app) << row.name;
        EXPECT_EQ(RunApplication(::GetModuleHandleW(nullptr)), row.code) << row.name;
        EXPECT_EQ(app.GetRegistryKey(), L"ZorvaneTest") << row.name;
        app.window.DestroyWindow();
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

// Shared by every process of this test program.
ZORVANE_SHARED LONG g_sharedValue = 0;

TEST(SharedSection, ASecondProcessSeesTheFirstOnesValue) {
    if (const char* child = std::getenv("ZORVANE_SHARED_CHILD"); child && *child) {
        std::exit(static_cast<int>(g_sharedValue));  // the child reports what it sees
    }
    g_sharedValue = 4711;
    wchar_t path[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(path) + L"\" --gtest_filter=SharedSection.*";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"ZORVANE_SHARED_CHILD", L"1"));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const BOOL started =
        ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableW(L"ZORVANE_SHARED_CHILD", nullptr);
    ASSERT_TRUE(started);
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(::WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 4711u);
    g_sharedValue = 0;
}

}  // namespace
