#include "ipupdater/ZorvaneAddrApp.h"

#include "common/app/AppStartup.h"
#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/datafiles/UpdateResultFile.h"
#include "common/log/LogFile.h"
#include "common/net/HttpClient.h"
#include "common/net/NetworkAdapter.h"
#include "common/net/PrivateAddress.h"
#include "common/process/Process.h"
#include "common/settings/ConfigFile.h"
#include "common/suite/SuiteContract.h"
#include "common/text/ValueText.h"
#include "common/worker/WorkerRun.h"
#include "ipupdater/UpdateRequest.h"

namespace {

constexpr wchar_t kUsage[] = L"Usage: ZorvaneAddr.exe /id:ID /password:PASSWORD";


// The first address of the adapter with the MAC text that is public; the last one when none is.
std::wstring LanAddress(const std::wstring& mac) {
    CNetworkAdapter adapters;
    for (int a = 0; a < adapters.GetAdapterCount(); ++a) {
        if (adapters.GetMacAddress(a) != mac) continue;
        std::wstring chosen;
        const int count = adapters.GetAdapter(a).IpAddressCount();
        for (int i = 0; i < count; ++i) {
            chosen = adapters.GetIpAddress(a, i);
            if (!IsPrivateOrReservedIp(chosen)) break;
        }
        return chosen;
    }
    return std::wstring();
}

}  // namespace

BOOL CZorvaneAddrApp::InitInstance() {
    if (ClaimInstanceMutex(kZorvaneAddrMutex)) return FALSE;  // another instance runs
    LoadDataFiles();
    CheckCommandLine();
    DetectCurrentIp();
    CollectHostChanges();
    SendUpdateAndExit();
}

void CZorvaneAddrApp::LoadDataFiles() {
    const CAppStartup startup = CAppStartup::Silent();
    if (!startup.LoadConfig()) ExitWorker(kZorvaneAddrFailed);
    if (!startup.LoadLanguage()) ExitWorker(kZorvaneAddrFailed);
    if (!CUpdateListFile::GetInstance()->Load(startup.EtcPath(L"update_list.xml"))) ExitWorker(kZorvaneAddrFailed);
    if (!CUpdateMethodFile::GetInstance()->Load(startup.EtcPath(L"update_method.xml"))) ExitWorker(kZorvaneAddrFailed);
    if (!CHostListFile::GetInstance()->Load(startup.EtcPath(L"host_list.xml"))) ExitWorker(kZorvaneAddrFailed);
    CUpdateResultFile::GetInstance()->Load(startup.EtcPath(L"update_result.xml"));
    startup.OpenLog();
    CUpdateRequest::GetInstance();
}

void CZorvaneAddrApp::CheckCommandLine() {
    if (ParseAccountOptions(m_cmdLine)) return;
    ShowErrorBox(nullptr, kUsage);
    ExitWorker(kZorvaneAddrFailed);
}

void CZorvaneAddrApp::DetectCurrentIp() {
    LogInfo(L"check_ip");
    CUpdateMethodFile* method = CUpdateMethodFile::GetInstance();
    const std::wstring type = method->GetType();
    const std::wstring data = method->GetData();

    std::wstring ip;
    const wchar_t* messageKey = L"";  // any other type: an empty text
    if (type == L"IP") {
        std::wstring reply;
        if (!HttpGetUrl(CConfigFile::GetInstance()->GetIpUrl(), reply, HeaderLines{kUserAgentLine})) {
            LogError(L"not_connect_server");
            ExitWorker(kZorvaneAddrFailed);
        }
        ip = reply;  // the client gives the body trimmed of white space
        messageKey = L"internet_ip";
    } else if (type == L"LAN") {
        ip = LanAddress(data);
        if (ip.empty()) {
            LogError(L"fail_lan_ip");
            ExitWorker(kZorvaneAddrFailed);
        }
        messageKey = L"lan_ip";
    } else if (type == L"DIRECT") {
        ip = data;
        if (ip.empty()) {
            LogError(L"fail_direct_ip");
            ExitWorker(kZorvaneAddrFailed);
        }
        messageKey = L"direct_ip";
    }
    LogInfo(messageKey, {ip});

    if (IsPrivateOrReservedIp(ip)) {
        LogError(L"private_ip");
        ExitWorker(kZorvaneAddrPrivateIp);
    }
    m_currentIp = ip;
}

void CZorvaneAddrApp::CollectHostChanges() {
    // A line per host to change: the lines go out together when the check ends.
    const CLogBatch batch;
    LogInfo(L"check_host");
    const auto serviceHosts = CHostListFile::GetInstance()->IndexHosts();
    CUpdateListFile* wanted = CUpdateListFile::GetInstance();
    CUpdateRequest* request = CUpdateRequest::GetInstance();

    // Each text is fetched once for the many lines.
    const std::wstring statusText = LogText(L"update_status");
    const std::wstring ipText = LogText(L"update_ip");

    CXmlTextDoc& doc = wanted->GetDoc();
    doc.RewindInParent();
    while (doc.SeekElement(L"host")) {
        const std::wstring name = wanted->GetHostName();
        const std::wstring status = wanted->GetHostStatus();
        const auto found = serviceHosts.find(name);
        if (found == serviceHosts.end()) continue;
        const HostListEntry& service = found->second;
        if (status == L"OFFLINE") {
            if (service.status == L"OFFLINE") continue;
            request->AddHost(name, L"OFFLINE");
            LogInfoText(statusText, {name, L"OFFLINE"});
        } else if (status == L"ONLINE") {
            if (service.ip == m_currentIp) continue;
            request->AddHost(name, m_currentIp);
            LogInfoText(ipText, {name, m_currentIp});
        }
    }
    if (request->GetItemCount() == 0) LogInfo(L"not_exist_host");
}

void CZorvaneAddrApp::SendUpdateAndExit() {
    const std::wstring id = OptionText(m_cmdLine, L"id");
    const std::wstring password = OptionText(m_cmdLine, L"password");
    HeaderLines headers;
    BuildAuthHeaders(id, password, headers);

    CUpdateRequest* request = CUpdateRequest::GetInstance();
    if (request->GetItemCount() == 0) ExitWorker(kZorvaneAddrUpToDate);
    request->JoinPending();
    const std::wstring url = CConfigFile::GetInstance()->GetUpdateUrl() + L"?" + request->GetQuery();

    const std::wstring root = GetInstallRoot();
    if (!HttpGetToXmlFile(url, root + L"\\etc\\update_result.xml", headers)) {
        LogInfo(L"not_connect_server");
        ExitWorker(kZorvaneAddrFailed);
    }

    CUpdateResultFile* result = CUpdateResultFile::GetInstance();
    result->Reload();
    const std::wstring codeText = result->GetResultCode();
    const int code = ReadDecimalInt(codeText);

    if (code == kZorvaneAddrPartlyUpdated) {
        CXmlTextDoc& doc = result->GetDoc();
        doc.RewindInParent();
        const wchar_t* key = L"fail_some_update_ip";
        while (doc.SeekElement(L"host")) {
            const std::wstring hostCode = result->GetCode();
            if (hostCode == L"320") {
                key = L"too_many_update";
                break;
            }
            if (hostCode == L"721") {
                key = L"update_ip_success";
                break;
            }
        }
        LogInfo(key);
    } else if (code == kZorvaneAddrUpToDate) {
        LogInfo(L"update_ip_success");
    } else {
        LogInfo(L"fail_update_ip", {codeText});
    }

    const int refresh = RunHostListUpdater(root, id, password);
    ExitWorker(refresh == kZorvaneHostsFailed ? kZorvaneAddrFailed : code);
}
