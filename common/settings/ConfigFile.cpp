#include "common/settings/ConfigFile.h"

#include <vector>

#include "common/settings/ServiceHost.h"
#include "common/text/ValueText.h"

namespace {

const wchar_t kIpUrl[] = L"ip_url";
const wchar_t kHostUrl[] = L"host_url";
const wchar_t kUpdateUrl[] = L"update_url";
const wchar_t kLanguage[] = L"langauge";
const wchar_t kNtService[] = L"nt_service";
const wchar_t kAutoStart[] = L"auto_start";
const wchar_t kSaveId[] = L"save_id";
const wchar_t kSavePassword[] = L"save_password";
const wchar_t kAutoLogin[] = L"auto_login";
const wchar_t kAutoProgramUpdate[] = L"auto_program_update";
const wchar_t kProgramUpdatePeriod[] = L"program_update_period";
const wchar_t kIpUpdatePeriod[] = L"ip_update_period";
const wchar_t kShowDdnsConfig[] = L"show_ddns_config";
const wchar_t kShowSystemTray[] = L"show_system_tray";
const wchar_t kSelectedMenu[] = L"selected_menu";
const wchar_t kLogLevel[] = L"log_level";
const wchar_t kProgramUpdateMode[] = L"program_update_mode";

const wchar_t kTrue[] = L"true";
const wchar_t kFalse[] = L"false";

struct DefaultSetting {
    const wchar_t* key;
    std::wstring value;
};

// The default document's keys, in its order; program_update_mode has no default.
std::vector<DefaultSetting> DefaultSettings() {
    return {
        {kIpUrl, DefaultServiceUrl(L"/getip.php")},
        {kHostUrl, DefaultServiceUrl(L"/gethost.php")},
        {kUpdateUrl, DefaultServiceUrl(L"/update.php")},
        {kLanguage, L"korean"},
        {kNtService, kFalse},
        {kAutoStart, kTrue},
        {kSaveId, kFalse},
        {kSavePassword, kFalse},
        {kAutoLogin, kFalse},
        {kAutoProgramUpdate, kTrue},
        {kProgramUpdatePeriod, L"1440"},
        {kIpUpdatePeriod, L"5"},
        {kShowDdnsConfig, kTrue},
        {kShowSystemTray, kTrue},
        {kSelectedMenu, L"0"},
        {kLogLevel, L"2"},
    };
}

}  // namespace

bool CConfigFile::Load(const std::wstring& path) {
    return LoadOrCreate(path, [this](const std::wstring& p) { return WriteDefault(p); });
}

void CConfigFile::PositionAfterLoad() { EnterRoot(); }

bool CConfigFile::WriteDefault(const std::wstring& path) {
    m_doc.SetText(kXmlHeader);
    m_doc.AppendElement(kXmlRootName);
    m_doc.EnterElement();
    for (const DefaultSetting& setting : DefaultSettings()) {
        m_doc.AppendElement(setting.key);
        m_doc.StoreTextAt(setting.value);
    }
    m_path = path;
    return Save(path);
}

bool CConfigFile::EnterRoot() {
    m_doc.RewindToTop();
    return m_doc.SeekElement(kXmlRootName) && m_doc.EnterElement();
}

std::wstring CConfigFile::ReadKey(const wchar_t* key) {
    if (!EnterRoot() || !m_doc.SeekElement(key)) return std::wstring();
    return m_doc.ReadText();
}

bool CConfigFile::ReadFlag(const wchar_t* key) { return ReadKey(key) == kTrue; }

int CConfigFile::ReadNumber(const wchar_t* key) { return ReadDecimalInt(ReadKey(key)); }

void CConfigFile::StoreKey(const wchar_t* key, const std::wstring& value) {
    if (!EnterRoot()) return;
    if (!m_doc.SeekElement(key)) m_doc.AppendElement(key);
    m_doc.StoreTextAt(DocumentValue(value));
}

void CConfigFile::StoreFlag(const wchar_t* key, bool value) { StoreKey(key, value ? kTrue : kFalse); }

void CConfigFile::StoreNumber(const wchar_t* key, int value) { StoreKey(key, std::to_wstring(value)); }

std::wstring CConfigFile::GetIpUrl() { return ReadKey(kIpUrl); }
std::wstring CConfigFile::GetHostUrl() { return ReadKey(kHostUrl); }
std::wstring CConfigFile::GetUpdateUrl() { return ReadKey(kUpdateUrl); }
std::wstring CConfigFile::GetLanguage() { return ReadKey(kLanguage); }
bool CConfigFile::GetNtService() { return ReadFlag(kNtService); }
bool CConfigFile::GetAutoStart() { return ReadFlag(kAutoStart); }
bool CConfigFile::GetSaveId() { return ReadFlag(kSaveId); }
bool CConfigFile::GetSavePassword() { return ReadFlag(kSavePassword); }
bool CConfigFile::GetAutoLogin() { return ReadFlag(kAutoLogin); }
bool CConfigFile::GetAutoProgramUpdate() { return ReadFlag(kAutoProgramUpdate); }
int CConfigFile::GetIpUpdatePeriod() { return ReadNumber(kIpUpdatePeriod); }
bool CConfigFile::GetShowDdnsConfig() { return ReadFlag(kShowDdnsConfig); }
bool CConfigFile::GetShowSystemTray() { return ReadFlag(kShowSystemTray); }
int CConfigFile::GetSelectedMenu() { return ReadNumber(kSelectedMenu); }
int CConfigFile::GetLogLevel() { return ReadNumber(kLogLevel); }
std::wstring CConfigFile::GetProgramUpdateMode() { return ReadKey(kProgramUpdateMode); }

void CConfigFile::SetIpUrl(const std::wstring& value) { StoreKey(kIpUrl, value); }
void CConfigFile::SetHostUrl(const std::wstring& value) { StoreKey(kHostUrl, value); }
void CConfigFile::SetUpdateUrl(const std::wstring& value) { StoreKey(kUpdateUrl, value); }
void CConfigFile::SetLanguage(const std::wstring& value) { StoreKey(kLanguage, value); }
void CConfigFile::SetNtService(bool value) { StoreFlag(kNtService, value); }
void CConfigFile::SetAutoStart(bool value) { StoreFlag(kAutoStart, value); }
void CConfigFile::SetSaveId(bool value) { StoreFlag(kSaveId, value); }
void CConfigFile::SetSavePassword(bool value) { StoreFlag(kSavePassword, value); }
void CConfigFile::SetAutoLogin(bool value) { StoreFlag(kAutoLogin, value); }
void CConfigFile::SetAutoProgramUpdate(bool value) { StoreFlag(kAutoProgramUpdate, value); }
void CConfigFile::SetProgramUpdatePeriod(int value) { StoreNumber(kProgramUpdatePeriod, value); }
void CConfigFile::SetIpUpdatePeriod(int value) { StoreNumber(kIpUpdatePeriod, value); }
void CConfigFile::SetShowDdnsConfig(bool value) { StoreFlag(kShowDdnsConfig, value); }
void CConfigFile::SetShowSystemTray(bool value) { StoreFlag(kShowSystemTray, value); }
void CConfigFile::SetSelectedMenu(int value) { StoreNumber(kSelectedMenu, value); }
void CConfigFile::SetLogLevel(int value) { StoreNumber(kLogLevel, value); }
void CConfigFile::SetProgramUpdateMode(const std::wstring& value) { StoreKey(kProgramUpdateMode, value); }
