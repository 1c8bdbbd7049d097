#include "config/pages/PageFiles.h"

#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/process/Process.h"
#include "common/sharedmem/SharedUserMemory.h"
#include "common/suite/SuiteContract.h"
#include "common/text/ValueText.h"

void ReloadUpdateList() {
    CUpdateListFile* wanted = CUpdateListFile::GetInstance();
    if (!wanted->GetPath().empty()) wanted->Load(wanted->GetPath());
}

bool ReloadHostList() {
    CHostListFile* hosts = CHostListFile::GetInstance();
    const std::wstring path = hosts->GetPath().empty() ? GetInstallRoot() + L"\\etc\\host_list.xml" : hosts->GetPath();
    hosts->Load(path);  // a file that cannot be read leaves the last hosts read
    return !hosts->GetPath().empty() && ReadDecimalInt(hosts->GetResultCode()) == kZorvaneHostsListDelivered;  // the reply's own code
}

bool ReadSignedInAccount(SignedInAccount& account) {
    CSharedUserMemory shared;
    if (!shared.Open()) return false;
    account.id = shared.GetId();
    account.password = shared.GetPassword();
    shared.Close();
    return true;
}
