// Applying the settings: the one place where ZorvaneConf turns its settings into effects outside its own files
// (the service, the autostart value, the tray program, the saved account) and saves the documents the pages
// edit. It runs in full, in this order, on every change that a page reports.
#include <windows.h>

#include <string>

#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/datafiles/UserFile.h"
#include "common/process/Process.h"
#include "common/service/ServiceAndAutostart.h"
#include "common/settings/ConfigFile.h"
#include "common/sharedmem/SharedUserMemory.h"
#include "common/suite/SuiteContract.h"
#include "config/ZorvaneConfDlg.h"

namespace {

constexpr UINT kTrayCloseWaitMs = 5000;

// Starts the tray program, whose own second start only shows its icon again, or closes the running one by
// the caption of its hidden main window.
void ApplyTray(const std::wstring& root, bool show) {
    if (show) {
        RunProgram(root + kBinFolder + kZorvaneTrayFile, SW_SHOW, true);
    } else if (HWND tray = ::FindWindowW(nullptr, kZorvaneTrayCaption)) {
        // A window of that caption that hangs must not hang this program with it.
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(tray, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kTrayCloseWaitMs, &result);
    }
}

// The account user.xml keeps: the signed-in one from the shared block, or, when nobody is signed in (no block,
// or an empty ID), the one it holds already, so that an apply after a sign-out never erases it. Each field only
// while its save setting is on.
void CopySavedAccount(CSharedUserMemory& shared, bool saveId, bool savePassword) {
    CUserFile* user = CUserFile::GetInstance();
    const bool signedIn = shared.Open() && !shared.GetId().empty();
    // The one it holds is the file's as it stands now: the sign-in may have written it since the start.
    if (!signedIn && !user->GetPath().empty()) user->Load(user->GetPath());
    std::wstring id = user->GetId();
    std::wstring password = user->GetPassword();
    if (signedIn) {
        id = shared.GetId();
        password = shared.GetPassword();
    }
    user->SetId(saveId ? id : std::wstring());
    user->SetPassword(savePassword ? password : std::wstring());
}

}  // namespace

void CZorvaneConfDlg::ApplySettings() {
    CConfigFile* config = CConfigFile::GetInstance();
    const std::wstring root = GetInstallRoot();

    // The service installer (waited for) or uninstaller, then the autostart value by the two settings.
    ApplyServiceAndAutostart(root, config->GetNtService(), config->GetAutoStart(), UninstallRun::ShownNoWait);
    ApplyTray(root, config->GetShowSystemTray());
    CSharedUserMemory shared;
    CopySavedAccount(shared, config->GetSaveId(), config->GetSavePassword());
    config->SetSelectedMenu(m_tab.GetCurSel());

    CUserFile::GetInstance()->Save();
    config->Save();
    CUpdateListFile::GetInstance()->Save();
    CUpdateMethodFile::GetInstance()->Save();
    m_busy = false;

    if (m_restart) RunProgramWithArgs(root + kZorvaneLaunchFile, kLaunchRestartNormal, SW_SHOW, true);
    shared.Close();
}
