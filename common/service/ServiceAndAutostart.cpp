#include "common/service/ServiceAndAutostart.h"

#include <windows.h>

#include "common/process/Process.h"
#include "common/registry/Registry.h"
#include "common/suite/SuiteContract.h"

bool ApplyServiceAndAutostart(const std::wstring& root, bool ntService, bool autoStart, UninstallRun uninstall) {
    const std::wstring service = root + kBinFolder + kZorvaneSvcFile;
    int ran;
    if (ntService) {
        ran = RunProgramWithArgs(service, L"-install", SW_HIDE, false);
    } else {
        KillProcessesByName(kZorvaneSvcProcessName);
        const bool shown = uninstall == UninstallRun::ShownNoWait;
        ran = RunProgramWithArgs(service, L"-uninstall", shown ? SW_SHOW : SW_HIDE, shown);
    }

    std::wstring command = root + kZorvaneLaunchFile;
    if (ntService) command.append(L" ").append(kLaunchStartUi);
    if (autoStart) command.append(L" ").append(kLaunchStartAutostart);
    const bool stored = ntService || autoStart ? CRegistry::WriteRunValue(command) : CRegistry::DeleteRunValue();
    return ran != kRunFailed && stored;
}
