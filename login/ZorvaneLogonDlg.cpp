#include "login/ZorvaneLogonDlg.h"

#include <shellapi.h>

#include <climits>

#include "common/datafiles/UserFile.h"
#include "common/framework/SharedSection.h"
#include "common/framework/WinApp.h"
#include "common/language/LangTable.h"
#include "common/process/Process.h"
#include "common/settings/ConfigFile.h"
#include "common/settings/ServiceHost.h"
#include "common/sharedmem/SharedUserMemory.h"
#include "common/ui/XMessageBox.h"
#include "login/resource.h"

ZORVANE_SHARED HWND g_hSharedMainWnd = nullptr;

namespace {

constexpr wchar_t kErrorCaption[] = L"Zorvane - ERROR";
constexpr wchar_t kConfigFailText[] = L"Can't open a config file\n\nPlease reinstall the 'Zorvane DDNS Client'";
constexpr wchar_t kUsageText[] = L"Usage: ZorvaneLogon.exe /mode:[auto|manual]";
constexpr wchar_t kPasswordPagePath[] = L"/ddns/ddns_auth_pass.html?mode=client";

constexpr UINT kBoxInformation = MB_OK | MB_ICONINFORMATION;
constexpr UINT kBoxWarning = MB_OK | MB_ICONEXCLAMATION;

// The window size the controls are laid out for, in pixels.
constexpr int kWindowWidth = 300;
constexpr int kWindowHeight = 400;

// The button captions of every box the program shows, from the language file.
ExtendedMessageBoxOptions g_messageBoxOptions;

// Where each control goes, in pixels from the client edges or from reference points in hundredths of the
// client size. kNone leaves a value unset.
constexpr int kNone = INT_MIN;
struct PlaceRule {
    int id;
    int minWidth, maxWidth, minHeight, maxHeight;
    int top, bottom, left, right;
    int leftReference, rightReference, centerX;
};
// The three check boxes start 55 pixels left of the middle, under the edits, so that their texts have room.
const PlaceRule kPlaceRules[] = {
    {IDC_GROUP_LOGIN, kNone, kNone, 180, 180, 10, kNone, 10, 10, kNone, kNone, kNone},
    {IDC_GROUP_DESCRIPTION, kNone, kNone, kNone, kNone, 195, 10, 10, 10, kNone, kNone, kNone},
    {IDC_STATIC_DESCRIPTION, kNone, kNone, kNone, kNone, 215, 50, 20, 20, kNone, kNone, kNone},
    {IDC_BUTTON_SHOW_PASSWORD, 100, 100, 25, 25, 0, 20, 0, 0, kNone, kNone, 50},
    {IDC_STATIC_ID, kNone, kNone, 20, 20, 30, kNone, 20, 0, kNone, 30, kNone},
    {IDC_EDIT_ID, kNone, kNone, 20, 20, 30, kNone, 0, 20, 30, 100, kNone},
    {IDC_STATIC_PASSWORD, kNone, kNone, 20, 20, 55, kNone, 20, 0, kNone, 30, kNone},
    {IDC_EDIT_PASSWORD, kNone, kNone, 20, 20, 55, kNone, 0, 20, 30, 100, kNone},
    {IDC_CHECK_SAVE_ID, kNone, kNone, 20, 20, 80, kNone, -55, 30, 50, 100, kNone},
    {IDC_CHECK_SAVE_PASSWORD, kNone, kNone, 20, 20, 105, kNone, -55, 30, 50, 100, kNone},
    {IDC_CHECK_AUTO_LOGIN, kNone, kNone, 20, 20, 130, kNone, -55, 30, 50, 100, kNone},
    {IDOK, 80, 80, 25, 25, 155, kNone, -85, kNone, 50, 100, kNone},
    {IDCANCEL, 80, 80, 25, 25, 155, kNone, 5, kNone, 50, 100, kNone},
    {IDC_STATIC_NOW_LOGIN, kNone, kNone, 20, 20, 115, kNone, 30, 30, kNone, kNone, kNone},
    {IDC_PROGRESS_LOGIN, kNone, kNone, 10, 10, 105, kNone, 40, 40, kNone, kNone, kNone},
};

LayoutRule MakeRule(const PlaceRule& place) {
    LayoutRule rule;
    const std::pair<LayoutRuleValue, int> values[] = {
        {LayoutRuleValue::MinWidth, place.minWidth},        {LayoutRuleValue::MaxWidth, place.maxWidth},
        {LayoutRuleValue::MinHeight, place.minHeight},      {LayoutRuleValue::MaxHeight, place.maxHeight},
        {LayoutRuleValue::TopAnchor, place.top},            {LayoutRuleValue::BottomAnchor, place.bottom},
        {LayoutRuleValue::LeftAnchor, place.left},          {LayoutRuleValue::RightAnchor, place.right},
        {LayoutRuleValue::LeftReference, place.leftReference}, {LayoutRuleValue::RightReference, place.rightReference},
        {LayoutRuleValue::CenterX, place.centerX},
    };
    for (const auto& [index, value] : values) {
        if (value != kNone) rule.SetValue(index, value);
    }
    return rule;
}

bool IsChecked(const CButton& box) { return box.GetCheck() == BST_CHECKED; }

}  // namespace

