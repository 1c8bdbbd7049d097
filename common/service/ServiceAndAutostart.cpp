#include "common/service/ServiceAndAutostart.h"

#include <windows.h>

#include "common/process/Process.h"
#include "common/registry/Registry.h"

namespace {

constexpr wchar_t kServiceProgram[] = L"\\bin\\ZorvaneSvc.exe";
constexpr wchar_t kServiceProgramName[] = L"ZorvaneSvc.exe";
constexpr wchar_t kLauncherProgram[] = L"\\ZorvaneLaunch.exe";

}  // namespace

bool ApplyServiceAndAutostart(const std::wstring& root, bool ntService, bool autoStart, UninstallRun uninstall) {
    const std::wstring service = root + kServiceProgram;
    int ran;
    if (ntService) {
        ran = RunProgramWithArgs(service, L"-install", SW_HIDE, false);
    } else {
        KillProcessesByName(kServiceProgramName);
        const bool shown = uninstall == UninstallRun::ShownNoWait;
        ran = RunProgramWithArgs(service, L"-uninstall", shown ? SW_SHOW : SW_HIDE, shown);
    }

    std::wstring command = root + kLauncherProgram;
    if (ntService) command += L" /start:ui";
    if (autoStart) command += L" /start:autostart";
    const bool stored = ntService || autoStart ? CRegistry::WriteRunValue(command) : CRegistry::DeleteRunValue();
    return ran != kRunFailed && stored;
}
