#include "hostupdater/ZorvaneHostsApp.h"

#include "common/app/AppStartup.h"
#include "common/datafiles/HostListFile.h"
#include "common/net/HttpClient.h"
#include "common/process/Process.h"
#include "common/settings/ConfigFile.h"
#include "common/suite/SuiteContract.h"
#include "common/text/ValueText.h"
#include "common/worker/WorkerRun.h"

namespace {

constexpr wchar_t kUsage[] = L"Usage: ZorvaneHosts.exe /id:ID /password:PASSWORD";

}  // namespace

BOOL CZorvaneHostsApp::InitInstance() {
    if (ClaimInstanceMutex(kZorvaneHostsMutex)) return FALSE;  // another instance runs
    LoadDataFiles();
    CheckCommandLine();
    FetchHostListAndExit();
}

void CZorvaneHostsApp::LoadDataFiles() {
    const CAppStartup startup = CAppStartup::Silent();
    if (!startup.LoadConfig()) ExitWorker(kZorvaneHostsFailed);
    startup.OpenLog();
    if (!startup.LoadLanguage()) ExitWorker(kZorvaneHostsFailed);
}

void CZorvaneHostsApp::CheckCommandLine() {
    if (ParseAccountOptions(m_cmdLine)) return;
    ShowErrorBox(nullptr, kUsage);
    ExitWorker(kZorvaneHostsFailed);
}

void CZorvaneHostsApp::FetchHostListAndExit() {
    LogInfo(L"update_host");
    HeaderLines headers;
    BuildAuthHeaders(OptionText(m_cmdLine, L"id"), OptionText(m_cmdLine, L"password"), headers);

    // Only the service's own reply (also one with an error code) replaces the host list: a proxy's or a
    // captive portal's page must not destroy the user's list.
    const std::wstring path = GetInstallRoot() + L"\\etc\\host_list.xml";
    if (!HttpGetToXmlFile(CConfigFile::GetInstance()->GetHostUrl(), path, headers, &CHostListFile::IsServiceReply)) {
        LogInfo(L"not_connect_server");
        ExitWorker(kZorvaneHostsFailed);
    }
    LogInfo(L"update_host_success");

    CHostListFile* hostList = CHostListFile::GetInstance();
    if (!hostList->Load(path)) ExitWorker(kZorvaneHostsFailed);
    // A negative code would read as "could not start" to the programs that wait for this one.
    const int code = ReadDecimalInt(hostList->GetResultCode());
    ExitWorker(code < 0 ? kZorvaneHostsFailed : code);
}
