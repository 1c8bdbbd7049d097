#include "common/framework/MainDialog.h"

#include "common/base/UniqueHandle.h"
#include "common/framework/WinApp.h"

CMainDialog::CMainDialog(UINT templateId, HWND& sharedMainWnd, UINT iconId)
    : CDialog(templateId),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(iconId))),
      m_sharedMainWnd(sharedMainWnd) {}

void CMainDialog::DeclareMessageMap(MessageMap& map) {
    CDialog::DeclareMessageMap(map);
    map.OnMessage(WM_PAINT, &CMainDialog::OnPaint);
    map.OnMessage(WM_QUERYDRAGICON, &CMainDialog::OnQueryDragIcon);
    map.OnMessage(WM_WINDOWPOSCHANGING, &CMainDialog::OnWindowPosChanging);
}

BOOL CMainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_sharedMainWnd = m_hWnd;
    return TRUE;
}

bool CMainDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // Here rather than in the table, so that a derived WM_DESTROY handler cannot lose it: no later start
    // may reach a window that is going.
    if (msg == WM_DESTROY && m_sharedMainWnd == m_hWnd) m_sharedMainWnd = nullptr;
    return CDialog::OnWndMsg(msg, wParam, lParam, result);
}

void CMainDialog::EndAtStartUp(const std::function<void()>& tellUser) {
    m_endedAtStartUp = true;
    if (tellUser) tellUser();
    EndDialog(IDCANCEL);  // not OnCancel: a derived dialog may make that do nothing
}

bool CMainDialog::ReachFirstInstance(HWND firstWindow, SecondStart how) {
    if (!firstWindow || !::IsWindow(firstWindow)) return false;
    const int actions = static_cast<int>(how);
    if (actions & static_cast<int>(SecondStart::Notify)) ::PostMessageW(firstWindow, UWM_SECOND_INSTANCE, 0, 0);
    if (actions & static_cast<int>(SecondStart::BringToFront)) {
        ::ShowWindow(firstWindow, SW_RESTORE);
        ::SetForegroundWindow(firstWindow);
    }
    return true;
}

void CMainDialog::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    const PaintDc dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()));
    const RECT client = GetClientRect();
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.get(), x, y, m_hIcon);
}

LRESULT CMainDialog::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

LRESULT CMainDialog::OnWindowPosChanging(WPARAM, LPARAM pos) {
    Default();
    if (m_endedAtStartUp || !MayShow()) reinterpret_cast<WINDOWPOS*>(pos)->flags &= ~SWP_SHOWWINDOW;
    return 0;
}
