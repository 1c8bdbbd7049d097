#include "login/ZorvaneLogonDlg.h"

#include "common/app/AppStartup.h"
#include "common/app/ProgramBox.h"
#include "common/datafiles/UserFile.h"
#include "common/framework/SharedSection.h"
#include "common/process/Process.h"
#include "common/settings/ConfigFile.h"
#include "common/settings/ServiceHost.h"
#include "common/sharedmem/SharedUserMemory.h"
#include "common/ui/TextTable.h"
#include "login/resource.h"

ZORVANE_SHARED HWND g_hSharedMainWnd = nullptr;

namespace {

constexpr wchar_t kUsageText[] = L"Usage: ZorvaneLogon.exe /mode:[auto|manual]";
constexpr wchar_t kPasswordPagePath[] = L"/ddns/ddns_auth_pass.html?mode=client";

constexpr UINT kBoxInformation = MB_OK | MB_ICONINFORMATION;
constexpr UINT kBoxWarning = MB_OK | MB_ICONEXCLAMATION;

// The window size the controls are laid out for, in pixels.
constexpr int kWindowWidth = 300;
constexpr int kWindowHeight = 400;

const TextRow kTexts[] = {
    {kDialogCaption, L"general", L"title"},
    {IDC_STATIC_ID, L"general", L"id"},
    {IDC_STATIC_PASSWORD, L"general", L"password"},
    {IDOK, L"general", L"login"},
    {IDCANCEL, L"general", L"cancel"},
    {IDC_GROUP_LOGIN, L"login_manager", L"title"},
    {IDC_GROUP_DESCRIPTION, L"login_manager", L"description_title"},
    {IDC_STATIC_DESCRIPTION, L"login_manager", L"description"},
    {IDC_CHECK_SAVE_ID, L"login_manager", L"save_id"},
    {IDC_CHECK_SAVE_PASSWORD, L"login_manager", L"save_password"},
    {IDC_CHECK_AUTO_LOGIN, L"login_manager", L"auto_login"},
    {IDC_BUTTON_SHOW_PASSWORD, L"login_manager", L"show_password"},
    {IDC_STATIC_NOW_LOGIN, L"login_manager", L"now_login"},
};

// Pixels from the client edges, or from reference points in hundredths of the client size; kNo leaves a
// value unset. The three check boxes start 55 pixels left of the middle, under the edits, so that their texts
// have room.
constexpr int kNo = kUnset;
const LayoutRow kLayout[] = {
    // id                     minW  maxW  minH  maxH  left  top  right bottom leftRef rightRef centreX
    {IDC_GROUP_LOGIN,          kNo,  kNo,  180,  180,  10,   10,  10},
    {IDC_GROUP_DESCRIPTION,    kNo,  kNo,  kNo,  kNo,  10,   195, 10,   10},
    {IDC_STATIC_DESCRIPTION,   kNo,  kNo,  kNo,  kNo,  20,   215, 20,   50},
    {IDC_BUTTON_SHOW_PASSWORD, 100,  100,  25,   25,   0,    0,   0,    20,    kNo,    kNo,     50},
    {IDC_STATIC_ID,            kNo,  kNo,  20,   20,   20,   30,  0,    kNo,   kNo,    30},
    {IDC_EDIT_ID,              kNo,  kNo,  20,   20,   0,    30,  20,   kNo,   30,     100},
    {IDC_STATIC_PASSWORD,      kNo,  kNo,  20,   20,   20,   55,  0,    kNo,   kNo,    30},
    {IDC_EDIT_PASSWORD,        kNo,  kNo,  20,   20,   0,    55,  20,   kNo,   30,     100},
    {IDC_CHECK_SAVE_ID,        kNo,  kNo,  20,   20,   -55,  80,  30,   kNo,   50,     100},
    {IDC_CHECK_SAVE_PASSWORD,  kNo,  kNo,  20,   20,   -55,  105, 30,   kNo,   50,     100},
    {IDC_CHECK_AUTO_LOGIN,     kNo,  kNo,  20,   20,   -55,  130, 30,   kNo,   50,     100},
    {IDOK,                     80,   80,   25,   25,   -85,  155, kNo,  kNo,   50,     100},
    {IDCANCEL,                 80,   80,   25,   25,   5,    155, kNo,  kNo,   50,     100},
    {IDC_STATIC_NOW_LOGIN,     kNo,  kNo,  20,   20,   30,   115, 30},
    {IDC_PROGRESS_LOGIN,       kNo,  kNo,  10,   10,   40,   105, 40},
};

}  // namespace

CZorvaneLogonDlg::CZorvaneLogonDlg() : CMainDialog(IDD_ZORVANELOGON_DIALOG, g_hSharedMainWnd, IDR_MAINFRAME) {}

