#include "common/app/AppStartup.h"

#include "common/language/LangTable.h"
#include "common/log/LogFile.h"
#include "common/settings/ConfigFile.h"

namespace {

constexpr wchar_t kReinstall[] = L"\n\nPlease reinstall the 'Zorvane DDNS Client'";

}  // namespace

std::wstring CantOpenFileText(const std::wstring& file) { return L"Can't open a file : " + file + kReinstall; }

std::wstring CantOpenConfigFileText() { return std::wstring(L"Can't open a config file") + kReinstall; }

void ShowErrorBox(HWND owner, const std::wstring& text) {
    ::MessageBoxW(owner, text.c_str(), kErrorBoxCaption, MB_OK | MB_ICONWARNING);
}

bool CAppStartup::LoadConfig() const {
    return CConfigFile::GetInstance()->Load(EtcPath(L"config.xml")) || Failed(L"config.xml");
}

bool CAppStartup::LoadLanguage() const {
    const std::wstring language = CConfigFile::GetInstance()->GetLanguage();
    return CLangTable::GetInstance()->Load(m_root, language) || Failed(language + L".xml");
}

void CAppStartup::OpenLog() const {
    CLogFile* log = CLogFile::GetInstance();
    log->SetFolder(m_root + L"\\log");
    log->SetLevel(CConfigFile::GetInstance()->GetLogLevel());
}

bool CAppStartup::Failed(const std::wstring& file) const {
    m_failure = CantOpenFileText(file);
    if (m_boxes) ShowErrorBox(m_owner, m_failure);
    return false;
}
