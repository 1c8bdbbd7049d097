#include "config/pages/ZorvaneHMDlg.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/app/ProgramBox.h"
#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/language/LangTable.h"
#include "common/process/Process.h"
#include "common/suite/SuiteContract.h"
#include "common/ui/TextTable.h"
#include "common/worker/WorkerRun.h"
#include "config/controls/CellColours.h"
#include "config/controls/CompareListItems.h"
#include "config/pages/PageFiles.h"
#include "config/resource.h"

namespace {

constexpr int kHostColumnWidth = 210;
constexpr COLORREF kWantedHostColour = RGB(200, 200, 200);
constexpr COLORREF kHostColour = RGB(0, 0, 0);

const TextRow kTexts[] = {
    {IDC_BUTTON_INSERT, L"general", L"insert", L"", L" >>>"},
    {IDC_BUTTON_DELETE, L"general", L"delete", L"<<< "},
    {IDC_GROUP_HOST_LISTS, L"host_config", L"title"},
    {IDC_STATIC_ALL_HOSTS, L"host_config", L"all_host_list_title"},
    {IDC_STATIC_UPDATE_HOSTS, L"host_config", L"update_host_list_title"},
    {IDC_STATIC_HOST_DESCRIPTION, L"host_config", L"description"},
    {IDC_GROUP_HOST_DESCRIPTION, L"host_config", L"description_title"},
    {IDC_BUTTON_REFRESH, L"host_config", L"refresh_host_list"},
};

// The lists side by side either side of the page's middle line, Insert and Delete centred on it, Refresh
// below the left list, the description in its own frame at the bottom.
const LayoutRow kLayout[] = {
    // id                        minW    maxW    minH    maxH    left  top  right bottom  leftRef rightRef
    {IDC_GROUP_HOST_LISTS,       kUnset, kUnset, kUnset, kUnset, 10,   10,  10,   120},
    {IDC_STATIC_ALL_HOSTS,       100,    kUnset, kUnset, 20,     20,   30,  45,   kUnset, kUnset, 50},
    {IDC_STATIC_UPDATE_HOSTS,    100,    kUnset, kUnset, 20,     45,   30,  20,   kUnset, 50},
    {IDC_LIST_ALL_HOSTS,         kUnset, kUnset, kUnset, kUnset, 20,   50,  45,   160,    kUnset, 50},
    {IDC_BUTTON_REFRESH,         80,     80,     25,     25,     20,   50,  kUnset, 130},
    {IDC_LIST_UPDATE_HOSTS,      kUnset, kUnset, kUnset, kUnset, 45,   50,  20,   160,    50},
    {IDC_BUTTON_INSERT,          80,     80,     25,     25,     80,   100, -40,  kUnset, kUnset, 50},
    {IDC_BUTTON_DELETE,          80,     80,     25,     25,     0,    130, -40,  kUnset, kUnset, 50},
    {IDC_GROUP_HOST_DESCRIPTION, kUnset, kUnset, 105,    105,    10,   10,  10,   10},
    {IDC_STATIC_HOST_DESCRIPTION, kUnset, kUnset, 75,    75,     20,   30,  20,   20},
};

// The rows of a list that are selected, from the top.
std::vector<int> SelectedRows(const CListCtrl& list) {
    std::vector<int> rows;
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED)) {
        rows.push_back(row);
    }
    return rows;
}

// Appends a row with the host's name and its own number; the caller sorts the list once its rows are in.
void AddHostRow(CListCtrl& list, const std::wstring& name, LPARAM number) {
    const int row = list.InsertItem(list.GetItemCount(), name);
    list.SetItemData(row, number);
}

}  // namespace

void CZorvaneHMDlg::DoDataExchange(CDataExchange* dx) {
    CZorvaneDlg::DoDataExchange(dx);
    dx->Bind(IDC_LIST_ALL_HOSTS, m_allHostList);
    dx->Bind(IDC_LIST_UPDATE_HOSTS, m_updateHostList);
    dx->Bind(IDC_BUTTON_INSERT, m_insertButton);
    dx->Bind(IDC_BUTTON_DELETE, m_deleteButton);
    dx->Bind(IDC_GROUP_HOST_LISTS, m_listsFrame);
    dx->Bind(IDC_GROUP_HOST_DESCRIPTION, m_descriptionFrame);
    dx->Bind(IDC_STATIC_HOST_DESCRIPTION, m_description);
    dx->Bind(IDC_STATIC_ALL_HOSTS, m_allHostsTitle);
    dx->Bind(IDC_STATIC_UPDATE_HOSTS, m_updateHostsTitle);
    dx->Bind(IDC_BUTTON_REFRESH, m_refreshButton);
}