void CZorvaneLogonDlg::DoDataExchange(CDataExchange* dx) {
    CMainDialog::DoDataExchange(dx);
    dx->Bind(IDOK, m_okButton);
    dx->Bind(IDCANCEL, m_cancelButton);
    dx->Bind(IDC_EDIT_ID, m_idEdit);
    dx->Bind(IDC_EDIT_PASSWORD, m_passwordEdit);
    dx->Bind(IDC_STATIC_ID, m_idLabel);
    dx->Bind(IDC_STATIC_PASSWORD, m_passwordLabel);
    dx->Bind(IDC_GROUP_LOGIN, m_loginGroup);
    dx->Bind(IDC_GROUP_DESCRIPTION, m_descriptionGroup);
    dx->Bind(IDC_STATIC_DESCRIPTION, m_description);
    dx->Bind(IDC_CHECK_AUTO_LOGIN, m_autoLogin);
    dx->Bind(IDC_BUTTON_SHOW_PASSWORD, m_showPassword);
    dx->Bind(IDC_CHECK_SAVE_PASSWORD, m_savePassword);
    dx->Bind(IDC_CHECK_SAVE_ID, m_saveId);
    dx->Bind(IDC_STATIC_NOW_LOGIN, m_nowLogin);
    dx->Bind(IDC_PROGRESS_LOGIN, m_progress);
}

void CZorvaneLogonDlg::DeclareMessageMap(MessageMap& map) {
    CMainDialog::DeclareMessageMap(map);  // WM_PAINT, WM_QUERYDRAGICON, WM_WINDOWPOSCHANGING
    map.OnCommand(BN_CLICKED, IDOK, &CZorvaneLogonDlg::OnBnClickedOk);
    map.OnCommand(BN_CLICKED, IDCANCEL, &CZorvaneLogonDlg::OnBnClickedCancel);
    map.OnSize(&CZorvaneLogonDlg::OnSize);
    map.OnCommand(BN_CLICKED, IDC_BUTTON_SHOW_PASSWORD, &CZorvaneLogonDlg::OnBnClickedShowPassword);
    map.OnMessage(WM_CLOSE, &CZorvaneLogonDlg::OnClose);
    map.OnMessage(WM_MOUSEMOVE, &CZorvaneLogonDlg::OnMouseMove);
    map.OnMessage(UWM_SECOND_INSTANCE, &CZorvaneLogonDlg::OnSecondInstance);
    map.OnCommand(BN_CLICKED, IDC_CHECK_SAVE_PASSWORD, &CZorvaneLogonDlg::OnBnClickedSavePassword);
    map.OnCommand(BN_CLICKED, IDC_CHECK_SAVE_ID, &CZorvaneLogonDlg::OnBnClickedSaveId);
    map.OnCommand(BN_CLICKED, IDC_CHECK_AUTO_LOGIN, &CZorvaneLogonDlg::OnBnClickedAutoLogin);
}

BOOL CZorvaneLogonDlg::OnInitDialog() {
    CMainDialog::OnInitDialog();  // icons, g_hSharedMainWnd

    if (!LoadDataFiles()) {
        EndAtStartUp([this] { ShowErrorBox(m_hWnd, CantOpenConfigFileText()); });
        return FALSE;
    }
    InitControls();
    SetupLayout();
    // Centred once the window has its final size.
    if (m_shown) CenterWindow();
    if (!ParseCommandLine()) {
        EndAtStartUp([this] { ShowErrorBox(m_hWnd, kUsageText); });
        return FALSE;
    }
    StartByMode();
    return FALSE;  // the focus is set
}

bool CZorvaneLogonDlg::LoadDataFiles() {
    // One text for whichever file fails, so the loads themselves stay silent.
    const CAppStartup startup = CAppStartup::Silent();
    return startup.LoadConfig() && startup.LoadLanguage() &&
           CUserFile::GetInstance()->Load(startup.EtcPath(L"user.xml"));
}

void CZorvaneLogonDlg::InitControls() {
    SetDialogTexts(m_hWnd, kTexts);
    LoadProgramBoxCaptions();

    SetBusy(false);
    m_idEdit.SetFocus();
    m_waitCursor = ::LoadCursorW(nullptr, IDC_WAIT);

    CConfigFile* config = CConfigFile::GetInstance();
    CUserFile* user = CUserFile::GetInstance();
    const bool saveId = config->GetSaveId();
    const bool savePassword = config->GetSavePassword();
    const bool autoLogin = config->GetAutoLogin();
    if (saveId || savePassword || autoLogin) {
        m_saveId.SetCheck(BST_CHECKED);
        m_idEdit.SetWindowText(user->GetId());
    }
    if (savePassword || autoLogin) {
        m_savePassword.SetCheck(BST_CHECKED);
        m_passwordEdit.SetWindowText(user->GetPassword());
    }
    if (autoLogin) m_autoLogin.SetCheck(BST_CHECKED);
    // A remembered password needs the remembered ID; automatic sign-in needs both.
    if ((savePassword || autoLogin) && !saveId) {
        config->SetSaveId(true);
        if (autoLogin) config->SetSavePassword(true);
        config->Save();
    }
    if (!autoLogin) m_shown = true;  // shows as soon as the dialog is created
}

