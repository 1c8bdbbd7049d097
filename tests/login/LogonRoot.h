#pragma once
// A temporary installation root for ZorvaneLogon: bin\ with the built program and a stand-in ZorvaneHosts
// that records its command line and exits as scripted, lang\ with the shipped language files, etc\.
#include <windows.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace ztest {

// The three sign-in settings of config.xml.
struct RememberFlags {
    bool saveId = false;
    bool savePassword = false;
    bool autoLogin = false;
};
bool operator==(const RememberFlags& a, const RememberFlags& b);
std::ostream& operator<<(std::ostream& out, const RememberFlags& flags);

// user.xml as the tests write it and as the program keeps it after changing the two attributes. The texts
// are UTF-8 and already escaped for XML.
std::string UserXml(const std::string& id, const std::string& password);

class LogonRoot {
public:
    LogonRoot();

    std::wstring Bin(const std::wstring& name) const { return m_dir.path() + L"\\bin\\" + name; }
    std::wstring Etc(const std::wstring& name) const { return m_dir.path() + L"\\etc\\" + name; }
    std::wstring HostsPath() const { return Bin(L"ZorvaneHosts.exe"); }

    // config.xml from the default settings with this language and these flags.
    void WriteConfig(const RememberFlags& flags, const std::wstring& language = L"english") const;
    RememberFlags ReadFlags() const;
    void WriteUser(const std::string& id, const std::string& password) const;
    std::string ReadEtc(const std::wstring& name) const;

    // A fresh stand-in ZorvaneHosts with the script; what earlier runs recorded is forgotten.
    void ScriptHosts(const StandInScript& script) const { InstallStandIn(HostsPath(), script); }
    std::vector<StandInRun> HostsRuns() const { return StandInRuns(HostsPath()); }

    // Starts bin\ZorvaneLogon.exe with the arguments.
    std::unique_ptr<ChildProcess> Start(const std::wstring& args) const;

private:
    TempDir m_dir;
};

}  // namespace ztest
