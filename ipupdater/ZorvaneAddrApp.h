#pragma once
// ZorvaneAddr: one address update from start to end, then the process ends with an exit code.
#include <string>

#include "common/cmdline/CmdLineParser.h"
#include "common/framework/WinApp.h"

class CZorvaneAddrApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    void LoadDataFiles();
    void CheckCommandLine();
    void DetectCurrentIp();
    void CollectHostChanges();
    [[noreturn]] void SendUpdateAndExit();

    std::wstring m_currentIp;
    CCmdLineParser m_cmdLine;
};
