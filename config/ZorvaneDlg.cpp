#include "config/ZorvaneDlg.h"

#include "common/base/UniqueHandle.h"
#include "config/resource.h"

CZorvaneDlg::CZorvaneDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

void CZorvaneDlg::DeclareMessageMap(MessageMap& map) {
    CDialog::DeclareMessageMap(map);
    map.OnCtlColor(&CZorvaneDlg::OnCtlColor);
    map.OnSize(&CZorvaneDlg::OnSize);
    map.OnMessage(WM_PAINT, &CZorvaneDlg::OnPaint);
}

BOOL CZorvaneDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_layout.SetDialog(m_hWnd);
    m_layout.SetMode(CDialogLayout::ModeScale);
    m_layout.SetBaseSize(100, 100);
    m_layout.AddAllControls();
    SetupLayout();
    InitControls();
    return TRUE;
}

void CZorvaneDlg::OnSize(UINT type, int cx, int cy) {
    Default();
    m_layout.OnSize(type, cx, cy);
    UpdateThemeBrush();
}

void CZorvaneDlg::OnPaint() {
    const PaintDc dc(m_hWnd);
    UpdateThemeBrush();
}

HBRUSH CZorvaneDlg::OnCtlColor(HDC dc, HWND control, CtlColor) {
    const HBRUSH standard = reinterpret_cast<HBRUSH>(Default());
    const HBRUSH themed = m_themeBrush.ForControl(dc, control, TabControl());
    return themed ? themed : standard;
}

void CZorvaneDlg::UpdateThemeBrush() { m_themeBrush.Refresh(m_hWnd, TabControl()); }

HWND CZorvaneDlg::TabControl() const { return ::GetDlgItem(GetParent(), IDC_TAB_MAIN); }

void CZorvaneDlg::NotifySettingModified(bool restart) const {
    ::PostMessageW(GetParent(), UWM_SETTING_MODIFIED, restart ? 1 : 0, 0);
}

void CZorvaneDlg::ApplyPendingSettings() const {
    WPARAM restart = 0;
    if (TakePendingSettingChanges(GetParent(), restart)) ::SendMessageW(GetParent(), UWM_SETTING_MODIFIED, restart, 0);
}

bool TakePendingSettingChanges(HWND mainWindow, WPARAM& restart) {
    restart = 0;
    bool pending = false;
    MSG message{};
    while (::PeekMessageW(&message, mainWindow, UWM_SETTING_MODIFIED, UWM_SETTING_MODIFIED, PM_REMOVE)) {
        restart |= message.wParam;
        pending = true;
    }
    return pending;
}
