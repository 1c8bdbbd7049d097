#include "login/ZorvaneLogonApp.h"

#include <commctrl.h>

#include "common/process/Process.h"
#include "login/ZorvaneLogonDlg.h"

namespace {

constexpr wchar_t kMutexName[] = L"ZorvaneDDNSClinet-ZorvaneLogon";
// The configuration program, and the outside component that runs while a user is signed in.
constexpr wchar_t kConfigMutexName[] = L"ZorvaneDDNSClinet-ZorvaneConf";
constexpr wchar_t kAgentMutexName[] = L"ZorvaneDDNSClinet-ZorvaneAgent";

constexpr int kExitSignedIn = 2;
constexpr int kExitNoSignIn = 0;

}  // namespace

BOOL CZorvaneLogonApp::InitInstance() {
    if (ClaimInstanceMutex(kMutexName)) {
        // Another instance runs: it shows itself.
        CMainDialog::ReachFirstInstance(g_hSharedMainWnd, SecondStart::NotifyAndBringToFront);
        return FALSE;
    }
    if (ProbeInstanceMutex(kConfigMutexName)) return FALSE;
    if (ProbeInstanceMutex(kAgentMutexName)) return FALSE;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);
    SetRegistryKey(L"ZorvaneLogon");

    CZorvaneLogonDlg dialog;
    const INT_PTR result = RunMainDialog(dialog);
    SetExitCode(result == IDOK ? kExitSignedIn : kExitNoSignIn);
    return FALSE;
}
