#include "config/ZorvaneConfDlg.h"

#include "common/app/AppStartup.h"
#include "common/app/ProgramBox.h"
#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/datafiles/UpdateResultFile.h"
#include "common/datafiles/UserFile.h"
#include "common/framework/SharedSection.h"
#include "common/language/LangTable.h"
#include "common/process/Process.h"
#include "common/settings/ConfigFile.h"
#include "common/settings/ServiceHost.h"
#include "common/suite/SuiteContract.h"
#include "common/ui/TextTable.h"
#include "config/ZorvaneDlg.h"
#include "config/pages/ZorvaneHMDlg.h"
#include "config/pages/ZorvaneIMDlg.h"
#include "config/pages/ZorvaneLVDlg.h"
#include "config/pages/ZorvanePrefsDlg.h"
#include "config/resource.h"

ZORVANE_SHARED HWND g_hSharedMainWnd = nullptr;

namespace {

constexpr wchar_t kHelpPath[] = L"/help/wiki/wiki.php/AboutDDNSHelp";
// The show value the help page is opened with.
constexpr int kHelpShow = 64;

constexpr int kStartWidth = 600;
constexpr int kStartHeight = 670;
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 560;
constexpr COLORREF kIconMask = RGB(255, 0, 255);

const TextRow kTexts[] = {
    {kDialogCaption, L"general", L"title"},
    {IDOK, L"general", L"close"},
    {IDC_BUTTON_LOGOUT, L"general", L"logout"},
    {IDC_BUTTON_HELP, L"general", L"help"},
};

// The tabs in page order: their icon and the language section whose "title" they show.
const struct {
    UINT bitmap;
    const wchar_t* section;
} kTabs[] = {
    {IDB_HOST_CONFIG, L"host_config"},
    {IDB_IP_CONFIG, L"ip_config"},
    {IDB_PROGRAM_CONFIG, L"program_config"},
    {IDB_LOG_VIEW, L"log_view"},
};

}  // namespace

CZorvaneConfDlg::CZorvaneConfDlg() : CMainDialog(IDD_ZORVANECONF_DIALOG, g_hSharedMainWnd, IDR_MAINFRAME) {}

CZorvaneConfDlg::~CZorvaneConfDlg() = default;

void CZorvaneConfDlg::DoDataExchange(CDataExchange* dx) {
    CMainDialog::DoDataExchange(dx);
    dx->Bind(IDC_TAB_MAIN, m_tab);
    dx->Bind(IDOK, m_closeButton);
    dx->Bind(IDC_BUTTON_LOGOUT, m_logoutButton);
    dx->Bind(IDC_BUTTON_HELP, m_helpButton);
}

void CZorvaneConfDlg::DeclareMessageMap(MessageMap& map) {
    CMainDialog::DeclareMessageMap(map);  // WM_PAINT, WM_QUERYDRAGICON, WM_WINDOWPOSCHANGING
    map.OnMessage(WM_DESTROY, &CZorvaneConfDlg::OnDestroy);
    map.OnNotify(TCN_SELCHANGE, IDC_TAB_MAIN, &CZorvaneConfDlg::OnTcnSelchangeTab);
    map.OnCommand(BN_CLICKED, IDOK, &CZorvaneConfDlg::OnBnClickedOk);
    map.OnCommand(BN_CLICKED, IDCANCEL, &CZorvaneConfDlg::OnBnClickedCancel);
    map.OnMessage(UWM_SETTING_MODIFIED, &CZorvaneConfDlg::OnSettingModified);
    map.OnMouse(WM_MOUSEMOVE, &CZorvaneConfDlg::OnMouseMove);
    map.OnSize(&CZorvaneConfDlg::OnSize);
    map.OnMessage(WM_SYSCOMMAND, &CZorvaneConfDlg::OnSysCommand);
    map.OnCommand(BN_CLICKED, IDC_BUTTON_LOGOUT, &CZorvaneConfDlg::OnBnClickedLogout);
    map.OnGetMinMaxInfo(&CZorvaneConfDlg::OnGetMinMaxInfo);
    map.OnCommand(BN_CLICKED, IDC_BUTTON_HELP, &CZorvaneConfDlg::OnBnClickedHelp);
}

BOOL CZorvaneConfDlg::OnInitDialog() {
    CMainDialog::OnInitDialog();  // icons, g_hSharedMainWnd
    m_cmdLine.ParseLine(::GetCommandLineW());  // no option is used
    std::wstring failure;
    if (!LoadDataFiles(failure)) {
        // Marked as ending before the box shows, so that a second start meanwhile cannot show the window.
        EndAtStartUp([this, &failure] { ShowErrorBox(m_hWnd, failure); });
        return FALSE;
    }
    CreatePages();
    InitControls();
    return TRUE;
}

bool CZorvaneConfDlg::LoadDataFiles(std::wstring& failure) {
    const CAppStartup startup = CAppStartup::Silent();
    if (!startup.LoadConfig() || !startup.LoadLanguage()) {
        failure = startup.FailureText();
        return false;
    }
    LoadProgramBoxCaptions();
    // Each loader replaces a missing or damaged file by its default (host_list.xml has none).
    CUpdateListFile::GetInstance()->Load(startup.EtcPath(L"update_list.xml"));
    CUpdateMethodFile::GetInstance()->Load(startup.EtcPath(L"update_method.xml"));
    CHostListFile::GetInstance()->Load(startup.EtcPath(L"host_list.xml"));
    CUserFile::GetInstance()->Load(startup.EtcPath(L"user.xml"));
    CUpdateResultFile::GetInstance()->Load(startup.EtcPath(L"update_result.xml"));
    startup.OpenLog();
    return true;
}

