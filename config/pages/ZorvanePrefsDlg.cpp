#include "config/pages/ZorvanePrefsDlg.h"

#include <string>

#include "common/language/LangTable.h"
#include "common/registry/Registry.h"
#include "common/service/ServiceProbe.h"
#include "common/settings/ConfigFile.h"
#include "common/ui/TextTable.h"
#include "config/resource.h"

namespace {

constexpr int kDefaultPeriod = 5;
constexpr int kDefaultPeriodItem = 2;  // "5" + minute
constexpr wchar_t kAlertMode[] = L"alert";
constexpr wchar_t kHiddenMode[] = L"hidden";

const TextRow kTexts[] = {
    {IDC_GROUP_PROGRAM_START, L"program_config", L"program_start_title"},
    {IDC_CHECK_AUTO_START, L"program_config", L"auto_start"},
    {IDC_CHECK_NT_SERVICE, L"program_config", L"nt_service"},
    {IDC_CHECK_SHOW_DDNS_CONFIG, L"program_config", L"show_ddns_config"},
    {IDC_GROUP_LOGIN, L"program_config", L"login_title"},
    {IDC_CHECK_SAVE_ID, L"program_config", L"save_id"},
    {IDC_CHECK_SAVE_PASSWORD, L"program_config", L"save_password"},
    {IDC_CHECK_AUTO_LOGIN, L"program_config", L"auto_login"},
    {IDC_GROUP_SYSTEM_TRAY, L"program_config", L"system_tray_title"},
    {IDC_CHECK_SHOW_SYSTEM_TRAY, L"program_config", L"show_system_tray"},
    {IDC_GROUP_IP_UPDATE, L"program_config", L"ip_update_title"},
    {IDC_STATIC_IP_UPDATE_PERIOD, L"program_config", L"ip_update_period"},
    {IDC_GROUP_PROGRAM_UPDATE, L"program_config", L"program_update_title"},
    {IDC_CHECK_AUTO_PROGRAM_UPDATE, L"program_config", L"auto_program_update"},
    {IDC_RADIO_HIDDEN_PROGRAM_UPDATE, L"program_config", L"hidden_program_update"},
    {IDC_RADIO_ALERT_PROGRAM_UPDATE, L"program_config", L"alert_program_update"},
};

// One column of frames that keep their height and stretch with the page: frames 10 pixels from both sides,
// their boxes 20 in (the radios 30), the interval's label and list side by side.
const LayoutRow kLayout[] = {
    // id                             minW    maxW    minH  maxH  left  top  right
    {IDC_GROUP_PROGRAM_START,         kUnset, kUnset, 100,  100,  10,   10,  10},
    {IDC_CHECK_AUTO_START,            kUnset, kUnset, 20,   20,   20,   30,  20},
    {IDC_CHECK_NT_SERVICE,            kUnset, kUnset, 20,   20,   20,   55,  20},
    {IDC_CHECK_SHOW_DDNS_CONFIG,      kUnset, kUnset, 20,   20,   20,   80,  20},
    {IDC_GROUP_LOGIN,                 kUnset, kUnset, 100,  100,  10,   115, 10},
    {IDC_CHECK_SAVE_ID,               kUnset, kUnset, 20,   20,   20,   135, 20},
    {IDC_CHECK_SAVE_PASSWORD,         kUnset, kUnset, 20,   20,   20,   160, 20},
    {IDC_CHECK_AUTO_LOGIN,            kUnset, kUnset, 20,   20,   20,   185, 20},
    {IDC_GROUP_SYSTEM_TRAY,           kUnset, kUnset, 50,   50,   10,   220, 10},
    {IDC_CHECK_SHOW_SYSTEM_TRAY,      kUnset, kUnset, 20,   20,   20,   240, 20},
    {IDC_GROUP_IP_UPDATE,             kUnset, kUnset, 50,   50,   10,   275, 10},
    {IDC_STATIC_IP_UPDATE_PERIOD,     100,    100,    20,   20,   20,   295},
    {IDC_COMBO_IP_UPDATE_PERIOD,      70,     70,     20,   20,   125,  295},
    {IDC_GROUP_PROGRAM_UPDATE,        kUnset, kUnset, 90,   90,   10,   330, 10},
    {IDC_CHECK_AUTO_PROGRAM_UPDATE,   kUnset, kUnset, 20,   20,   20,   350, 20},
    {IDC_RADIO_HIDDEN_PROGRAM_UPDATE, kUnset, kUnset, 20,   20,   30,   370, 20},
    {IDC_RADIO_ALERT_PROGRAM_UPDATE,  kUnset, kUnset, 20,   20,   30,   390, 20},
};

// The interval list: the number, directly followed by the unit's text of the language section "general".
const struct {
    int number;
    const wchar_t* unit;
    int minutes;
} kIntervals[] = {
    {1, L"minute", 1},  {3, L"minute", 3},  {5, L"minute", 5},   {10, L"minute", 10}, {30, L"minute", 30},
    {1, L"hour", 60},   {2, L"hour", 120},  {6, L"hour", 360},   {12, L"hour", 720},  {1, L"day", 1440},
};

void SetChecked(const CButton& box, bool checked) { box.SetCheck(checked ? BST_CHECKED : BST_UNCHECKED); }

}  // namespace

