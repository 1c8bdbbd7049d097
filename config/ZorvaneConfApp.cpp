#include "config/ZorvaneConfApp.h"

#include <commctrl.h>

#include "common/process/Process.h"
#include "common/suite/SuiteContract.h"
#include "config/ZorvaneConfDlg.h"

BOOL CZorvaneConfApp::InitInstance() {
    if (ClaimInstanceMutex(kZorvaneConfMutex)) {
        // Nothing happens when the first instance has not shown its window yet.
        CMainDialog::ReachFirstInstance(g_hSharedMainWnd, SecondStart::BringToFront);
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    // The eight classes of list view to animation, and the IP address control of the IP page.
    controls.dwICC = 0xFF | ICC_INTERNET_CLASSES;
    ::InitCommonControlsEx(&controls);
    SetRegistryKey(L"Zorvane");

    // Nothing is saved at the end: every change was saved when it was made.
    CZorvaneConfDlg dialog;
    RunMainDialog(dialog);
    return FALSE;
}