CZorvaneLogonDlg::CZorvaneLogonDlg() : CDialog(IDD_ZORVANELOGON_DIALOG) {
    CWinApp* app = AfxGetApp();
    m_hIcon = ::LoadIconW(app ? app->m_hInstance : ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

void CZorvaneLogonDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
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
    CDialog::DeclareMessageMap(map);
    map.OnMessage(WM_PAINT, &CZorvaneLogonDlg::OnPaint);
    map.OnMessage(WM_QUERYDRAGICON, &CZorvaneLogonDlg::OnQueryDragIcon);
    map.OnCommand(BN_CLICKED, IDOK, &CZorvaneLogonDlg::OnBnClickedOk);
    map.OnCommand(BN_CLICKED, IDCANCEL, &CZorvaneLogonDlg::OnBnClickedCancel);
    map.OnMessage(WM_SIZE, &CZorvaneLogonDlg::OnSize);
    map.OnCommand(BN_CLICKED, IDC_BUTTON_SHOW_PASSWORD, &CZorvaneLogonDlg::OnBnClickedShowPassword);
    map.OnMessage(WM_CLOSE, &CZorvaneLogonDlg::OnClose);
    map.OnMessage(WM_MOUSEMOVE, &CZorvaneLogonDlg::OnMouseMove);
    map.OnMessage(WM_TIMER, &CZorvaneLogonDlg::OnTimer);
    map.OnMessage(WM_WINDOWPOSCHANGING, &CZorvaneLogonDlg::OnWindowPosChanging);
    map.OnMessage(UWM_SECOND_INSTANCE, &CZorvaneLogonDlg::OnSecondInstance);
    map.OnCommand(BN_CLICKED, IDC_CHECK_SAVE_PASSWORD, &CZorvaneLogonDlg::OnBnClickedSavePassword);
    map.OnCommand(BN_CLICKED, IDC_CHECK_SAVE_ID, &CZorvaneLogonDlg::OnBnClickedSaveId);
    map.OnCommand(BN_CLICKED, IDC_CHECK_AUTO_LOGIN, &CZorvaneLogonDlg::OnBnClickedAutoLogin);
}

BOOL CZorvaneLogonDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    g_hSharedMainWnd = m_hWnd;

    if (!LoadDataFiles()) {
        EndAtStartUp(kConfigFailText);
        return FALSE;
    }
    InitControls();
    SetupLayout();
    // Centred once the window has its final size.
    if (m_shown) CenterWindow();
    if (!ParseCommandLine()) {
        EndAtStartUp(kUsageText);
        return FALSE;
    }
    StartByMode();
    return FALSE;  // the focus is set
}

bool CZorvaneLogonDlg::LoadDataFiles() {
    const std::wstring root = GetInstallRoot();
    CConfigFile* config = CConfigFile::GetInstance();
    return config->Load(root + L"\\etc\\config.xml") &&
           CLangTable::GetInstance()->Load(root, config->GetLanguage()) &&
           CUserFile::GetInstance()->Load(root + L"\\etc\\user.xml");
}

void CZorvaneLogonDlg::EndAtStartUp(const wchar_t* text) {
    m_startFailed = true;
    ::MessageBoxW(m_hWnd, text, kErrorCaption, MB_OK | MB_ICONWARNING);
    OnCancel();
}