void CZorvanePrefsDlg::DoDataExchange(CDataExchange* dx) {
    CZorvaneDlg::DoDataExchange(dx);
    dx->Bind(IDC_GROUP_PROGRAM_START, m_programStartGroup);
    dx->Bind(IDC_CHECK_AUTO_START, m_autoStart);
    dx->Bind(IDC_CHECK_NT_SERVICE, m_ntService);
    dx->Bind(IDC_CHECK_SHOW_DDNS_CONFIG, m_showDdnsConfig);
    dx->Bind(IDC_GROUP_LOGIN, m_loginGroup);
    dx->Bind(IDC_CHECK_SAVE_ID, m_saveId);
    dx->Bind(IDC_CHECK_SAVE_PASSWORD, m_savePassword);
    dx->Bind(IDC_CHECK_AUTO_LOGIN, m_autoLogin);
    dx->Bind(IDC_GROUP_SYSTEM_TRAY, m_systemTrayGroup);
    dx->Bind(IDC_CHECK_SHOW_SYSTEM_TRAY, m_showSystemTray);
    dx->Bind(IDC_GROUP_IP_UPDATE, m_ipUpdateGroup);
    dx->Bind(IDC_STATIC_IP_UPDATE_PERIOD, m_ipUpdateLabel);
    dx->Bind(IDC_COMBO_IP_UPDATE_PERIOD, m_ipUpdatePeriod);
    dx->Bind(IDC_GROUP_PROGRAM_UPDATE, m_programUpdateGroup);
    dx->Bind(IDC_CHECK_AUTO_PROGRAM_UPDATE, m_autoProgramUpdate);
    dx->Bind(IDC_RADIO_HIDDEN_PROGRAM_UPDATE, m_hiddenProgramUpdate);
    dx->Bind(IDC_RADIO_ALERT_PROGRAM_UPDATE, m_alertProgramUpdate);
}

void CZorvanePrefsDlg::DeclareMessageMap(MessageMap& map) {
    CZorvaneDlg::DeclareMessageMap(map);  // WM_CTLCOLOR*, WM_SIZE
    map.OnCommand(BN_CLICKED, IDC_CHECK_AUTO_START, &CZorvanePrefsDlg::OnBnClickedAutoStart);
    map.OnCommand(BN_CLICKED, IDC_CHECK_SHOW_DDNS_CONFIG, &CZorvanePrefsDlg::OnBnClickedShowDdnsConfig);
    map.OnCommand(BN_CLICKED, IDC_CHECK_NT_SERVICE, &CZorvanePrefsDlg::OnBnClickedNtService);
    map.OnCommand(BN_CLICKED, IDC_CHECK_SHOW_SYSTEM_TRAY, &CZorvanePrefsDlg::OnBnClickedShowSystemTray);
    map.OnCommand(BN_CLICKED, IDC_CHECK_AUTO_LOGIN, &CZorvanePrefsDlg::OnBnClickedAutoLogin);
    map.OnCommand(BN_CLICKED, IDC_CHECK_SAVE_ID, &CZorvanePrefsDlg::OnBnClickedSaveId);
    map.OnCommand(BN_CLICKED, IDC_CHECK_SAVE_PASSWORD, &CZorvanePrefsDlg::OnBnClickedSavePassword);
    map.OnCommand(BN_CLICKED, IDC_CHECK_AUTO_PROGRAM_UPDATE, &CZorvanePrefsDlg::OnBnClickedAutoProgramUpdate);
    map.OnCommand(CBN_SELCHANGE, IDC_COMBO_IP_UPDATE_PERIOD, &CZorvanePrefsDlg::OnCbnSelchangeIpUpdatePeriod);
    map.OnMessage(WM_PAINT, &CZorvanePrefsDlg::OnPaint);
    map.OnCommand(BN_CLICKED, IDC_RADIO_HIDDEN_PROGRAM_UPDATE, &CZorvanePrefsDlg::OnBnClickedHiddenProgramUpdate);
    map.OnCommand(BN_CLICKED, IDC_RADIO_ALERT_PROGRAM_UPDATE, &CZorvanePrefsDlg::OnBnClickedAlertProgramUpdate);
}