void CZorvaneConfDlg::CreatePages() {
    m_pages[kHostPage] = std::make_unique<CZorvaneHMDlg>(this);
    m_pages[kIpPage] = std::make_unique<CZorvaneIMDlg>(this);
    m_pages[kSettingsPage] = std::make_unique<CZorvanePrefsDlg>(this);
    m_pages[kLogPage] = std::make_unique<CZorvaneLVDlg>(this);
    const UINT ids[] = {CZorvaneHMDlg::IDD, CZorvaneIMDlg::IDD, CZorvanePrefsDlg::IDD, CZorvaneLVDlg::IDD};
    for (int i = 0; i < kPageCount; ++i) {
        // Each page has its texts and contents once this returns; it stays hidden until its tab shows it.
        m_pages[i]->Create(ids[i], this);
        if (m_pages[i]->m_hWnd) ::SetWindowLongPtrW(m_pages[i]->m_hWnd, GWLP_ID, static_cast<LONG_PTR>(ids[i]));
    }
}

void CZorvaneConfDlg::InitControls() {
    SetDialogTexts(m_hWnd, kTexts);

    m_images.Create(24, 24, ILC_COLOR24 | ILC_MASK, 2, 2);
    for (const auto& tab : kTabs) m_images.AddMasked(tab.bitmap, kIconMask);
    m_tab.SetPadding(8, 8);
    m_tab.SetImageList(m_images);
    CLangTable* texts = CLangTable::GetInstance();
    for (int i = 0; i < kPageCount; ++i) m_tab.InsertItem(i, texts->GetText(kTabs[i].section, L"title"), i);

    m_waitCursor = ::LoadCursorW(nullptr, IDC_WAIT);
    MoveWindow(0, 0, kStartWidth, kStartHeight);

    // A value that names no tab leaves the selection as it is and shows the log page. The tab control itself
    // would take -1 and select no tab at all, which the next apply would store.
    const int selected = CConfigFile::GetInstance()->GetSelectedMenu();
    const bool known = selected >= 0 && selected < kPageCount;
    if (known) m_tab.SetCurSel(selected);
    ShowPage(known ? selected : kLogPage);
}

void CZorvaneConfDlg::ShowPage(int index) {
    // Showing a page is what makes it reload what it shows.
    for (int i = 0; i < kPageCount; ++i) {
        if (i != index && m_pages[i]) m_pages[i]->ShowWindow(SW_HIDE);
    }
    if (m_pages[index]) m_pages[index]->ShowWindow(SW_SHOW);
}

void CZorvaneConfDlg::OnDestroy() {
    // A cell editor still open (the window closed by Alt+F4) reports its change when it loses the focus; the
    // dialog's loop has ended, so the change it posted is applied here, while the pages and the tab still live.
    ::SetFocus(nullptr);
    WPARAM restart = 0;
    if (TakePendingSettingChanges(m_hWnd, restart)) OnSettingModified(restart, 0);
    Default();
    for (auto& page : m_pages) {
        if (page) page->DestroyWindow();
        page.reset();
    }
    m_images.DeleteImageList();
}

void CZorvaneConfDlg::OnTcnSelchangeTab(NMHDR*, LRESULT* result) {
    const int selected = m_tab.GetCurSel();
    if (selected >= 0 && selected < kPageCount) ShowPage(selected);
    *result = 0;
}

void CZorvaneConfDlg::OnBnClickedOk() { OnOK(); }

void CZorvaneConfDlg::OnBnClickedCancel() { OnCancel(); }

LRESULT CZorvaneConfDlg::OnSettingModified(WPARAM restart, LPARAM) {
    m_restart = restart != 0;
    m_busy = true;
    ApplySettings();
    return 1;
}

void CZorvaneConfDlg::OnMouseMove(UINT, POINT) {
    if (m_busy) ::SetCursor(m_waitCursor);
    Default();
}

void CZorvaneConfDlg::OnSize(UINT type, int, int) {
    Default();
    // Minimised there is nothing to place; restoring sizes the window again.
    if (!m_tab.m_hWnd || type == SIZE_MINIMIZED) return;
    const RECT client = GetClientRect();
    const RECT tab{client.left + 10, client.top + 10, client.right - 10, client.bottom - 40};
    m_tab.MoveWindow(tab);
    m_helpButton.MoveWindow(tab.right - 165, tab.bottom + 10, 80, 25);
    m_closeButton.MoveWindow(tab.right - 80, tab.bottom + 10, 80, 25);
    // Inside the tab control's top right corner, level with the tabs.
    m_logoutButton.MoveWindow(tab.right - 80, tab.top + 5, 80, 25);
    const RECT page{client.left + 12, client.top + 50, client.right - 12, client.bottom - 42};
    for (const auto& each : m_pages) {
        if (each && each->m_hWnd) each->MoveWindow(page);
    }
    for (const CButton* button : {&m_helpButton, &m_closeButton}) {
        button->RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

LRESULT CZorvaneConfDlg::OnSysCommand(WPARAM command, LPARAM) {
    if ((command & 0xFFF0) == SC_MINIMIZE) {
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_closeButton.m_hWnd), TRUE);
    }
    return Default();
}

void CZorvaneConfDlg::OnBnClickedLogout() {
    if (ShowLanguageBox(m_hWnd, L"question", L"logout", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    // Stopping the suite is the launcher's work.
    RunProgramWithArgs(GetInstallRoot() + kZorvaneLaunchFile, kLaunchStopLogout, SW_SHOW, false);
}

void CZorvaneConfDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize = POINT{kMinWidth, kMinHeight};
    Default();
}

void CZorvaneConfDlg::OnBnClickedHelp() {
    OpenWithShell(DefaultServiceUrl(kHelpPath), std::wstring(), kHelpShow);
}
