// Arbitrary bytes as each of the suite's settings and data files: load, read every value, set some,
// save. Beyond not crashing, a document saved after its setters must load again as it stands.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <system_error>
#include <filesystem>
#include <string>

#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/datafiles/UpdateResultFile.h"
#include "common/datafiles/UserFile.h"
#include "common/fs/File.h"
#include "common/language/LangTable.h"
#include "common/settings/ConfigFile.h"
#include "common/text/Utf.h"

namespace {

namespace fs = std::filesystem;

// A folder of this process's own, removed when the process ends.
class WorkFolder {
public:
    WorkFolder() {
        // Every run writes a dozen files, each flushed to disk: memory-backed storage keeps that fast.
        std::error_code ec;
        const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        m_path = base / ("zv-documents-fuzz-" + std::to_string(getpid()));
        fs::create_directories(m_path);
    }
    ~WorkFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    std::wstring Path(const wchar_t* name) const { return Utf8ToWide((m_path / WideToUtf8(name)).string()); }

private:
    fs::path m_path;
};

std::wstring PathOf(const wchar_t* name) {
    static const WorkFolder folder;
    return folder.Path(name);
}

void Put(const std::wstring& path, const std::string& bytes) {
    std::wstring error;
    zfs::DeleteFileAt(path + L".bad");
    if (!zfs::WriteFileAtomic(path, bytes, error)) std::abort();
}

std::string Get(const std::wstring& path) {
    std::string bytes;
    std::wstring error;
    zfs::ReadFileBytes(path, bytes, error);
    return bytes;
}

// After a save, loading the file again must neither fail nor replace it.
template <class Document>
void ExpectReloads(Document& document) {
    if (!document.Save()) std::abort();
    zfs::DeleteFileAt(document.GetPath() + L".bad");
    const std::string saved = Get(document.GetPath());
    Document again;
    if (!again.Load(document.GetPath())) std::abort();
    if (Get(document.GetPath()) != saved || zfs::FileExists(document.GetPath() + L".bad")) std::abort();
}

void Config(const std::string& bytes, const std::wstring& value, int number) {
    const std::wstring path = PathOf(L"config.xml");
    Put(path, bytes);
    CConfigFile config;
    if (!config.Load(path)) return;
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
    const std::wstring path = PathOf(L"user.xml");
    Put(path, bytes);
    CUserFile user;
    if (!user.Load(path)) return;
    user.GetId(); user.GetPassword();
    user.SetId(value);
    user.SetPassword(value);
    ExpectReloads(user);
}

void UpdateMethod(const std::string& bytes, const std::wstring& value) {
    const std::wstring path = PathOf(L"update_method.xml");
    Put(path, bytes);
    CUpdateMethodFile method;
    if (!method.Load(path)) return;
    method.GetType(); method.GetData();
    method.SetType(value);
    method.SetData(value);
    ExpectReloads(method);
}

void UpdateList(const std::string& bytes, const std::wstring& value) {
    const std::wstring path = PathOf(L"update_list.xml");
    Put(path, bytes);
    CUpdateListFile list;
    if (!list.Load(path)) return;
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
    const std::wstring path = PathOf(L"host_list.xml");
    Put(path, bytes);
    CHostListFile hosts;
    if (!hosts.Load(path)) {
        if (Get(path) != bytes) std::abort();
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
    const std::wstring path = PathOf(L"update_result.xml");
    Put(path, bytes);
    CUpdateResultFile result;
    if (!result.Load(path)) return;
    while (result.GetDoc().SeekElement(L"host")) result.GetCode();
    result.GetResultCode();
    result.Reload();
    result.GetCode();
}

void Language(const std::string& bytes, const std::wstring& value) {
    const std::wstring path = PathOf(L"language.xml");
    Put(path, bytes);
    CLangTable table;
    if (!table.LoadFile(path)) return;
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

    Config(bytes, value, number);
    User(bytes, value);
    UpdateMethod(bytes, value);
    UpdateList(bytes, value);
    HostList(bytes, value);
    UpdateResult(bytes);
    Language(bytes, value);
    return 0;
}