void CZorvanePrefsDlg::SetupLayout() { m_layout.SetControlRules(kLayout); }

void CZorvanePrefsDlg::InitControls() {
    SetDialogTexts(m_hWnd, kTexts);
    FillIntervals();
    SelectInterval();
    ReadSystemSettings();
    ApplyWindowsVersionRule();
    ShowSettings();
}

void CZorvanePrefsDlg::FillIntervals() {
    CLangTable* texts = CLangTable::GetInstance();
    for (int i = 0; i < static_cast<int>(sizeof(kIntervals) / sizeof(kIntervals[0])); ++i) {
        const std::wstring text = std::to_wstring(kIntervals[i].number) + texts->GetText(L"general", kIntervals[i].unit);
        m_ipUpdatePeriod.InsertString(i, text);
        m_ipUpdatePeriod.SetItemData(i, kIntervals[i].minutes);
    }
}

// A period that a listed item shows after the division (90 minutes shows "1" + hour) keeps its value until
// the user picks an item; one that no item shows is replaced by 5 minutes and saved at once.
void CZorvanePrefsDlg::SelectInterval() {
    CConfigFile* config = CConfigFile::GetInstance();
    int period = config->GetIpUpdatePeriod();
    if (period == 0) {
        config->SetIpUpdatePeriod(kDefaultPeriod);
        config->Save();
        period = kDefaultPeriod;
    }
    int value = period;
    const wchar_t* unit = L"minute";
    if (period >= 1440) {
        value = period / 1440;
        unit = L"day";
    } else if (period >= 60) {
        value = period / 60;
        unit = L"hour";
    }
    const std::wstring text = std::to_wstring(value) + CLangTable::GetInstance()->GetText(L"general", unit);
    // The combo's own search: from the second item round to the first, the first whose text begins with it.
    if (m_ipUpdatePeriod.SelectString(0, text) == CB_ERR) {
        config->SetIpUpdatePeriod(kDefaultPeriod);
        config->Save();
        m_ipUpdatePeriod.SetCurSel(kDefaultPeriodItem);
    }
}

// Autostart and service mode come from the system, not from config.xml; they reach the file with the next
// apply.
void CZorvanePrefsDlg::ReadSystemSettings() {
    CConfigFile* config = CConfigFile::GetInstance();
    std::wstring runValue;
    CRegistry::ReadRunValue(runValue);
    config->SetAutoStart(!runValue.empty());
    if (IsServiceInstalled()) {
        config->SetNtService(true);
        config->SetAutoStart(false);
        m_autoStart.EnableWindow(FALSE);
    } else {
        config->SetNtService(false);
    }
}

// Windows 6.0 cannot run the suite as a service: the box is disabled and says so, and keeps its state.
void CZorvanePrefsDlg::ApplyWindowsVersionRule() {
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) return;
    if (version.dwMajorVersion != 6 || version.dwMinorVersion != 0) return;
    m_ntService.EnableWindow(FALSE);
    m_ntService.SetWindowText(CLangTable::GetInstance()->GetText(L"information", L"not_support_vista"));
}

void CZorvanePrefsDlg::ShowSettings() {
    CConfigFile* config = CConfigFile::GetInstance();
    SetChecked(m_saveId, config->GetSaveId());
    SetChecked(m_savePassword, config->GetSavePassword());
    SetChecked(m_autoStart, config->GetAutoStart());
    SetChecked(m_ntService, config->GetNtService());
    SetChecked(m_autoLogin, config->GetAutoLogin());
    SetChecked(m_showSystemTray, config->GetShowSystemTray());
    SetChecked(m_showDdnsConfig, config->GetShowDdnsConfig());
    SetChecked(m_autoProgramUpdate, config->GetAutoProgramUpdate());
    // A box forced on by a stronger one is not for the user to change.
    if (config->GetAutoLogin()) {
        m_saveId.EnableWindow(FALSE);
        m_savePassword.EnableWindow(FALSE);
    }
    if (config->GetSavePassword()) m_saveId.EnableWindow(FALSE);
    const bool alert = config->GetProgramUpdateMode() == kAlertMode;
    SetChecked(m_alertProgramUpdate, alert);
    SetChecked(m_hiddenProgramUpdate, !alert);
    EnableStartUpWindowOption();
    EnableUpdateModes();
}

// The start-up window option is for autostart or service mode only.
void CZorvanePrefsDlg::EnableStartUpWindowOption() {
    m_showDdnsConfig.EnableWindow(m_ntService.IsChecked() || m_autoStart.IsChecked());
}