void CZorvaneHMDlg::DeclareMessageMap(MessageMap& map) {
    CZorvaneDlg::DeclareMessageMap(map);  // WM_CTLCOLOR*, WM_SIZE
    map.OnNotify(NM_SETFOCUS, IDC_LIST_ALL_HOSTS, &CZorvaneHMDlg::OnNMSetfocusAllHostList);
    map.OnNotify(NM_SETFOCUS, IDC_LIST_UPDATE_HOSTS, &CZorvaneHMDlg::OnNMSetfocusUpdateHostList);
    map.OnCommand(BN_CLICKED, IDC_BUTTON_INSERT, &CZorvaneHMDlg::OnBnClickedInsert);
    map.OnCommand(BN_CLICKED, IDC_BUTTON_DELETE, &CZorvaneHMDlg::OnBnClickedDelete);
    map.OnShowWindow(&CZorvaneHMDlg::OnShowWindow);
    map.OnNotify(NM_CLICK, IDC_LIST_ALL_HOSTS, &CZorvaneHMDlg::OnNMClickAllHostList);
    map.OnNotify(NM_CLICK, IDC_LIST_UPDATE_HOSTS, &CZorvaneHMDlg::OnNMClickUpdateHostList);
    map.OnMessage(WM_PAINT, &CZorvaneHMDlg::OnPaint);
    map.OnNotify(NM_CUSTOMDRAW, IDC_LIST_ALL_HOSTS, &CZorvaneHMDlg::OnNMCustomdrawAllHostList);
    map.OnCommand(BN_CLICKED, IDC_BUTTON_REFRESH, &CZorvaneHMDlg::OnBnClickedRefresh);
}

void CZorvaneHMDlg::SetupLayout() { m_layout.SetControlRules(kLayout); }

// The lists stay empty until the page first shows.
void CZorvaneHMDlg::InitControls() {
    const std::wstring heading = CLangTable::GetInstance()->GetText(L"general", L"host");
    for (CComboListCtrl* list : {&m_allHostList, &m_updateHostList}) {
        list->InsertColumn(0, heading, LVCFMT_LEFT, kHostColumnWidth);
        list->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        list->AddReadOnlyColumn(0);
    }
    SetDialogTexts(m_hWnd, kTexts);
    m_insertButton.EnableWindow(FALSE);
    m_deleteButton.EnableWindow(FALSE);
}

void CZorvaneHMDlg::FillHostLists() {
    ReloadUpdateList();
    // Only a list the service delivered tells which hosts the account has; without one (none read yet, or an
    // error reply) the wanted hosts stay.
    if (ReloadHostList()) PruneUpdateList();

    // Numbered through both lists, so that every row carries a number of its own.
    LPARAM counter = 0;
    const CRedrawPause holdAll(m_allHostList), holdWanted(m_updateHostList);
    m_allHostList.DeleteAllItems();
    CHostListFile* hosts = CHostListFile::GetInstance();
    hosts->GetDoc().RewindInParent();
    while (hosts->GetDoc().SeekElement(L"host")) AddHostRow(m_allHostList, hosts->GetHostName(), ++counter);
    SortListItems(m_allHostList);

    m_updateHostList.DeleteAllItems();
    CUpdateListFile* wanted = CUpdateListFile::GetInstance();
    wanted->GetDoc().RewindInParent();
    while (wanted->GetDoc().SeekElement(L"host")) AddHostRow(m_updateHostList, wanted->GetHostName(), ++counter);
    SortListItems(m_updateHostList);
}

// In memory only: the pruning reaches the file with the next save.
void CZorvaneHMDlg::PruneUpdateList() {
    const auto listed = CHostListFile::GetInstance()->IndexHosts();
    CUpdateListFile::GetInstance()->RemoveHostsWhere(
        [&listed](const std::wstring& name) { return listed.count(name) == 0; });
}

void CZorvaneHMDlg::OnBnClickedInsert() {
    const std::vector<int> rows = SelectedRows(m_allHostList);
    if (rows.empty()) {
        ShowLanguageBox(m_hWnd, L"information", L"select_host", MB_ICONINFORMATION);
        return;
    }
    const auto listed = CHostListFile::GetInstance()->IndexHosts();
    CUpdateListFile* wanted = CUpdateListFile::GetInstance();
    std::unordered_set<std::wstring> wantedNames;
    wanted->GetDoc().RewindInParent();
    while (wanted->GetDoc().SeekElement(L"host")) wantedNames.insert(wanted->GetHostName());
    wanted->GetDoc().RewindInParent();  // new hosts go last
    const CRedrawPause hold(m_updateHostList);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const std::wstring name = m_allHostList.GetItemText(*row, 0);
        if (!wantedNames.insert(name).second) continue;  // wanted already
        wanted->AddHost(name);
        // The state the service holds for it.
        const auto found = listed.find(name);
        if (found != listed.end()) wanted->SetHostStatus(found->second.status);
        AddHostRow(m_updateHostList, name, m_allHostList.GetItemData(*row));
    }
    SortListItems(m_updateHostList);
    NotifySettingModified(false);
    m_allHostList.SetFocus();
}

