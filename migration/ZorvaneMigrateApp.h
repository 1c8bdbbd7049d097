#pragma once
// ZorvaneMigrate: sets the language of its own installation (/lang:<name>), or takes over the settings,
// the account, the wanted hosts and the address method of an older client into the suite's etc files
// (/migration, optionally /target:<folder>) and sets up the service and the autostart value to match.
// It shows nothing but its usage box and always ends with 0.
#include <string>

#include "common/cmdline/CmdLineParser.h"
#include "common/framework/WinApp.h"
#include "common/registry/Registry.h"

class CZorvaneMigrateApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    // Which older client is installed.
    enum class OldInstall {
        None = 0,
        Registry = 2,  // kept everything in the registry, its hosts in data\ClientHost.dat
        XmlFiles = 3,  // kept XML files in its own etc folder, its settings in program.xml
    };

    // True when the option `lang` or `migration` is given.
    bool CheckCommandLine();
    void RunRequestedAction();
    void SetLanguage();
    // Looks for the registry-based client first, then the XML-based one, each in the registry's 64-bit
    // view and then in its 32-bit view; remembers the view or the folder it was found in.
    OldInstall DetectOldInstall();
    void MigrateFromRegistry();
    void MigrateFromXmlInstall();
    // The service and the autostart value as the migrated settings ask, for this program's installation.
    void ApplyStartupSettings();

    // A value of the registry-based client, empty when missing.
    std::wstring ReadOldSetting(const wchar_t* name) const;
    // Where the migrated files go, ending with a backslash: the `target` folder, or this installation's
    // own etc folder without one.
    std::wstring TargetFolder() const;

    CCmdLineParser m_cmdLine;
    RegistryView m_oldClientView = RegistryView::Bits64;
    std::wstring m_oldXmlFolder;  // the XML-based client's folder, ending with a backslash
};