// The update modes are for automatic program updates only.
void CZorvanePrefsDlg::EnableUpdateModes() {
    const BOOL enable = m_autoProgramUpdate.IsChecked();
    m_hiddenProgramUpdate.EnableWindow(enable);
    m_alertProgramUpdate.EnableWindow(enable);
}

void CZorvanePrefsDlg::OnBnClickedAutoStart() {
    CConfigFile* config = CConfigFile::GetInstance();
    config->SetAutoStart(m_autoStart.IsChecked());
    config->SetNtService(m_ntService.IsChecked());
    NotifySettingModified(false);
    EnableStartUpWindowOption();
}

void CZorvanePrefsDlg::OnBnClickedNtService() {
    CConfigFile* config = CConfigFile::GetInstance();
    const bool service = m_ntService.IsChecked();
    config->SetNtService(service);
    // Service mode and autostart are never both on.
    if (service) {
        SetChecked(m_autoStart, false);
        m_autoStart.EnableWindow(FALSE);
        config->SetAutoStart(false);
    } else {
        m_autoStart.EnableWindow(TRUE);
    }
    NotifySettingModified(false);
    EnableStartUpWindowOption();
}

void CZorvanePrefsDlg::OnBnClickedShowDdnsConfig() {
    CConfigFile::GetInstance()->SetShowDdnsConfig(m_showDdnsConfig.IsChecked());
    NotifySettingModified(false);
}

void CZorvanePrefsDlg::OnBnClickedShowSystemTray() {
    CConfigFile::GetInstance()->SetShowSystemTray(m_showSystemTray.IsChecked());
    NotifySettingModified(false);
}

// Automatic sign-in needs the saved password, which needs the saved ID.
void CZorvanePrefsDlg::OnBnClickedAutoLogin() {
    CConfigFile* config = CConfigFile::GetInstance();
    const bool autoLogin = m_autoLogin.IsChecked();
    config->SetAutoLogin(autoLogin);
    if (autoLogin) {
        config->SetSaveId(true);
        SetChecked(m_saveId, true);
        m_saveId.EnableWindow(FALSE);
        config->SetSavePassword(true);
        SetChecked(m_savePassword, true);
        m_savePassword.EnableWindow(FALSE);
    } else {
        m_savePassword.EnableWindow(TRUE);
    }
    NotifySettingModified(false);
}

void CZorvanePrefsDlg::OnBnClickedSaveId() {
    CConfigFile* config = CConfigFile::GetInstance();
    const bool saveId = m_saveId.IsChecked();
    config->SetSaveId(saveId);
    if (!saveId) {
        config->SetAutoLogin(false);
        SetChecked(m_autoLogin, false);
        config->SetSavePassword(false);
        SetChecked(m_savePassword, false);
    }
    NotifySettingModified(false);
}

void CZorvanePrefsDlg::OnBnClickedSavePassword() {
    CConfigFile* config = CConfigFile::GetInstance();
    const bool savePassword = m_savePassword.IsChecked();
    config->SetSavePassword(savePassword);
    if (savePassword) {
        config->SetSaveId(true);
        SetChecked(m_saveId, true);
        m_saveId.EnableWindow(FALSE);
    } else {
        config->SetAutoLogin(false);
        SetChecked(m_autoLogin, false);
        m_saveId.EnableWindow(TRUE);
    }
    NotifySettingModified(false);
}

void CZorvanePrefsDlg::OnBnClickedAutoProgramUpdate() {
    CConfigFile::GetInstance()->SetAutoProgramUpdate(m_autoProgramUpdate.IsChecked());
    NotifySettingModified(true);
    EnableUpdateModes();
}

void CZorvanePrefsDlg::OnCbnSelchangeIpUpdatePeriod() {
    const int selected = m_ipUpdatePeriod.GetCurSel();
    if (selected < 0) return;
    CConfigFile::GetInstance()->SetIpUpdatePeriod(static_cast<int>(m_ipUpdatePeriod.GetItemData(selected)));
    NotifySettingModified(true);
}

void CZorvanePrefsDlg::OnPaint() {
    const PaintDc dc(m_hWnd);
    UpdateThemeBrush();
    m_ipUpdatePeriod.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void CZorvanePrefsDlg::OnBnClickedHiddenProgramUpdate() {
    CConfigFile::GetInstance()->SetProgramUpdateMode(kHiddenMode);
    NotifySettingModified(false);
}

void CZorvanePrefsDlg::OnBnClickedAlertProgramUpdate() {
    CConfigFile::GetInstance()->SetProgramUpdateMode(kAlertMode);
    NotifySettingModified(false);
}
