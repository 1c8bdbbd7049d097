// Arbitrary bytes as the text of each of the suite's settings and data files, in memory: load, read every
// value, set some, save. Beyond not crashing, a document saved after its setters must load again as it
// stands, and a text that does not load must leave the document's former text in place.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/datafiles/UpdateResultFile.h"
#include "common/datafiles/UserFile.h"
#include "common/language/LangTable.h"
#include "common/settings/ConfigFile.h"
#include "common/text/Utf.h"

namespace {

// The saved text must load again and save to the same bytes.
template <class Document>
void ExpectReloads(const Document& document) {
    const std::string saved = document.SaveText();
    Document again;
    if (!again.LoadText(saved) || again.SaveText() != saved) std::abort();
}

bool Config(const std::string& bytes, const std::wstring& value, int number) {
    CConfigFile config;
    if (!config.LoadText(bytes)) return false;
    config.GetIpUrl(); config.GetHostUrl(); config.GetUpdateUrl(); config.GetLanguage();
    config.GetNtService(); config.GetAutoStart(); config.GetSaveId(); config.GetSavePassword();
    config.GetAutoLogin(); config.GetAutoProgramUpdate(); config.GetIpUpdatePeriod();
    config.GetShowDdnsConfig(); config.GetShowSystemTray(); config.GetSelectedMenu(); config.GetLogLevel();
    config.GetProgramUpdateMode();
    config.SetLanguage(value);
    config.SetProgramUpdateMode(value);
    config.SetIpUpdatePeriod(number);
    config.SetAutoLogin(number & 1);
    ExpectReloads(config);
    return true;
}

void User(const std::string& bytes, const std::wstring& value) {
    CUserFile user;
    if (!user.LoadText(bytes)) return;
    user.GetId(); user.GetPassword();
    user.SetId(value);
    user.SetPassword(value);
    ExpectReloads(user);
}

void UpdateMethod(const std::string& bytes, const std::wstring& value) {
    CUpdateMethodFile method;
    if (!method.LoadText(bytes)) return;
    method.GetType(); method.GetData();
    method.SetType(value);
    method.SetData(value);
    ExpectReloads(method);
}

void UpdateList(const std::string& bytes, const std::wstring& value) {
    CUpdateListFile list;
    if (!list.LoadText(bytes)) return;
    while (list.GetDoc().SeekElement(L"host")) {
        list.GetHostName();
        list.GetHostStatus();
    }
    list.FindHost(value);
    list.AddHost(value);
    list.SetHostStatus(value);
    list.AddHost(L"x");
    list.RemoveHost(value);
    list.RemoveHost(L"x");
    ExpectReloads(list);
}

void HostList(const std::string& bytes, const std::wstring& value) {
    // A text that does not load keeps the hosts of the last good load.
    static const std::string kLastGood = "<r><result code=\"0\"><host name=\"a\"/></result></r>";
    CHostListFile hosts;
    if (!hosts.LoadText(kLastGood)) std::abort();
    if (!hosts.LoadText(bytes)) {
        if (hosts.SaveText() != kLastGood || !hosts.FindHost(L"a")) std::abort();
        return;
    }
    while (hosts.GetDoc().SeekElement(L"host")) {
        hosts.GetHostName(); hosts.GetHostStatus(); hosts.GetHostIp(); hosts.GetOffType();
    }
    hosts.GetResultCode();
    hosts.FindHost(value);
    hosts.GetHostIp();
}

void UpdateResult(const std::string& bytes) {
    CUpdateResultFile result;
    if (!result.LoadText(bytes)) return;
    while (result.GetDoc().SeekElement(L"host")) result.GetCode();
    result.GetResultCode();
    if (!result.LoadText(result.SaveText())) std::abort();
    result.GetCode();
}

void Language(const std::string& bytes, const std::wstring& value) {
    CLangTable table;
    if (!table.LoadText(bytes)) return;
    for (const wchar_t* section : {L"general", L"log", L"login_manager"}) {
        const CLangSection texts = table.SelectSection(section);
        texts.GetText(L"ok");
        texts.GetText(value);
    }
    table.GetText(value, value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The setters' value: the first line of the input, NULs and markup characters included.
    const std::wstring value = Utf8ToWide(bytes.substr(0, bytes.find('\n')).substr(0, 64));
    int number = 0;
    for (size_t i = 0; i < size && i < 4; ++i) number = static_cast<int>(static_cast<unsigned>(number) << 8 | data[i]);

    // Every document loads through one parser: a text that one does not load, none does (the host list
    // then shows that a failed load keeps its former text).
    if (!Config(bytes, value, number)) {
        HostList(bytes, value);
        return 0;
    }
    User(bytes, value);
    UpdateMethod(bytes, value);
    UpdateList(bytes, value);
    HostList(bytes, value);
    UpdateResult(bytes);
    Language(bytes, value);
    return 0;
}
