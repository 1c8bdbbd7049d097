#include "selfupdate/ZorvanePatchApp.h"

#include <windows.h>

#include "common/app/AppStartup.h"
#include "common/app/ProgramBox.h"
#include "common/cmdline/CmdLineParser.h"
#include "common/process/Process.h"
#include "common/settings/ConfigFile.h"
#include "common/suite/SuiteContract.h"
#include "common/worker/WorkerRun.h"

namespace {

constexpr wchar_t kCheckParameters[] = L"-checkforupdates";
constexpr wchar_t kHiddenParameters[] = L"-mode hidden";
constexpr wchar_t kAskedParameters[] = L"";

}  // namespace

BOOL CZorvanePatchApp::InitInstance() {
    if (ClaimInstanceMutex(kZorvanePatchMutex)) return FALSE;  // another instance runs

    const CAppStartup startup = CAppStartup::WithBoxes(nullptr);
    if (!startup.LoadConfig() || !startup.LoadLanguage()) return FALSE;
    m_root = startup.Root();
    startup.OpenLog();
    LoadProgramBoxCaptions();

    const CCmdLineParser cmdLine(::GetCommandLineW());
    const std::wstring mode = cmdLine.HasOption(L"mode") ? cmdLine.GetOptionValue(L"mode") : L"auto";
    if (mode == L"manual") {
        RunManualUpdate();
    } else {
        RunAutoUpdate();
    }
    return FALSE;
}

void CZorvanePatchApp::RunManualUpdate() {
    LogInfo(L"check_program");
    if (!CheckForNewerVersion()) {
        LogInfo(L"not_exist_new_program");
        ShowLanguageBox(nullptr, L"information", L"update", MB_OK | MB_ICONINFORMATION);
        return;
    }
    LogInfo(L"exist_new_program");
    if (ShowLanguageBox(nullptr, L"question", L"update", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        LogInfo(L"cancel_update_program");
        return;
    }
    LogInfo(L"update_program");
    StartUpdate(kAskedParameters);
}

void CZorvanePatchApp::RunAutoUpdate() {
    LogInfo(L"check_program");
    if (!CheckForNewerVersion()) {
        LogInfo(L"not_exist_new_program");
        return;
    }
    LogInfo(L"exist_new_program");
    if (AskCondition() &&
        ShowLanguageBox(nullptr, L"question", L"update", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        LogInfo(L"cancel_update_program");
        return;
    }
    LogInfo(L"update_program");
    // Asked again: a program may have started or ended while the question was open.
    StartUpdate(AskCondition() ? kAskedParameters : kHiddenParameters);
}

// By its whole path: a bare name would have the shell look for another program of that name elsewhere when
// the installation's own is missing.
std::wstring CZorvanePatchApp::UpdaterPath() const { return m_root + kUpdaterFolder + kUpdaterFile; }

bool CZorvanePatchApp::CheckForNewerVersion() const {
    // A check that cannot run (-1) counts as no newer version.
    return ShellRunProgram(m_root + kUpdaterFolder, UpdaterPath(), kCheckParameters, SW_HIDE, false) ==
           kUpdaterNewerVersion;
}

bool CZorvanePatchApp::AskCondition() const {
    // While the information window or the configuration program runs, the user is asked first.
    return CConfigFile::GetInstance()->GetProgramUpdateMode() == L"alert" || ProbeInstanceMutex(kZorvaneAboutMutex) ||
           ProbeInstanceMutex(kZorvaneConfMutex);
}

void CZorvanePatchApp::StartUpdate(const std::wstring& parameters) const {
    if (ShellRunProgram(m_root + kUpdaterFolder, UpdaterPath(), parameters, SW_SHOW, true) == kRunFailed) {
        return;  // with nothing to install, stopping the suite would leave nothing to restart it
    }
    RunProgramWithArgs(m_root + kZorvaneLaunchFile, kLaunchStop, SW_SHOW, true);
}
