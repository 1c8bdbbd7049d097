#include "login/ZorvaneLogonApp.h"

#include <commctrl.h>

#include "common/process/Process.h"
#include "common/suite/SuiteContract.h"
#include "login/ZorvaneLogonDlg.h"

BOOL CZorvaneLogonApp::InitInstance() {
    if (ClaimInstanceMutex(kZorvaneLogonMutex)) {
        // Another instance runs: it shows itself.
        CMainDialog::ReachFirstInstance(g_hSharedMainWnd, SecondStart::NotifyAndBringToFront);
        return FALSE;
    }
    // Not beside the configuration program, nor while a user is signed in.
    if (ProbeInstanceMutex(kZorvaneConfMutex)) return FALSE;
    if (ProbeInstanceMutex(kZorvaneAgentMutex)) return FALSE;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);
    SetRegistryKey(L"ZorvaneLogon");

    CZorvaneLogonDlg dialog;
    const INT_PTR result = RunMainDialog(dialog);
    SetExitCode(result == IDOK ? kZorvaneLogonSignedIn : kZorvaneLogonNotSignedIn);
    return FALSE;
}