void CZorvaneHMDlg::OnBnClickedDelete() {
    const std::vector<int> rows = SelectedRows(m_updateHostList);
    if (rows.empty()) {
        ShowLanguageBox(m_hWnd, L"information", L"select_host", MB_ICONINFORMATION);
        return;
    }
    // Each deleted row takes the first host of its name out of the file, as often as its name is deleted.
    std::unordered_map<std::wstring, int> deleted;
    const CRedrawPause hold(m_updateHostList);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        ++deleted[m_updateHostList.GetItemText(*row, 0)];
        m_updateHostList.DeleteItem(*row);
    }
    CUpdateListFile::GetInstance()->RemoveHostsWhere([&deleted](const std::wstring& name) {
        const auto found = deleted.find(name);
        if (found == deleted.end() || found->second == 0) return false;
        --found->second;
        return true;
    });
    NotifySettingModified(false);
    // The deleted hosts lose their grey.
    m_allHostList.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_updateHostList.SetFocus();
}

void CZorvaneHMDlg::OnNMSetfocusAllHostList(NMHDR*, LRESULT* result) {
    m_insertButton.EnableWindow(TRUE);
    m_deleteButton.EnableWindow(FALSE);
    *result = 0;
}

void CZorvaneHMDlg::OnNMSetfocusUpdateHostList(NMHDR*, LRESULT* result) {
    m_deleteButton.EnableWindow(TRUE);
    m_insertButton.EnableWindow(FALSE);
    *result = 0;
}

void CZorvaneHMDlg::OnNMClickAllHostList(NMHDR*, LRESULT* result) {
    m_allHostList.SetFocus();
    ::SetActiveWindow(m_allHostList.m_hWnd);
    *result = 0;
}

void CZorvaneHMDlg::OnNMClickUpdateHostList(NMHDR*, LRESULT* result) {
    m_updateHostList.SetFocus();
    ::SetActiveWindow(m_updateHostList.m_hWnd);
    *result = 0;
}

void CZorvaneHMDlg::OnShowWindow(BOOL show, UINT) {
    Default();
    if (show) FillHostLists();
}

void CZorvaneHMDlg::OnPaint() {
    const PaintDc dc(m_hWnd);
    UpdateThemeBrush();
    for (const CComboListCtrl* list : {&m_allHostList, &m_updateHostList}) {
        list->RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    }
}

// Every cell of the left list is announced; one whose host the right list holds (a row there that begins with
// its text, without regard to case) is drawn grey.
void CZorvaneHMDlg::OnNMCustomdrawAllHostList(NMHDR* header, LRESULT* result) {
    *result = DrawCellColours(header, [this](int row, int column) {
        const std::wstring text = m_allHostList.GetItemText(row, column);
        LVFINDINFOW find{};
        find.flags = LVFI_STRING | LVFI_PARTIAL;
        find.psz = text.c_str();
        return m_updateHostList.FindItem(find, -1) >= 0 ? kWantedHostColour : kHostColour;
    });
}

void CZorvaneHMDlg::OnBnClickedRefresh() {
    SignedInAccount account;
    // No account to pass without the shared block: nothing is started.
    if (!ReadSignedInAccount(account)) {
        ShowLanguageBox(m_hWnd, L"error", L"not_connect_server", MB_ICONEXCLAMATION);
        return;
    }
    const std::wstring root = GetInstallRoot();
    // An account the command line cannot carry whole starts nothing and counts as a failed run.
    m_waitDlg.RunProgramWait(
        L"host_config", L"wait_refresh_title", L"wait_refresh_message", kZorvaneHostsProcessName,
        [root, account](const TaskStop& stop) {
            return RunHostListUpdater(root, account.id, account.password, stop.Event());
        },
        [this](int exitCode) { OnRefreshed(exitCode); });
}

void CZorvaneHMDlg::OnRefreshed(int exitCode) {
    if (exitCode == kZorvaneHostsListDelivered) {
        FillHostLists();
        m_waitDlg.EndWait();
        return;
    }
    m_waitDlg.EndWait();
    ShowLanguageBox(m_hWnd, L"error", L"not_connect_server", MB_ICONEXCLAMATION);
}