void CZorvaneLogonDlg::SetupLayout() {
    m_layout.SetDialog(m_hWnd);
    m_layout.SetMode(CDialogLayout::ModeScale);
    m_layout.SetBaseSize(100, 100);
    m_layout.AddAllControls();
    m_layout.SetControlRules(kLayout);
    SetWindowPos(nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CZorvaneLogonDlg::ParseCommandLine() {
    m_cmdLine.ParseLine(::GetCommandLineW());
    return m_cmdLine.GetOptionValue(L"mode") != nullptr;
}

void CZorvaneLogonDlg::StartByMode() {
    const std::wstring mode = m_cmdLine.GetOptionValue(L"mode");
    if (mode == L"auto") {
        if (!CConfigFile::GetInstance()->GetAutoLogin()) {
            ShowDialog();
        } else if (CheckInput()) {
            const CUserFile* user = CUserFile::GetInstance();
            StartAttempt(true, user->GetId(), user->GetPassword());
        }
    } else if (mode == L"manual") {
        ShowDialog();
    }
    // Any other value: the dialog shows only if automatic sign-in is off, or on a second start.
}

void CZorvaneLogonDlg::ShowDialog() {
    if (!m_shown) CenterWindow();
    m_shown = true;
    ShowWindow(SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
    // Shown while an attempt runs (a second start): the keyboard goes to Cancel.
    if (m_busy) FocusControl(m_cancelButton);
}

void CZorvaneLogonDlg::FocusControl(const CWnd& control) {
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control.m_hWnd), TRUE);
}

bool CZorvaneLogonDlg::CheckInput() {
    const struct {
        const CEdit& edit;
        const wchar_t* key;
    } fields[] = {{m_idEdit, L"empty_id"}, {m_passwordEdit, L"empty_password"}};
    for (const auto& field : fields) {
        if (!field.edit.GetWindowText().empty()) continue;
        ShowDialog();
        ::SetForegroundWindow(m_hWnd);
        field.edit.SetFocus();
        ShowBox(L"information", field.key, kBoxInformation);
        return false;
    }
    return true;
}

int CZorvaneLogonDlg::ShowBox(const wchar_t* section, const wchar_t* key, UINT style) {
    return ShowLanguageBox(m_hWnd, section, key, style);
}

void CZorvaneLogonDlg::OnBnClickedOk() {
    if (m_busy) return;  // Enter while an attempt runs
    if (!CheckInput()) return;
    FocusControl(m_okButton);
    // The typed account reaches the account document only once the service accepted it.
    StartAttempt(false, m_idEdit.GetWindowText(), m_passwordEdit.GetWindowText());
}

void CZorvaneLogonDlg::OnSize(UINT type, int cx, int cy) {
    Default();
    m_layout.OnSize(type, cx, cy);
}

void CZorvaneLogonDlg::OnBnClickedShowPassword() {
    OpenWithShell(DefaultServiceUrl(kPasswordPagePath));
}

void CZorvaneLogonDlg::OnClose() {
    OnBnClickedCancel();
    ::Sleep(10);
    OnCancel();
}

LRESULT CZorvaneLogonDlg::OnSecondInstance(WPARAM, LPARAM) {
    ShowDialog();
    return 1;
}

void CZorvaneLogonDlg::SaveAfterSignIn(const std::wstring& id, const std::wstring& password) {
    SetBusy(false);
    CConfigFile* config = CConfigFile::GetInstance();
    CUserFile* user = CUserFile::GetInstance();

    // user.xml always gets the account that signed in; the boxes decide what the next start fills in.
    user->SetId(id);
    user->SetPassword(password);
    config->SetAutoLogin(m_autoLogin.IsChecked());
    config->SetSaveId(m_saveId.IsChecked());
    config->SetSavePassword(m_savePassword.IsChecked());

    if (!config->Save() || !user->Save()) {
        ShowDialog();
        ShowBox(L"error", L"save", kBoxWarning);
        return;
    }
    CSharedUserMemory shared;
    if (shared.Open()) {
        shared.SetId(id);
        shared.SetPassword(password);
    }
    OnOK();
    shared.Close();
}

void CZorvaneLogonDlg::OnBnClickedAutoLogin() {
    if (!m_autoLogin.IsChecked()) return;
    m_saveId.SetCheck(BST_CHECKED);
    m_savePassword.SetCheck(BST_CHECKED);
}

void CZorvaneLogonDlg::OnBnClickedSavePassword() {
    if (m_savePassword.IsChecked()) {
        m_saveId.SetCheck(BST_CHECKED);
        return;
    }
    m_autoLogin.SetCheck(BST_UNCHECKED);
    CUserFile* user = CUserFile::GetInstance();
    user->SetPassword(L"");
    user->Save();
    CConfigFile* config = CConfigFile::GetInstance();
    config->SetSavePassword(false);
    config->Save();
}

void CZorvaneLogonDlg::OnBnClickedSaveId() {
    if (m_saveId.IsChecked()) return;
    m_savePassword.SetCheck(BST_UNCHECKED);
    m_autoLogin.SetCheck(BST_UNCHECKED);
    CUserFile* user = CUserFile::GetInstance();
    user->SetId(L"");
    user->SetPassword(L"");
    user->Save();
    CConfigFile* config = CConfigFile::GetInstance();
    config->SetSaveId(m_saveId.IsChecked());
    config->SetSavePassword(m_savePassword.IsChecked());
    config->Save();
}
