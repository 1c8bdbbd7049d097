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

// The saved text must load again as the very text that was saved.
template <class Document>
void ExpectReloads(const Document& document) {
    Document again;
    if (!again.LoadText(document.SaveText()) || again.GetDoc().GetText() != document.GetDoc().GetText()) {
        std::abort();
    }
}

void Config(const std::string& bytes, const std::wstring& value, int number) {
    CConfigFile config;
    if (!config.LoadText(bytes)) std::abort();
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
}

void User(const std::string& bytes, const std::wstring& value) {
    CUserFile user;
    if (!user.LoadText(bytes)) std::abort();
    user.GetId(); user.GetPassword();
    user.SetId(value);
    user.SetPassword(value);
    ExpectReloads(user);
}

void UpdateMethod(const std::string& bytes, const std::wstring& value) {
    CUpdateMethodFile method;
    if (!method.LoadText(bytes)) std::abort();
    method.GetType(); method.GetData();
    method.SetType(value);
    method.SetData(value);
    ExpectReloads(method);
}

void UpdateList(const std::string& bytes, const std::wstring& value) {
    CUpdateListFile list;
    if (!list.LoadText(bytes)) std::abort();
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

// False when the text does not load, which must keep the hosts of the last good load.
bool HostList(const std::string& bytes, const std::wstring& value) {
    static const std::string kLastGood = "<r><result code=\"0\"><host name=\"a\"/></result></r>";
    CHostListFile hosts;
    if (!hosts.LoadText(kLastGood)) std::abort();
    if (!hosts.LoadText(bytes)) {
        if (hosts.SaveText() != kLastGood || !hosts.FindHost(L"a")) std::abort();
        return false;
    }
    while (hosts.GetDoc().SeekElement(L"host")) {
        hosts.GetHostName(); hosts.GetHostStatus(); hosts.GetHostIp(); hosts.GetOffType();
    }
    hosts.GetResultCode();
    hosts.FindHost(value);
    hosts.GetHostIp();
    return true;
}

void UpdateResult(const std::string& bytes) {
    CUpdateResultFile result;
    if (!result.LoadText(bytes)) std::abort();
    while (result.GetDoc().SeekElement(L"host")) result.GetCode();
    result.GetResultCode();
    result.GetCode();
}

void Language(const std::string& bytes, const std::wstring& value) {
    CLangTable table;
    if (!table.LoadText(bytes)) std::abort();
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

    // Every document loads through one parser: a text that one does not load, none does.
    if (!HostList(bytes, value)) return 0;
    Config(bytes, value, number);
    User(bytes, value);
    UpdateMethod(bytes, value);
    UpdateList(bytes, value);
    UpdateResult(bytes);
    Language(bytes, value);
    return 0;
}
