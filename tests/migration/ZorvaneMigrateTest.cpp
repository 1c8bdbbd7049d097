// ZorvaneMigrate end to end: the built program in a temporary installation root with a recording stand-in
// ZorvaneSvc, older clients laid out in the registry (both views) and in folders, every file it writes
// checked by its bytes, the service installer's runs and the Run value afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/fs/File.h"
#include "common/registry/Registry.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"

namespace {

using ztest::U;
using ztest::W;
// File name to bytes.
using Files = std::map<std::string, std::string>;

constexpr wchar_t kOldClientKey[] = L"Software\\Zorvane\\ZorvaneDynamicClient";
constexpr wchar_t kOldVendorKey[] = L"Software\\Zorvane";
constexpr wchar_t kOldAppPathsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZorvaneDDNSClient.exe";
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

// The Run value before every run, so that one left alone shows.
constexpr wchar_t kRunSentinel[] = L"sentinel";
constexpr char kRunDeleted[] = "<deleted>";
constexpr char kRunUnchanged[] = "<unchanged>";

const std::string kService = U(ZORVANE_SERVICE_HOST);

std::string Doc(const std::string& body) {
    return "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n" + body + "</zorvane>\r\n";
}
std::string Key(const std::string& key, const std::string& value) {
    return "<" + key + ">" + value + "</" + key + ">\r\n";
}

// The default config.xml with some values changed.
std::string ConfigXml(const std::map<std::string, std::string>& changed) {
    const std::pair<const char*, std::string> defaults[] = {
        {"ip_url", "http://" + kService + "/getip.php"}, {"host_url", "http://" + kService + "/gethost.php"},
        {"update_url", "http://" + kService + "/update.php"}, {"langauge", "korean"}, {"nt_service", "false"},
        {"auto_start", "true"}, {"save_id", "false"}, {"save_password", "false"}, {"auto_login", "false"},
        {"auto_program_update", "true"}, {"program_update_period", "1440"}, {"ip_update_period", "5"},
        {"show_ddns_config", "true"}, {"show_system_tray", "true"}, {"selected_menu", "0"}, {"log_level", "2"},
    };
    std::string body;
    for (const auto& [key, value] : defaults) {
        const auto found = changed.find(key);
        body += Key(key, found == changed.end() ? value : found->second);
    }
    return Doc(body);
}
std::string UserXml(const std::string& id, const std::string& password) {
    return Doc("<user id=\"" + id + "\" password=\"" + password + "\"/>\r\n");
}
std::string UpdateListLine(const std::string& name, const std::string& status) {
    return Doc("<host name=\"" + name + "\" status=\"" + status + "\"/>\r\n");
}
std::string MethodXml(const std::string& type, const std::string& data) {
    return Doc("<update_method type=\"" + type + "\" data=\"" + data + "\"/>\r\n");
}

// Every file of a folder (not its subfolders), by name.
Files FolderFiles(const std::wstring& folder) {
    Files files;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files[U(found.cFileName)] = ztest::ReadBytes(folder + L"\\" + found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return files;
}

struct Value {
    const wchar_t* name;
    std::wstring text;
};

void WriteValues(REGSAM view, const wchar_t* keyPath, const std::vector<Value>& values) {
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | view,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    for (const Value& value : values) {
        const DWORD bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(::RegSetValueExW(key.get(), value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                                   bytes),
                  ERROR_SUCCESS);
    }
}

bool KeyExists(REGSAM view, const wchar_t* keyPath) {
    UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

void RemoveOldClients() {
    for (REGSAM view : kViews) {
        for (const wchar_t* key : {kOldClientKey, kOldVendorKey, kOldAppPathsKey}) {
            ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, view, 0);
        }
    }
}

// The Run value as the rows give it: its options after the launcher's path, kRunDeleted or kRunUnchanged.
std::string RunValueAfter(const std::wstring& launcher) {
    std::wstring value;
    if (!CRegistry::ReadRunValue(value)) return kRunDeleted;
    if (value == kRunSentinel) return kRunUnchanged;
    for (const std::wstring& path : {L"\"" + launcher + L"\"", launcher}) {
        if (value.compare(0, path.size(), path) == 0) {
            EXPECT_EQ(path[0] == L'"', launcher.find(L' ') != std::wstring::npos) << U(value);
            return U(value.substr(path.size()));
        }
    }
    return U(value);
}

// A temporary installation root for ZorvaneMigrate (bin\ with the program and a stand-in ZorvaneSvc, an
// empty etc\), beside it the folders of the older clients and a target folder.
class MigrateRoot {
public:
    explicit MigrateRoot(const wchar_t* rootName = L"zv root") : m_root(m_dir / rootName) {
        for (const std::wstring& folder : {m_root, Etc(), Target(), OldFolder(), OldFolder() + L"\\data",
                                           XmlFolder(), XmlFolder() + L"\\etc"}) {
            EXPECT_TRUE(zfs::CreateDirectoryOne(folder)) << U(folder);
        }
        ztest::CopyProgram(ztest::BinaryDir() + L"\\bin\\ZorvaneMigrate.exe", m_root + L"\\bin\\ZorvaneMigrate.exe");
        ztest::InstallStandIn(Service());
    }

    std::wstring Etc() const { return m_root + L"\\etc"; }
    std::wstring Target() const { return m_dir / L"target"; }
    // The registry-based client's program folder and the XML-based client's installation folder.
    std::wstring OldFolder() const { return m_dir / L"old client"; }
    std::wstring XmlFolder() const { return m_dir / L"xml client"; }
    std::wstring Service() const { return m_root + L"\\bin\\ZorvaneSvc.exe"; }
    std::wstring Launcher() const { return m_root + L"\\ZorvaneLaunch.exe"; }

    // Through the exit-code runner; -2 when the runner did not report.
    long Run(const std::wstring& args) const {
        const ztest::RunnerResult result = ztest::RunThroughRunner(m_root + L"\\bin\\ZorvaneMigrate.exe", args);
        return result.ran ? static_cast<long>(result.exitCode) : -2;
    }
    std::unique_ptr<ztest::ChildProcess> Start(const std::wstring& args) const {
        return std::make_unique<ztest::ChildProcess>(m_root + L"\\bin\\ZorvaneMigrate.exe", args);
    }

    // The service installer's command lines; it always runs in its default show state.
    std::vector<std::string> ServiceRuns() const {
        std::vector<std::string> lines;
        for (const ztest::StandInRun& run : ztest::StandInRuns(Service())) {
            EXPECT_EQ(run.startFlags & (STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK), 0x80u);
            lines.push_back(U(run.commandLine));
        }
        return lines;
    }

private:
    ztest::TempDir m_dir;
    std::wstring m_root;
};

class ZorvaneMigrate : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override {
        RemoveOldClients();
        CRegistry::DeleteRunValue();
    }
    static void Reset() {
        RemoveOldClients();
        ASSERT_TRUE(CRegistry::WriteRunValue(kRunSentinel));
    }
};

// Where the migrated files go: the target folder, the installation's own etc (no target), or a target that
// does not exist.
enum class Dest { Target, OwnEtc, MissingTarget };

std::wstring TargetArgs(const MigrateRoot& root, Dest dest) {
    switch (dest) {
        case Dest::Target: return L" /target:\"" + root.Target() + L"\"";
        case Dest::MissingTarget: return L" /target:\"" + root.Target() + L"\\missing\"";
        default: return L"";
    }
}

// Where the rows expect the files, and that the other folder stays empty.
void ExpectFiles(const MigrateRoot& root, Dest dest, const Files& files) {
    EXPECT_EQ(FolderFiles(root.Target()), dest == Dest::Target ? files : Files{});
    EXPECT_EQ(FolderFiles(root.Etc()), dest == Dest::OwnEtc ? files : Files{});
    EXPECT_FALSE(zfs::FileExists(root.Target() + L"\\missing"));
}

const std::string kClientHost =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<ClientHost>\r\n<Host name=\"h1.example\" status=\"ONLINE\"/>\r\n"
    "<Note name=\"not a host\"/>\r\n<Host name=\"a&amp;b.example\" status=\"offline\"/>\r\n"
    "<Host name=\"h3.example\" status=\"Offline\"/>\r\n</ClientHost>\r\n";
// The hosts of kClientHost, their statuses as they were.
const std::string kClientHostList = Doc(
    "<host name=\"h1.example\" status=\"ONLINE\"/>\r\n<host name=\"a&amp;b.example\" status=\"offline\"/>\r\n"
    "<host name=\"h3.example\" status=\"Offline\"/>\r\n");
const std::string kEmptyList = "<?xml version=\"1.0\"?>\r\n<zorvane/>\r\n";

TEST_F(ZorvaneMigrate, TakesOverTheRegistryClient) {
    const std::vector<Value> allYes = {{L"isAutoStart", L"yes"}, {L"isAutoUpdate", L"yes"}, {L"isVisible", L"yes"},
                                       {L"isAutoLogin", L"yes"}, {L"isNTService", L"yes"}};
    const struct {
        const char* name;
        REGSAM view;
        std::vector<Value> values;  // besides ProgramFolder
        const char* clientHost;     // data\ClientHost.dat; null: none
        bool xmlClientToo;
        const wchar_t* rootName;
        Dest dest;
        Files files;
        std::vector<std::string> service;
        std::string run;
    } rows[] = {
        {"64-bit view, every flag yes, LAN, the hosts; the XML client loses", KEY_WOW64_64KEY,
         {{L"isAutoStart", L"yes"}, {L"isAutoUpdate", L"yes"}, {L"isVisible", L"yes"}, {L"isAutoLogin", L"yes"},
          {L"isNTService", L"yes"}, {L"UserID", L"a&b"}, {L"AuthCode", L"p\"w<"}, {L"IPUpdateType", L"lan"},
          {L"IPUpdateLanInfo", L"00AABBCCDDEE"}, {L"IPUpdateEditInfo", L"203.0.113.9"}},
         kClientHost.c_str(), true, L"zv root", Dest::Target,
         {{"config.xml", ConfigXml({{"nt_service", "true"}, {"save_id", "true"}, {"save_password", "true"},
                                    {"auto_login", "true"}})},
          {"user.xml", UserXml("a&amp;b", "p&quot;w&lt;")},
          {"update_list.xml", kClientHostList},
          {"update_method.xml", MethodXml("LAN", "00AABBCCDDEE")}},
         {" -install"}, " /start:ui /start:autostart"},
        {"32-bit view, Yes with a capital is no, edit, no host file", KEY_WOW64_32KEY,
         {{L"isAutoStart", L"Yes"}, {L"isAutoUpdate", L"Yes"}, {L"isVisible", L"Yes"}, {L"isAutoLogin", L"Yes"},
          {L"isNTService", L"Yes"}, {L"UserID", L"bob"}, {L"AuthCode", L"pw"}, {L"IPUpdateType", L"edit"},
          {L"IPUpdateLanInfo", L"00AABBCCDDEE"}, {L"IPUpdateEditInfo", L"203.0.113.9"}},
         nullptr, false, L"zv root", Dest::Target,
         {{"config.xml", ConfigXml({{"auto_start", "false"}, {"save_id", "true"}, {"save_password", "true"},
                                    {"auto_program_update", "false"}, {"show_ddns_config", "false"}})},
          {"user.xml", UserXml("bob", "pw")},
          {"update_list.xml", kEmptyList},
          {"update_method.xml", MethodXml("DIRECT", "203.0.113.9")}},
         {" -uninstall"}, kRunDeleted},
        {"flags missing, sign-in without a password, LAN in capitals, a broken host file", KEY_WOW64_64KEY,
         {{L"isAutoLogin", L"yes"}, {L"UserID", L"carol"}, {L"IPUpdateType", L"LAN"},
          {L"IPUpdateLanInfo", L"00AABBCCDDEE"}},
         "<ClientHost><Host name=\"x\" status=\"ONLINE\"/>", false, L"zv root", Dest::Target,
         {{"config.xml", ConfigXml({{"auto_start", "false"}, {"save_id", "true"}, {"auto_program_update", "false"},
                                    {"show_ddns_config", "false"}})},
          {"user.xml", UserXml("carol", "")},
          {"update_list.xml", kEmptyList},
          {"update_method.xml", MethodXml("IP", "")}},
         {" -uninstall"}, kRunDeleted},
        {"empty ID, without target: the installation's own etc", KEY_WOW64_32KEY,
         {{L"isAutoStart", L"yes"}, {L"isAutoLogin", L"yes"}, {L"isNTService", L"no"}, {L"UserID", L""},
          {L"AuthCode", L"pw"}, {L"IPUpdateType", L"dhcp"}, {L"IPUpdateEditInfo", L"203.0.113.9"}},
         kClientHost.c_str(), false, L"root", Dest::OwnEtc,
         {{"config.xml", ConfigXml({{"auto_program_update", "false"}, {"show_ddns_config", "false"}})},
          {"user.xml", UserXml("", "")},
          {"update_list.xml", kClientHostList},
          {"update_method.xml", MethodXml("IP", "")}},
         {" -uninstall"}, " /start:autostart"},
        {"a target that does not exist", KEY_WOW64_64KEY, allYes, kClientHost.c_str(), false, L"zv root",
         Dest::MissingTarget, {}, {}, kRunUnchanged},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        MigrateRoot root(row.rootName);
        std::vector<Value> values = row.values;
        values.push_back({L"ProgramFolder", root.OldFolder()});
        WriteValues(row.view, kOldClientKey, values);
        if (row.clientHost) ztest::WriteBytes(root.OldFolder() + L"\\data\\ClientHost.dat", row.clientHost);
        if (row.xmlClientToo) {
            WriteValues(KEY_WOW64_64KEY, kOldAppPathsKey, {{L"Path", root.XmlFolder()}});
            ztest::WriteBytes(root.XmlFolder() + L"\\etc\\program.xml", Doc(Key("langauge", "english")));
        }
        EXPECT_EQ(root.Run(L"/migration" + TargetArgs(root, row.dest)), 0);
        ExpectFiles(root, row.dest, row.files);
        EXPECT_EQ(root.ServiceRuns(), row.service);
        EXPECT_EQ(RunValueAfter(root.Launcher()), row.run);
    }
}

TEST_F(ZorvaneMigrate, WithNothingToMigrateLeavesNoTrace) {
    for (Dest dest : {Dest::Target, Dest::OwnEtc}) {
        SCOPED_TRACE(dest == Dest::Target ? "with a target" : "without a target");
        MigrateRoot root;
        EXPECT_EQ(root.Run(L"/migration" + TargetArgs(root, dest)), 0);
        ExpectFiles(root, dest, {});
        EXPECT_EQ(root.ServiceRuns(), std::vector<std::string>{});
        EXPECT_EQ(RunValueAfter(root.Launcher()), kRunUnchanged);
        // Asking for the older clients created none of their keys.
        for (REGSAM view : kViews) {
            for (const wchar_t* key : {kOldClientKey, kOldVendorKey, kOldAppPathsKey}) {
                EXPECT_FALSE(KeyExists(view, key)) << U(key) << " in view " << view;
            }
        }
    }
}

TEST_F(ZorvaneMigrate, TakesOverTheXmlClient) {
    const std::string oldUser = UserXml("alice", "pw");
    const std::string oldMethod = "<zorvane><update_method type=\"LAN\" data=\"00AABBCCDDEE\"/></zorvane>";
    const std::string oldList = UpdateListLine("h1.example", "OFFLINE");
    const std::string oldHosts = "<reply><result code=\"700\"><host name=\"h1.example\"/></result></reply>";
    const std::string url = "http://" + kService;
    const struct {
        const char* name;
        REGSAM view;
        bool trailingBackslash;  // of the Path value
        Files old;               // the old client's etc
        Files heldOpen;          // in the target before, and held open by another program meanwhile
        const wchar_t* rootName;
        Dest dest;
        Files files;
        std::vector<std::string> service;
        std::string run;
    } rows[] = {
        {"keys in the usual order, korea, sign-in on", KEY_WOW64_64KEY, false,
         {{"program.xml", Doc(Key("langauge", "korea") + Key("auto_login", "true") + Key("ip_update_period", "10") +
                              Key("auto_program_update", "false") + Key("program_update_period", "720") +
                              Key("nt_service", "true") + Key("auto_start", "false") +
                              Key("update_url", "http://old.example/update.php"))},
          {"user.xml", oldUser}, {"update_method.xml", oldMethod}, {"update_list.xml", oldList},
          {"host_list.xml", oldHosts}},
         {}, L"zv root", Dest::Target,
         {{"config.xml", Doc(Key("langauge", "korean") + Key("auto_login", "true") + Key("ip_update_period", "10") +
                             Key("auto_program_update", "false") + Key("program_update_period", "720") +
                             Key("nt_service", "true") + Key("auto_start", "false") +
                             Key("update_url", url + "/update.php") + Key("save_id", "true") +
                             Key("save_password", "true") + Key("ip_url", url + "/getip.php") +
                             Key("host_url", url + "/gethost.php"))},
          {"user.xml", oldUser}, {"update_method.xml", oldMethod}, {"update_list.xml", oldList},
          {"host_list.xml", oldHosts}},
         {" -install"}, " /start:ui"},
        {"keys in another order, sign-in off", KEY_WOW64_64KEY, true,
         {{"program.xml", Doc(Key("program_update_period", "60") + Key("auto_program_update", "false") +
                              Key("ip_update_period", "30") + Key("save_password", "true") +
                              Key("auto_login", "false") + Key("save_id", "true") + Key("langauge", "english") +
                              Key("host_url", "http://old.example/gethost.php") +
                              Key("ip_url", "http://old.example/getip.php") +
                              Key("update_url", "http://old.example/update.php"))},
          {"user.xml", oldUser}},
         {}, L"zv root", Dest::Target,
         {{"config.xml", Doc(Key("program_update_period", "60") + Key("auto_program_update", "false") +
                             Key("ip_update_period", "30") + Key("save_password", "false") +
                             Key("auto_login", "false") + Key("save_id", "false") + Key("langauge", "english") +
                             Key("host_url", url + "/gethost.php") + Key("ip_url", url + "/getip.php") +
                             Key("update_url", url + "/update.php"))},
          {"user.xml", UserXml("", "")}},
         {" -uninstall"}, kRunDeleted},
        {"keys missing, no user.xml, 32-bit view, without target: the installation's own etc", KEY_WOW64_32KEY, false,
         {{"program.xml", Doc(Key("auto_start", "true") + Key("langauge", "english"))}}, {}, L"root", Dest::OwnEtc,
         {{"config.xml", Doc(Key("auto_start", "true") + Key("langauge", "english") + Key("save_id", "false") +
                             Key("save_password", "false") + Key("ip_update_period", "5") +
                             Key("auto_program_update", "true") + Key("program_update_period", "1440") +
                             Key("update_url", url + "/update.php") + Key("ip_url", url + "/getip.php") +
                             Key("host_url", url + "/gethost.php"))},
          {"user.xml", UserXml("", "")}},
         {" -uninstall"}, " /start:autostart"},
        {"a target that does not exist", KEY_WOW64_64KEY, false,
         {{"program.xml", Doc(Key("nt_service", "true"))}, {"user.xml", oldUser}}, {}, L"zv root", Dest::MissingTarget,
         {}, {}, kRunUnchanged},
        {"a file that cannot be replaced keeps its old bytes whole", KEY_WOW64_64KEY, false,
         {{"program.xml", Doc(Key("langauge", "english") + Key("auto_start", "false"))}, {"user.xml", oldUser},
          {"host_list.xml", oldHosts}},
         {{"host_list.xml", "<reply><result code=\"700\"/></reply>"}}, L"zv root", Dest::Target,
         {{"config.xml", Doc(Key("langauge", "english") + Key("auto_start", "false") + Key("save_id", "false") +
                             Key("save_password", "false") + Key("ip_update_period", "5") +
                             Key("auto_program_update", "true") + Key("program_update_period", "1440") +
                             Key("update_url", url + "/update.php") + Key("ip_url", url + "/getip.php") +
                             Key("host_url", url + "/gethost.php"))},
          {"user.xml", oldUser}, {"host_list.xml", "<reply><result code=\"700\"/></reply>"}},
         {" -uninstall"}, kRunDeleted},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        MigrateRoot root(row.rootName);
        for (const auto& [name, bytes] : row.old) ztest::WriteBytes(root.XmlFolder() + L"\\etc\\" + W(name), bytes);
        WriteValues(row.view, kOldAppPathsKey, {{L"Path", root.XmlFolder() + (row.trailingBackslash ? L"\\" : L"")}});
        std::vector<UniqueFile> held;
        for (const auto& [name, bytes] : row.heldOpen) {
            const std::wstring path = root.Target() + L"\\" + W(name);
            ztest::WriteBytes(path, bytes);
            held.emplace_back(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(held.back()) << name;
        }
        EXPECT_EQ(root.Run(L"/migration" + TargetArgs(root, row.dest)), 0);
        held.clear();
        ExpectFiles(root, row.dest, row.files);
        EXPECT_EQ(FolderFiles(root.XmlFolder() + L"\\etc"), row.old);
        EXPECT_EQ(root.ServiceRuns(), row.service);
        EXPECT_EQ(RunValueAfter(root.Launcher()), row.run);
    }
}

TEST_F(ZorvaneMigrate, SetsTheLanguageOfItsOwnInstallation) {
    const std::string before = ConfigXml({{"log_level", "0"}});
    const struct {
        const char* name;
        std::wstring args;  // a target is added
        bool configThere;   // etc\config.xml with log level 0 before; otherwise none
        std::string after;
    } rows[] = {
        {"/lang, with the log level", L"/lang:english", true, ConfigXml({{"langauge", "english"}})},
        {"/lang wins over /migration", L"/migration /lang:english", true, ConfigXml({{"langauge", "english"}})},
        {"/lang without a value", L"/lang", true, ConfigXml({{"langauge", ""}})},
        {"no config.xml: the defaults with the language", L"/lang:english", false,
         ConfigXml({{"langauge", "english"}})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        MigrateRoot root;
        if (row.configThere) ztest::WriteBytes(root.Etc() + L"\\config.xml", before);
        // An older client that /lang leaves alone, and a target that it does not use.
        WriteValues(KEY_WOW64_64KEY, kOldClientKey, {{L"ProgramFolder", root.OldFolder()}, {L"isNTService", L"yes"}});
        EXPECT_EQ(root.Run(row.args + TargetArgs(root, Dest::Target)), 0);
        EXPECT_EQ(FolderFiles(root.Etc()), (Files{{"config.xml", row.after}}));
        EXPECT_EQ(FolderFiles(root.Target()), Files{});
        EXPECT_EQ(root.ServiceRuns(), std::vector<std::string>{});
        EXPECT_EQ(RunValueAfter(root.Launcher()), kRunUnchanged);
    }
}

TEST_F(ZorvaneMigrate, WithoutItsOptionsShowsTheUsageBox) {
    for (const wchar_t* args : {L"", L"/target:C:\\somewhere /dump"}) {
        SCOPED_TRACE(U(args));
        MigrateRoot root;
        WriteValues(KEY_WOW64_64KEY, kOldClientKey, {{L"ProgramFolder", root.OldFolder()}});
        const auto migrate = root.Start(args);
        HWND box = nullptr;
        ztest::WaitFor([&] {
            for (HWND window : ztest::ProcessWindows(migrate->id())) {
                if (ztest::IsDialog(window) && ztest::WindowText(window) == L"Zorvane - ERROR") box = window;
            }
            return box != nullptr;
        }, 20000);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ztest::WindowText(::GetDlgItem(box, 0xFFFF)), L"Usage: ZorvaneMigrate.exe [/dump | /restore]");
        ztest::WindowDriver(box).Command(IDOK);
        DWORD exitCode = 1;
        EXPECT_TRUE(migrate->Wait(20000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        ExpectFiles(root, Dest::Target, {});
        EXPECT_EQ(root.ServiceRuns(), std::vector<std::string>{});
        EXPECT_EQ(RunValueAfter(root.Launcher()), kRunUnchanged);
    }
}

}  // namespace