void CZorvaneLogonDlg::InitControls() {
    CLangTable* texts = CLangTable::GetInstance();
    const CLangSection general = texts->SelectSection(L"general");
    SetWindowText(general.GetText(L"title"));
    m_idLabel.SetWindowText(general.GetText(L"id"));
    m_passwordLabel.SetWindowText(general.GetText(L"password"));
    m_okButton.SetWindowText(general.GetText(L"login"));
    m_cancelButton.SetWindowText(general.GetText(L"cancel"));
    const CLangSection login = texts->SelectSection(L"login_manager");
    m_loginGroup.SetWindowText(login.GetText(L"title"));
    m_descriptionGroup.SetWindowText(login.GetText(L"description_title"));
    m_description.SetWindowText(login.GetText(L"description"));
    m_saveId.SetWindowText(login.GetText(L"save_id"));
    m_savePassword.SetWindowText(login.GetText(L"save_password"));
    m_autoLogin.SetWindowText(login.GetText(L"auto_login"));
    m_showPassword.SetWindowText(login.GetText(L"show_password"));
    m_nowLogin.SetWindowText(login.GetText(L"now_login"));

    LoadMessageBoxCaptions(g_messageBoxOptions);

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
    for (const PlaceRule& place : kPlaceRules) {
        m_layout.SetControlRule(MakeRule(place), GetDlgItem(place.id));
    }
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
    const CLangSection texts = CLangTable::GetInstance()->SelectSection(section);
    const std::wstring caption = texts.GetText(L"title");
    const std::wstring text = texts.GetText(key);
    return ExtendedMessageBox(m_hWnd, text.c_str(), caption.c_str(), style, &g_messageBoxOptions);
}

void CZorvaneLogonDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    const RECT client = GetClientRect();
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

LRESULT CZorvaneLogonDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

void CZorvaneLogonDlg::OnBnClickedOk() {
    if (m_busy) return;  // Enter while an attempt runs
    if (!CheckInput()) return;
    FocusControl(m_okButton);
    // The typed account reaches the account document only once the service accepted it.
    StartAttempt(false, m_idEdit.GetWindowText(), m_passwordEdit.GetWindowText());
}

LRESULT CZorvaneLogonDlg::OnSize(WPARAM type, LPARAM size) {
    Default();
    m_layout.OnSize(static_cast<UINT>(type), LOWORD(size), HIWORD(size));
    return 0;
}

void CZorvaneLogonDlg::OnBnClickedShowPassword() {
    const std::wstring url = L"http://" + DefaultServiceHost() + kPasswordPagePath;
    ::ShellExecuteW(m_hWnd, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CZorvaneLogonDlg::OnClose() {
    OnBnClickedCancel();
    ::Sleep(10);
    OnCancel();
}

LRESULT CZorvaneLogonDlg::OnWindowPosChanging(WPARAM, LPARAM pos) {
    Default();
    // Hidden until ShowDialog or InitControls allows it, however the window is asked to show.
    if (!m_shown || m_startFailed) reinterpret_cast<WINDOWPOS*>(pos)->flags &= ~SWP_SHOWWINDOW;
    return 0;
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
    config->SetAutoLogin(IsChecked(m_autoLogin));
    config->SetSaveId(IsChecked(m_saveId));
    config->SetSavePassword(IsChecked(m_savePassword));

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
    if (!IsChecked(m_autoLogin)) return;
    m_saveId.SetCheck(BST_CHECKED);
    m_savePassword.SetCheck(BST_CHECKED);
}

void CZorvaneLogonDlg::OnBnClickedSavePassword() {
    if (IsChecked(m_savePassword)) {
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
    if (IsChecked(m_saveId)) return;
    m_savePassword.SetCheck(BST_UNCHECKED);
    m_autoLogin.SetCheck(BST_UNCHECKED);
    CUserFile* user = CUserFile::GetInstance();
    user->SetId(L"");
    user->SetPassword(L"");
    user->Save();
    CConfigFile* config = CConfigFile::GetInstance();
    config->SetSaveId(IsChecked(m_saveId));
    config->SetSavePassword(IsChecked(m_savePassword));
    config->Save();
}
