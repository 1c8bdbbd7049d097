// The registry-based older client: its settings, account and address method from the values of its key,
// its wanted hosts from data\ClientHost.dat in its program folder.
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/datafiles/UserFile.h"
#include "common/settings/ConfigFile.h"
#include "common/xml/XmlTextDoc.h"
#include "migration/ZorvaneMigrateApp.h"

namespace {

// Every <Host name="..." status="..."/> of the root ClientHost, in order, with its status as it stands. A
// file that is missing or not well formed adds nothing.
void AddOldHosts(const std::wstring& path, CUpdateListFile& updateList) {
    CXmlTextDoc hosts;
    if (!hosts.LoadFile(path)) return;
    if (!hosts.SeekElement(L"ClientHost") || !hosts.EnterElement()) return;
    while (hosts.SeekElement(L"Host")) {
        updateList.AddHost(hosts.ReadAttr(L"name"));
        updateList.SetHostStatus(hosts.ReadAttr(L"status"));
    }
}

}  // namespace

void CZorvaneMigrateApp::MigrateFromRegistry() {
    // Each default document is written at once; when one cannot be, nothing more is done.
    const std::wstring target = TargetFolder();
    const auto oldFlag = [this](const wchar_t* name) { return ReadOldSetting(name) == L"yes"; };

    CConfigFile* config = CConfigFile::GetInstance();
    if (!config->WriteDefault(target + L"config.xml")) return;
    config->SetAutoStart(oldFlag(L"isAutoStart"));
    config->SetAutoProgramUpdate(oldFlag(L"isAutoUpdate"));
    config->SetShowDdnsConfig(oldFlag(L"isVisible"));
    const bool autoLogin = oldFlag(L"isAutoLogin");
    config->SetAutoLogin(autoLogin);
    if (autoLogin) {
        config->SetSaveId(true);
        config->SetSavePassword(true);
    }
    config->SetNtService(oldFlag(L"isNTService"));

    // The account, kept only as far as it is whole: no password without an id, no automatic sign-in
    // without a password.
    CUserFile* user = CUserFile::GetInstance();
    if (!user->WriteDefault(target + L"user.xml")) return;
    const std::wstring id = ReadOldSetting(L"UserID");
    std::wstring password = ReadOldSetting(L"AuthCode");
    user->SetId(id);
    config->SetSaveId(true);
    user->SetPassword(password);
    config->SetSavePassword(true);
    if (id.empty()) {
        password.clear();
        user->SetPassword(password);
        config->SetSaveId(false);
    }
    if (password.empty()) {
        config->SetAutoLogin(false);
        config->SetSavePassword(false);
    }

    CUpdateListFile* updateList = CUpdateListFile::GetInstance();
    if (!updateList->WriteEmptyDocument(target + L"update_list.xml")) return;
    AddOldHosts(ReadOldSetting(L"ProgramFolder") + L"\\data\\ClientHost.dat", *updateList);

    CUpdateMethodFile* method = CUpdateMethodFile::GetInstance();
    if (!method->WriteDefault(target + L"update_method.xml")) return;
    const std::wstring type = ReadOldSetting(L"IPUpdateType");
    std::wstring data;
    if (type == L"lan") {
        method->SetType(L"LAN");
        data = ReadOldSetting(L"IPUpdateLanInfo");
    } else if (type == L"edit") {
        method->SetType(L"DIRECT");
        data = ReadOldSetting(L"IPUpdateEditInfo");
    } else {
        method->SetType(L"IP");
    }
    method->SetData(data);

    user->Save();
    updateList->Save();
    config->Save();
    method->Save();
    ApplyStartupSettings();
}
