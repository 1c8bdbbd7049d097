#include "tests/config/ConfRoot.h"

#include <gtest/gtest.h>

#include "common/fs/File.h"
#include "common/text/Utf.h"

namespace ztest {
namespace {

// The keys the program looks up, by section.
const struct {
    const char* section;
    std::vector<const char*> keys;
} kTestTexts[] = {
    {"general",
     {"title", "ok", "cancel", "yes", "no", "close", "logout", "help", "minute", "hour", "day", "host", "insert",
      "delete", "ip", "status", "lan", "mac", "loading"}},
    {"question", {"title", "logout"}},
    {"information", {"title", "not_support_vista", "select_host", "select_lan", "private_ip"}},
    {"error", {"title", "not_connect_server", "private_ip", "too_many_update", "update_fail"}},
    {"host_config",
     {"title", "all_host_list_title", "update_host_list_title", "refresh_host_list", "description_title",
      "description", "wait_refresh_title", "wait_refresh_message"}},
    {"ip_config",
     {"title", "update_list_title", "empty_update_list", "update_method_title", "internet_ip_title",
      "internet_ip_description", "lan_ip_title", "lan_ip_description", "direct_ip_title", "update_ip",
      "wait_update_title", "wait_update_message"}},
    {"program_config",
     {"title", "program_start_title", "auto_start", "nt_service", "show_ddns_config", "login_title", "save_id",
      "save_password", "auto_login", "system_tray_title", "show_system_tray", "ip_update_title", "ip_update_period",
      "program_update_title", "auto_program_update", "hidden_program_update", "alert_program_update"}},
    {"log_view", {"title"}},
};

std::string TestLanguageXml() {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n";
    for (const auto& section : kTestTexts) {
        xml += std::string("<") + section.section + ">";
        for (const char* key : section.keys) {
            xml += std::string("<") + key + ">" + section.section + "/" + key + "</" + key + ">";
        }
        xml += std::string("</") + section.section + ">\r\n";
    }
    return xml + "</zorvane>\r\n";
}

}  // namespace

ConfRoot::ConfRoot(const std::wstring& name) : m_root(m_dir / name) {
    EXPECT_TRUE(zfs::CreateDirectoryOne(m_root));
    for (const wchar_t* folder : {L"bin", L"lang", L"etc", L"log"}) {
        EXPECT_TRUE(zfs::CreateDirectoryOne(m_root + L"\\" + folder));
    }
    CopyProgram(BinaryDir() + L"\\bin\\ZorvaneConf.exe", Bin(L"ZorvaneConf.exe"));
    for (const std::wstring& standIn :
         {Service(), Tray(), Bin(L"ZorvaneAddr.exe"), Bin(L"ZorvaneHosts.exe"), Launcher()}) {
        InstallStandIn(standIn);
    }
    WriteBytes(m_root + L"\\lang\\testlang.xml", TestLanguageXml());
    for (const wchar_t* language : {L"korean.xml", L"english.xml"}) {
        CopyProgram(SourceDir() + L"\\lang\\" + language, m_root + L"\\lang\\" + language);
    }
    WriteConfig();
}

std::string ConfRoot::WriteConfig(const ConfigEdit& edit, const std::wstring& language) const {
    CConfigFile config;
    EXPECT_TRUE(config.WriteDefault(Etc(L"config.xml")));
    config.SetLanguage(language);
    // No test asks a name of a DNS server: the internet address comes from loopback, refused unless a test
    // points it at a stand-in service.
    config.SetIpUrl(kNoInternetIpUrl);
    if (edit) edit(config);
    EXPECT_TRUE(config.Save());
    return ReadEtc(L"config.xml");
}

void ConfRoot::WriteEtc(const std::wstring& name, const std::string& bytes) const { WriteBytes(Etc(name), bytes); }

std::string ConfRoot::ReadEtc(const std::wstring& name) const {
    std::string bytes;
    std::wstring error;
    return zfs::ReadFileBytes(Etc(name), bytes, error) ? bytes : std::string("<missing>");
}

std::unique_ptr<ChildProcess> ConfRoot::Start() const {
    return std::make_unique<ChildProcess>(Bin(L"ZorvaneConf.exe"));
}

ConfigModel::ConfigModel(const std::wstring& path) { EXPECT_TRUE(m_config.Load(path)); }

void ConfigModel::Change(const ConfigEdit& edit) {
    if (edit) edit(m_config);
}

std::string ConfigModel::Bytes() const { return WideToUtf8(m_config.GetDoc().GetText()); }

}  // namespace ztest
