#include "migration/ZorvaneMigrateApp.h"

#include <windows.h>

#include "common/app/AppStartup.h"
#include "common/process/Process.h"
#include "common/service/ServiceAndAutostart.h"
#include "common/settings/ConfigFile.h"
#include "migration/OldClient.h"

namespace {

constexpr wchar_t kUsage[] = L"Usage: ZorvaneMigrate.exe [/dump | /restore]";
// The log level that a newly set language comes with.
constexpr int kLanguageLogLevel = 2;

constexpr RegistryView kViews[] = {RegistryView::Bits64, RegistryView::Bits32};

}  // namespace

BOOL CZorvaneMigrateApp::InitInstance() {
    if (!CheckCommandLine()) {
        ShowErrorBox(nullptr, kUsage);
        return FALSE;
    }
    RunRequestedAction();
    return FALSE;
}

bool CZorvaneMigrateApp::CheckCommandLine() {
    m_cmdLine.ParseLine(::GetCommandLineW());
    return m_cmdLine.HasOption(L"lang") || m_cmdLine.HasOption(L"migration");
}

void CZorvaneMigrateApp::RunRequestedAction() {
    if (m_cmdLine.HasOption(L"lang")) {
        SetLanguage();
        return;
    }
    switch (DetectOldInstall()) {
        case OldInstall::Registry: MigrateFromRegistry(); break;
        case OldInstall::XmlFiles: MigrateFromXmlInstall(); break;
        case OldInstall::None: break;
    }
}

void CZorvaneMigrateApp::SetLanguage() {
    // This installation's settings, whatever the target.
    if (!CAppStartup::Silent().LoadConfig()) return;
    CConfigFile* config = CConfigFile::GetInstance();
    config->SetLanguage(m_cmdLine.GetOptionValue(L"lang"));
    config->SetLogLevel(kLanguageLogLevel);
    config->Save();
}

CZorvaneMigrateApp::OldInstall CZorvaneMigrateApp::DetectOldInstall() {
    for (RegistryView view : kViews) {
        m_oldClientView = view;
        if (!ReadOldSetting(L"ProgramFolder").empty()) return OldInstall::Registry;
    }
    for (RegistryView view : kViews) {
        std::wstring folder;
        if (!CRegistry::ReadValue(kOldAppPathsKey, folder, kOldAppPathsValue, view) || folder.empty()) continue;
        if (folder.back() != L'\\') folder += L'\\';
        m_oldXmlFolder = folder;
        return OldInstall::XmlFiles;
    }
    return OldInstall::None;
}

void CZorvaneMigrateApp::ApplyStartupSettings() {
    CConfigFile* config = CConfigFile::GetInstance();
    ApplyServiceAndAutostart(GetInstallRoot(), config->GetNtService(), config->GetAutoStart(),
                             UninstallRun::HiddenWaited);
}

std::wstring CZorvaneMigrateApp::ReadOldSetting(const wchar_t* name) const {
    std::wstring value;
    CRegistry::ReadValue(kOldClientKey, value, name, m_oldClientView);
    return value;
}

std::wstring CZorvaneMigrateApp::TargetFolder() const {
    // Without a folder the files would land in the root of the current drive.
    const wchar_t* target = m_cmdLine.GetOptionValue(L"target");
    if (!target || !*target) return GetInstallRoot() + L"\\etc\\";
    return std::wstring(target) + L"\\";
}
