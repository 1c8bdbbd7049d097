// The bodies of the tray's commands. Each runs on a thread of its own with copies of the paths, so it may
// still run when the dialog has gone; it touches nothing but those copies and the mutexes it probes.
#include <windows.h>

#include "common/process/Process.h"
#include "common/settings/ServiceHost.h"
#include "common/suite/SuiteContract.h"
#include "tray/ZorvaneTrayDlg.h"

namespace {

constexpr int kShow = SW_SHOW;

std::wstring Launcher(const TrayPaths& paths) { return paths.root + kZorvaneLaunchFile; }

}  // namespace

bool CZorvaneTrayDlg::IsSignedIn() { return ProbeInstanceMutex(kZorvaneAgentMutex); }

int CZorvaneTrayDlg::RunConfThread(const TrayPaths& paths) {
    return RunProgram(paths.folder + kZorvaneConfFile, kShow, false);
}

int CZorvaneTrayDlg::RunAboutThread(const TrayPaths& paths) {
    if (ProbeInstanceMutex(kZorvaneAboutMutex)) return 0;  // already open
    return RunProgram(paths.folder + kZorvaneAboutFile, kShow, false);
}

int CZorvaneTrayDlg::RunPatchThread(const TrayPaths& paths) {
    return RunProgramWithArgs(paths.folder + kZorvanePatchFile, L"/mode:manual", kShow, false);
}

int CZorvaneTrayDlg::OpenHomePageThread(const TrayPaths&) {
    return OpenWithShell(DefaultServiceUrl(L"/"));
}

int CZorvaneTrayDlg::LogoutThread(const TrayPaths& paths) {
    return RunProgramWithArgs(Launcher(paths), kLaunchStopLogout, kShow, false);
}

int CZorvaneTrayDlg::LoginThread(const TrayPaths& paths) {
    if (ProbeInstanceMutex(kZorvaneAgentMutex)) return 0;  // signed in meanwhile
    // The login manager runs, perhaps hidden in its automatic sign-in: a second one brings it to the front.
    if (ProbeInstanceMutex(kZorvaneLogonMutex)) {
        return RunProgramWithArgs(paths.root + kBinFolder + kZorvaneLogonFile, L"/mode:auto", kShow, false);
    }
    if (ProbeInstanceMutex(kZorvaneLaunchMutex)) return 0;  // the launcher is at it
    return RunProgramWithArgs(Launcher(paths), kLaunchStartLogin, kShow, false);
}

int CZorvaneTrayDlg::RunPrefsThread(const TrayPaths& paths) {
    return RunProgram(paths.folder + kZorvanePrefsFile, kShow, false);
}

int CZorvaneTrayDlg::OpenServicesThread(const TrayPaths&) { return OpenWithShell(L"services.msc", L"/s"); }

void CZorvaneTrayDlg::StopLauncher(const TrayPaths& paths) {
    RunProgramWithArgs(Launcher(paths), kLaunchStopNormal, kShow, true);
}
