#include "tray/ZorvaneTrayApp.h"

#include <commctrl.h>

#include "common/process/Process.h"
#include "common/suite/SuiteContract.h"
#include "tray/ZorvaneTrayDlg.h"

BOOL CZorvaneTrayApp::InitInstance() {
    if (ClaimInstanceMutex(kZorvaneTrayMutex)) {
        // Another instance runs: it adds its icon again.
        CMainDialog::ReachFirstInstance(g_hSharedMainWnd, SecondStart::Notify);
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);
    SetRegistryKey(L"Zorvane");

    CZorvaneTrayDlg dialog;
    RunMainDialog(dialog);
    return FALSE;
}
