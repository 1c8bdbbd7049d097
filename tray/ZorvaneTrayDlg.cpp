#include "tray/ZorvaneTrayDlg.h"

#include "common/app/AppStartup.h"
#include "common/app/ProgramBox.h"
#include "common/framework/SharedSection.h"
#include "common/framework/WinApp.h"
#include "common/language/LangTable.h"
#include "common/process/Process.h"
#include "tray/resource.h"

ZORVANE_SHARED HWND g_hSharedMainWnd = nullptr;

namespace {

constexpr UINT kExitQuestion = MB_YESNO | MB_ICONQUESTION;
constexpr UINT kBalloonSeconds = 10;

}  // namespace

CZorvaneTrayDlg::CZorvaneTrayDlg() : CMainDialog(IDD_ZORVANETRAY_DIALOG, g_hSharedMainWnd, IDR_MAINFRAME) {}

void CZorvaneTrayDlg::PreparePopup(CSystemTray& tray, bool signedIn) {
    tray.SetMenuResource(signedIn ? IDR_MENU_SIGNED_IN : IDR_MENU_SIGNED_OUT);
    tray.SetDefaultMenuItem(signedIn ? ID_MENU_DDNS_CONFIG : ID_MENU_LOGIN, false);
}

void CZorvaneTrayDlg::DeclareMessageMap(MessageMap& map) {
    CMainDialog::DeclareMessageMap(map);  // WM_PAINT, WM_QUERYDRAGICON, WM_WINDOWPOSCHANGING
    map.OnMessage(UWM_TRAY_CALLBACK, &CZorvaneTrayDlg::OnTrayCallback);
    map.OnMessage(UWM_SECOND_INSTANCE, &CZorvaneTrayDlg::OnSecondInstance);
    map.OnMessage(WM_DESTROY, &CZorvaneTrayDlg::OnDestroy);
    map.OnMessage(WM_CLOSE, &CZorvaneTrayDlg::OnClose);
    map.OnCommand(0, ID_MENU_EXIT, &CZorvaneTrayDlg::OnMenuExit);
    map.OnCommand(0, ID_MENU_DDNS_CONFIG, &CZorvaneTrayDlg::OnMenuDdnsConfig);
    map.OnCommand(0, ID_MENU_PREFS, &CZorvaneTrayDlg::OnMenuPrefs);
    map.OnCommand(0, ID_MENU_SERVICES, &CZorvaneTrayDlg::OnMenuServices);
    map.OnCommand(0, ID_MENU_HOME_PAGE, &CZorvaneTrayDlg::OnMenuHomePage);
    map.OnCommand(0, ID_MENU_PROGRAM_INFORMATION, &CZorvaneTrayDlg::OnMenuProgramInformation);
    map.OnCommand(0, ID_MENU_PROGRAM_UPDATE, &CZorvaneTrayDlg::OnMenuProgramUpdate);
    map.OnCommand(0, ID_MENU_LOGIN, &CZorvaneTrayDlg::OnMenuLogin);
    map.OnCommand(0, ID_MENU_LOGOUT, &CZorvaneTrayDlg::OnMenuLogout);
}

BOOL CZorvaneTrayDlg::OnInitDialog() {
    CMainDialog::OnInitDialog();  // icons, g_hSharedMainWnd
    // A second start may run with lower rights than an elevated tray (started by the configuration program).
    ::ChangeWindowMessageFilterEx(m_hWnd, UWM_SECOND_INSTANCE, MSGFLT_ALLOW, nullptr);
    if (!LoadDataFiles()) {
        EndAtStartUp();
        return TRUE;
    }
    CreateTrayIcon();
    m_cmdLine.ParseLine(::GetCommandLineW());  // no option is used
    return TRUE;
}

bool CZorvaneTrayDlg::LoadDataFiles() {
    const CAppStartup startup = CAppStartup::WithBoxes(m_hWnd);
    if (!startup.LoadConfig() || !startup.LoadLanguage()) return false;
    LoadProgramBoxCaptions();
    return true;
}

void CZorvaneTrayDlg::CreateTrayIcon() {
    // The notification area shows small icons; a shared one needs no destroying.
    const HICON icon = static_cast<HICON>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                       IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                       ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    m_tray = std::make_unique<CMultiLangSystemTray>();
    m_tray->SetTargetWnd(m_hWnd);
    // A refused add is made again when the shell announces itself.
    m_tray->CreateIcon(this, CLangTable::GetInstance()->GetText(L"general", L"title"), icon ? icon : m_hIcon,
                       kTrayIconId, false, L"", L"", NIIF_NONE, kBalloonSeconds);
    m_tray->SetDefaultMenuItem(ID_MENU_DDNS_CONFIG, false);
}

void CZorvaneTrayDlg::OnDestroy() {
    Default();
    m_tray.reset();  // removes the icon
}

LRESULT CZorvaneTrayDlg::OnSecondInstance(WPARAM, LPARAM) {
    if (m_tray) {
        m_tray->HideTrayIcon();
        m_tray->ShowTrayIcon();
    }
    return 1;
}

LRESULT CZorvaneTrayDlg::OnTrayCallback(WPARAM id, LPARAM mouseMessage) {
    if (!m_tray) return 0;
    switch (LOWORD(mouseMessage)) {
        case WM_LBUTTONDBLCLK:
            // Not handed on: the icon class would post its default command as well.
            StartCommand(IsSignedIn() ? &RunConfThread : &LoginThread);
            return 1;
        case WM_RBUTTONUP:
            PreparePopup(*m_tray, IsSignedIn());
            return m_tray->OnIconNotify(id, mouseMessage);
        default:
            return m_tray->OnIconNotify(id, mouseMessage);
    }
}

void CZorvaneTrayDlg::StartCommand(int (*body)(const TrayPaths&)) {
    const TrayPaths paths{GetModuleFolder(), GetInstallRoot()};
    m_tasks.Start(0, TaskMode::Beside, [body, paths](const TaskStop&) { return body(paths); }, [](int) {});
}

void CZorvaneTrayDlg::OnMenuExit() {
    if (m_askingExit) return;  // asked once at a time
    m_askingExit = true;
    const int answer = ShowLanguageBox(m_hWnd, L"question", L"exit", kExitQuestion);
    m_askingExit = false;
    if (answer != IDYES) return;
    StopLauncher(TrayPaths{GetModuleFolder(), GetInstallRoot()});
    EndDialog(IDOK);
}
