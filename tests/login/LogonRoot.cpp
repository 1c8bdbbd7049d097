#include "tests/login/LogonRoot.h"

#include <gtest/gtest.h>

#include "common/fs/File.h"
#include "common/settings/ConfigFile.h"

namespace ztest {

bool operator==(const RememberFlags& a, const RememberFlags& b) {
    return a.saveId == b.saveId && a.savePassword == b.savePassword && a.autoLogin == b.autoLogin;
}

std::ostream& operator<<(std::ostream& out, const RememberFlags& flags) {
    return out << "{save_id " << flags.saveId << ", save_password " << flags.savePassword << ", auto_login "
               << flags.autoLogin << "}";
}

std::string UserXml(const std::string& id, const std::string& password) {
    return "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<user id=\"" + id + "\" password=\"" + password +
           "\"/>\r\n</zorvane>\r\n";
}

LogonRoot::LogonRoot() {
    for (const wchar_t* folder : {L"bin", L"lang", L"etc"}) EXPECT_TRUE(zfs::CreateDirectoryOne(m_dir / folder));
    CopyProgram(BinaryDir() + L"\\bin\\ZorvaneLogon.exe", Bin(L"ZorvaneLogon.exe"));
    for (const wchar_t* language : {L"korean.xml", L"english.xml"}) {
        CopyProgram(SourceDir() + L"\\lang\\" + language, m_dir / (std::wstring(L"lang\\") + language));
    }
    ScriptHosts({});
    WriteConfig({});
    WriteUser("", "");
}

void LogonRoot::WriteConfig(const RememberFlags& flags, const std::wstring& language) const {
    CConfigFile* config = CConfigFile::GetInstance();
    ASSERT_TRUE(config->WriteDefault(Etc(L"config.xml")));
    config->SetLanguage(language);
    config->SetSaveId(flags.saveId);
    config->SetSavePassword(flags.savePassword);
    config->SetAutoLogin(flags.autoLogin);
    ASSERT_TRUE(config->Save());
}

RememberFlags LogonRoot::ReadFlags() const {
    CConfigFile* config = CConfigFile::GetInstance();
    EXPECT_TRUE(config->Load(Etc(L"config.xml")));
    return {config->GetSaveId(), config->GetSavePassword(), config->GetAutoLogin()};
}

void LogonRoot::WriteUser(const std::string& id, const std::string& password) const {
    WriteBytes(Etc(L"user.xml"), UserXml(id, password));
}

std::string LogonRoot::ReadEtc(const std::wstring& name) const {
    std::string bytes;
    std::wstring error;
    return zfs::ReadFileBytes(Etc(name), bytes, error) ? bytes : std::string("<missing>");
}

std::unique_ptr<ChildProcess> LogonRoot::Start(const std::wstring& args) const {
    return std::make_unique<ChildProcess>(Bin(L"ZorvaneLogon.exe"), args);
}

}  // namespace ztest
