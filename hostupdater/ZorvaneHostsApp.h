#pragma once
// ZorvaneHosts: fetches the user's host list into etc\host_list.xml and ends with the service's result code.
#include "common/cmdline/CmdLineParser.h"
#include "common/framework/WinApp.h"

class CZorvaneHostsApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    void LoadDataFiles();
    void CheckCommandLine();
    [[noreturn]] void FetchHostListAndExit();

    CCmdLineParser m_cmdLine;
};
