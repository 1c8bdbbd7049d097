#include "config/pages/ZorvaneIMDlg.h"

#include <vector>

#include "common/app/ProgramBox.h"
#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/datafiles/UpdateResultFile.h"
#include "common/language/LangTable.h"
#include "common/net/HttpClient.h"
#include "common/net/NetworkAdapter.h"
#include "common/net/PrivateAddress.h"
#include "common/process/Process.h"
#include "common/settings/ConfigFile.h"
#include "common/suite/SuiteContract.h"
#include "common/ui/TextTable.h"
#include "common/worker/WorkerRun.h"
#include "config/controls/CellColours.h"
#include "config/controls/CompareListItems.h"
#include "config/controls/ListMessages.h"
#include "config/pages/PageFiles.h"
#include "config/resource.h"

namespace {

constexpr wchar_t kInternetMethod[] = L"IP";
constexpr wchar_t kLanMethod[] = L"LAN";
constexpr wchar_t kDirectMethod[] = L"DIRECT";
constexpr wchar_t kOnline[] = L"ONLINE";
constexpr wchar_t kOffline[] = L"OFFLINE";
constexpr int kShowNormal = 5;

// The per-host code of a host updated too often.
constexpr wchar_t kTooManyUpdates[] = L"320";

constexpr int kStatusColumn = 2;
constexpr COLORREF kOnlineColour = RGB(255, 70, 20);
constexpr COLORREF kOfflineColour = RGB(140, 145, 140);
constexpr COLORREF kTextColour = RGB(0, 0, 0);

const struct {
    int column;
    const wchar_t* heading;
    int width;
} kUpdateColumns[] = {{0, L"host", 320}, {1, L"ip", 120}, {2, L"status", 80}},
  kAdapterColumns[] = {{0, L"ip", 130}, {1, L"lan", 270}, {2, L"mac", 100}};

const TextRow kTexts[] = {
    {IDC_STATIC_INTERNET_IP, L"general", L"loading"},
    {IDC_GROUP_UPDATE_LIST, L"ip_config", L"update_list_title"},
    {IDC_GROUP_UPDATE_METHOD, L"ip_config", L"update_method_title"},
    {IDC_RADIO_INTERNET_IP, L"ip_config", L"internet_ip_title"},
    {IDC_STATIC_INTERNET_IP_DESCRIPTION, L"ip_config", L"internet_ip_description"},
    {IDC_RADIO_LAN_IP, L"ip_config", L"lan_ip_title"},
    {IDC_STATIC_LAN_IP_DESCRIPTION, L"ip_config", L"lan_ip_description"},
    {IDC_RADIO_DIRECT_IP, L"ip_config", L"direct_ip_title"},
    {IDC_BUTTON_UPDATE_IP, L"ip_config", L"update_ip"},
};

// The update list over the top; below it the method frame, each method's controls stacked from the bottom up.
// The internet-address description keeps to its own width left of the address.
const LayoutRow kLayout[] = {
    // id                                minW    maxW    minH  maxH  left  top  right   bottom
    {IDC_GROUP_UPDATE_LIST,              kUnset, kUnset, kUnset, kUnset, 10, 10, 10,    325},
    {IDC_LIST_UPDATE,                    kUnset, kUnset, kUnset, kUnset, 20, 30, 20,    335},
    {IDC_GROUP_UPDATE_METHOD,            kUnset, kUnset, 280,  280,  10,   10,  10,     40},
    {IDC_RADIO_INTERNET_IP,              kUnset, kUnset, 25,   25,   20,   10,  20,     280},
    {IDC_STATIC_INTERNET_IP_DESCRIPTION, 115,    115,    25,   25,   30,   10,  kUnset, 255},
    {IDC_STATIC_INTERNET_IP,             kUnset, kUnset, 25,   25,   150,  10,  20,     255},
    {IDC_RADIO_LAN_IP,                   kUnset, kUnset, 25,   25,   20,   10,  20,     230},
    {IDC_STATIC_LAN_IP_DESCRIPTION,      kUnset, kUnset, 20,   20,   30,   10,  30,     210},
    {IDC_LIST_ADAPTERS,                  kUnset, kUnset, 100,  100,  30,   10,  30,     110},
    {IDC_RADIO_DIRECT_IP,                kUnset, kUnset, 25,   25,   20,   10,  20,     75},
    {IDC_IPADDRESS_DIRECT,               180,    180,    25,   25,   30,   10,  kUnset, 50},
    {IDC_BUTTON_UPDATE_IP,               85,     85,     25,   25,   10,   10,  kUnset, 10},
};

// An adapter's address column: its first public address alone, or else all its addresses joined by ", ".
struct AdapterAddress {
    std::wstring text;
    bool isPublic = false;
};

AdapterAddress AdapterAddressText(const NetworkAdapterRecord& adapter) {
    AdapterAddress address;
    for (const std::wstring& ip : adapter.ipAddresses) {
        if (!IsPrivateOrReservedIp(ip)) {
            address.text = ip;
            address.isPublic = true;
            return address;
        }
        address.text += ip + L", ";
    }
    const size_t end = address.text.find_last_not_of(L", ");
    address.text.erase(end == std::wstring::npos ? 0 : end + 1);
    return address;
}

// A dotted quad as the IP address control holds it; false for any other text.
bool PackAddress(const std::wstring& text, DWORD& packed) {
    if (!IsDottedQuad(text)) return false;
    packed = 0;
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t dot = text.find(L'.', start);
        packed = (packed << 8) | static_cast<DWORD>(std::stoul(text.substr(start, dot - start)));
        start = dot + 1;
    }
    return true;
}

// The body of the internet-address request: the service's reply as it is, or nothing.
std::optional<std::wstring> ShowInternetIpThread(const std::wstring& url) {
    std::wstring reply;
    if (!HttpGetUrlNoHeaders(url, reply)) return std::nullopt;
    return reply;
}

// The body of the address update: ZorvaneAddr with the account, waited for until it ends or the wait is
// cancelled. An account the command line cannot carry whole starts nothing and counts as a failed update.
int UpdateIpThread(const std::wstring& root, const SignedInAccount& account, const TaskStop& stop) {
    const std::optional<std::wstring> args = AccountArguments(account.id, account.password);
    if (!args) return kRunFailed;
    return RunProgramWithArgsUntil(root + kBinFolder + kZorvaneAddrFile, *args, kShowNormal, stop.Event());
}

}  // namespace

void CZorvaneIMDlg::DoDataExchange(CDataExchange* dx) {
    CZorvaneDlg::DoDataExchange(dx);
    dx->Bind(IDC_GROUP_UPDATE_LIST, m_updateListFrame);
    dx->Bind(IDC_LIST_UPDATE, m_updateList);
    dx->Bind(IDC_GROUP_UPDATE_METHOD, m_methodFrame);
    dx->Bind(IDC_RADIO_INTERNET_IP, m_internetIpRadio);
    dx->Bind(IDC_STATIC_INTERNET_IP_DESCRIPTION, m_internetIpDescription);
    dx->Bind(IDC_STATIC_INTERNET_IP, m_internetIp);
    dx->Bind(IDC_RADIO_LAN_IP, m_lanIpRadio);
    dx->Bind(IDC_STATIC_LAN_IP_DESCRIPTION, m_lanIpDescription);
    dx->Bind(IDC_LIST_ADAPTERS, m_adapterList);
    dx->Bind(IDC_RADIO_DIRECT_IP, m_directIpRadio);
    dx->Bind(IDC_IPADDRESS_DIRECT, m_directIp);
    dx->Bind(IDC_BUTTON_UPDATE_IP, m_updateIpButton);
}

void CZorvaneIMDlg::DeclareMessageMap(MessageMap& map) {
    CZorvaneDlg::DeclareMessageMap(map);  // WM_CTLCOLOR*, WM_SIZE
    map.OnMessage(UWM_GET_COMBO_ITEMS, &CZorvaneIMDlg::OnGetComboItems);
    map.OnMessage(UWM_CELL_EDITED, &CZorvaneIMDlg::OnCellEdited);
    map.OnShowWindow(&CZorvaneIMDlg::OnShowWindow);
    map.OnNotify(NM_CUSTOMDRAW, IDC_LIST_UPDATE, &CZorvaneIMDlg::OnNMCustomdrawUpdateList);
    map.OnCommand(BN_CLICKED, IDC_RADIO_INTERNET_IP, &CZorvaneIMDlg::OnBnClickedInternetIp);
    map.OnCommand(BN_CLICKED, IDC_RADIO_LAN_IP, &CZorvaneIMDlg::OnBnClickedLanIp);
    map.OnCommand(BN_CLICKED, IDC_RADIO_DIRECT_IP, &CZorvaneIMDlg::OnBnClickedDirectIp);
    map.OnNotify(IPN_FIELDCHANGED, IDC_IPADDRESS_DIRECT, &CZorvaneIMDlg::OnIpnFieldchangedDirectIp);
    map.OnMessage(UWM_CHECKLIST_CHECKED, &CZorvaneIMDlg::OnAdapterChecked);
    map.OnNotify(LVN_ITEMCHANGING, IDC_LIST_ADAPTERS, &CZorvaneIMDlg::OnLvnItemchangingAdapterList);
    map.OnMessage(WM_PAINT, &CZorvaneIMDlg::OnPaint);
    map.OnNotify(NM_DBLCLK, IDC_LIST_UPDATE, &CZorvaneIMDlg::OnNMDblclkUpdateList);
    map.OnCommand(BN_CLICKED, IDC_BUTTON_UPDATE_IP, &CZorvaneIMDlg::OnBnClickedUpdateIp);
}

void CZorvaneIMDlg::SetupLayout() { m_layout.SetControlRules(kLayout); }

// The update list is filled whenever the page shows, not here.
void CZorvaneIMDlg::InitControls() {
    InsertColumns();
    m_updateList.AddReadOnlyColumn(0);
    m_updateList.AddReadOnlyColumn(1);
    m_updateList.AddComboColumn(kStatusColumn);
    m_updateList.SetComboStyle(m_updateList.GetComboStyle() | WS_VSCROLL);
    m_updateList.SetEmptyListText(CLangTable::GetInstance()->GetText(L"ip_config", L"empty_update_list"));
    SetDialogTexts(m_hWnd, kTexts);
    m_directIp.EnableWindow(FALSE);
    m_adapterList.EnableWindow(FALSE);
    StartShowInternetIp();
    FillAdapterList();
    SelectUpdateMethod();
}

void CZorvaneIMDlg::InsertColumns() {
    CLangTable* texts = CLangTable::GetInstance();
    for (const auto& column : kUpdateColumns) {
        m_updateList.InsertColumn(column.column, texts->GetText(L"general", column.heading), LVCFMT_LEFT, column.width);
    }
    for (const auto& column : kAdapterColumns) {
        m_adapterList.InsertColumn(column.column, texts->GetText(L"general", column.heading), LVCFMT_LEFT,
                                   column.width);
    }
    m_updateList.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_adapterList.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
}

// The request runs on a thread of its own with a copy of the URL; the HTTP client's limits end it. Its reply
// reaches the page on the page's thread, unless the page has gone meanwhile. Without a reply the text stays
// as it was.
void CZorvaneIMDlg::StartShowInternetIp() {
    const std::wstring url = CConfigFile::GetInstance()->GetIpUrl();
    m_tasks.Start(
        0, TaskMode::Supersede, [url](const TaskStop&) { return ShowInternetIpThread(url); },
        [this](std::optional<std::wstring> reply) {
            if (reply) m_internetIp.SetWindowText(*reply);
        });
}

void CZorvaneIMDlg::FillAdapterList() {
    m_adapterList.DeleteAllItems();
    const CNetworkAdapter adapters;
    bool anyPublic = false;
    for (int i = 0; i < adapters.GetAdapterCount(); ++i) {
        const AdapterAddress address = AdapterAddressText(adapters.GetAdapter(i));
        const int row = m_adapterList.InsertItem(m_adapterList.GetItemCount(), address.text);
        // Whether the row may be checked: the list view announces no state at insertion.
        m_adapterList.SetItemData(row, IsPrivateOrReservedIp(address.text) ? 0 : 1);
        m_adapterList.SetItemText(row, 1, adapters.GetDescription(i));
        m_adapterList.SetItemText(row, 2, adapters.GetMacAddress(i));
        anyPublic = anyPublic || address.isPublic;
    }
    m_lanIpRadio.EnableWindow(anyPublic);
    m_lanIpDescription.EnableWindow(anyPublic);
}

void CZorvaneIMDlg::SelectUpdateMethod() {
    CUpdateMethodFile* method = CUpdateMethodFile::GetInstance();
    const std::wstring type = method->GetType();
    if (type == kLanMethod) {
        if (m_lanIpRadio.IsWindowEnabled()) {
            m_lanIpRadio.SetCheck(BST_CHECKED);
            m_adapterList.EnableWindow(TRUE);
            const std::wstring mac = method->GetData();
            for (int row = 0; row < m_adapterList.GetItemCount(); ++row) {
                if (m_adapterList.GetItemText(row, 2) != mac) continue;
                m_adapterList.SetCheck(row, true);  // refused by a row without a public address
                break;
            }
        } else {
            // No adapter has a public address: the method falls back to the internet address, saved at once.
            m_internetIpRadio.SetCheck(BST_CHECKED);
            SetMethod(kInternetMethod, L"");
        }
    } else if (type == kDirectMethod) {
        m_directIpRadio.SetCheck(BST_CHECKED);
        m_directIp.EnableWindow(TRUE);
        DWORD packed = 0;
        if (PackAddress(method->GetData(), packed)) m_directIp.SetAddress(packed);
    } else {
        m_internetIpRadio.SetCheck(BST_CHECKED);  // "IP", or a type it does not know, which stays stored
    }
}

void CZorvaneIMDlg::SetMethod(const wchar_t* type, const std::wstring& data) {
    CUpdateMethodFile* method = CUpdateMethodFile::GetInstance();
    if (type) method->SetType(type);
    method->SetData(data);
    NotifySettingModified(false);
}

void CZorvaneIMDlg::FillUpdateList() {
    const CRedrawPause hold(m_updateList);
    m_updateList.DeleteAllItems();
    ReloadUpdateList();
    ReloadHostList();
    const auto listed = CHostListFile::GetInstance()->IndexHosts();
    CUpdateListFile* wanted = CUpdateListFile::GetInstance();
    LPARAM inserted = 0;
    wanted->GetDoc().RewindInParent();
    while (wanted->GetDoc().SeekElement(L"host")) {
        const auto found = listed.find(wanted->GetHostName());
        if (found == listed.end()) continue;  // not in the service's list: not shown, kept in the file
        const std::wstring status = wanted->GetHostStatus();
        const int row = m_updateList.InsertItem(m_updateList.GetItemCount(), found->first);
        m_updateList.SetItemText(row, 1, status == kOffline ? found->second.offtype : found->second.ip);
        m_updateList.SetItemText(row, kStatusColumn, status);
        m_updateList.SetItemData(row, inserted++);
    }
    SortListItems(m_updateList);
}

LRESULT CZorvaneIMDlg::OnGetComboItems(WPARAM column, LPARAM entries) {
    auto* items = reinterpret_cast<ComboItems*>(entries);
    items->clear();
    RECT focused{};
    const RECT list = m_updateList.GetWindowRect();
    if (::GetWindowRect(::GetFocus(), &focused) && ::PtInRect(&list, POINT{focused.left, focused.top}) &&
        column == kStatusColumn) {
        items->push_back(kOnline);
        items->push_back(kOffline);
    }
    return 1;
}

// A cancelled edit arrives too, with the cell's starting text.
LRESULT CZorvaneIMDlg::OnCellEdited(WPARAM, LPARAM info) {
    const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(info);
    CUpdateListFile* wanted = CUpdateListFile::GetInstance();
    if (wanted->FindHost(m_updateList.GetItemText(edit->item.iItem, 0))) {
        wanted->SetHostStatus(m_updateList.GetItemText(edit->item.iItem, kStatusColumn));
        NotifySettingModified(false);
    }
    return 1;
}

void CZorvaneIMDlg::OnShowWindow(BOOL show, UINT) {
    Default();
    if (show) FillUpdateList();
}

// Every cell, in any column, by its text: ONLINE and OFFLINE in their colours, anything else black.
void CZorvaneIMDlg::OnNMCustomdrawUpdateList(NMHDR* header, LRESULT* result) {
    *result = DrawCellColours(header, [this](int row, int column) {
        const std::wstring text = m_updateList.GetItemText(row, column);
        return text == kOnline ? kOnlineColour : text == kOffline ? kOfflineColour : kTextColour;
    });
}

void CZorvaneIMDlg::OnBnClickedInternetIp() {
    if (!m_internetIpRadio.IsChecked()) return;
    m_adapterList.EnableWindow(FALSE);
    m_directIp.EnableWindow(FALSE);
    SetMethod(kInternetMethod, L"");
}

void CZorvaneIMDlg::OnBnClickedLanIp() {
    if (!m_lanIpRadio.IsChecked()) return;
    m_adapterList.EnableWindow(TRUE);
    m_directIp.EnableWindow(FALSE);
    std::wstring mac;
    for (int row = 0; row < m_adapterList.GetItemCount(); ++row) {
        if (!m_adapterList.GetCheck(row)) continue;
        mac = m_adapterList.GetItemText(row, 2);
        break;
    }
    SetMethod(kLanMethod, mac);
}

void CZorvaneIMDlg::OnBnClickedDirectIp() {
    if (!m_directIpRadio.IsChecked()) return;
    m_adapterList.EnableWindow(FALSE);
    m_directIp.EnableWindow(TRUE);
    SetMethod(kDirectMethod, m_directIp.GetAddressText());
}

void CZorvaneIMDlg::OnIpnFieldchangedDirectIp(NMHDR*, LRESULT* result) {
    SetMethod(nullptr, m_directIp.GetAddressText());
    *result = 0;
}

LRESULT CZorvaneIMDlg::OnAdapterChecked(WPARAM row, LPARAM) {
    SetMethod(nullptr, m_adapterList.GetItemText(static_cast<int>(row), 2));
    return 1;
}

// A row that shows no public address takes no selection, focus or check, and the check list ignores clicks
// on it.
void CZorvaneIMDlg::OnLvnItemchangingAdapterList(NMHDR* header, LRESULT* result) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    *result = 0;
    if (change->uChanged != LVIF_STATE) return;
    const bool refused = IsPrivateOrReservedIp(m_adapterList.GetItemText(change->iItem, 0));
    m_adapterList.SetItemData(change->iItem, refused ? 0 : 1);
    *result = refused ? 1 : 0;
}

void CZorvaneIMDlg::OnPaint() {
    const PaintDc dc(m_hWnd);
    UpdateThemeBrush();
    m_updateList.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    m_adapterList.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void CZorvaneIMDlg::OnNMDblclkUpdateList(NMHDR* header, LRESULT* result) {
    const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    *result = 0;
    if (click->iSubItem != 0 || click->iItem < 0) return;
    const std::wstring name = m_updateList.GetItemText(click->iItem, 0);
    if (name.empty()) return;
    OpenWithShell(L"http://" + name);
}

void CZorvaneIMDlg::OnBnClickedUpdateIp() {
    CUpdateMethodFile* method = CUpdateMethodFile::GetInstance();
    // The address as the control shows it: a click that follows the typing at once comes before the control
    // reports its last field.
    if (m_directIpRadio.IsChecked()) {
        const std::wstring shown = m_directIp.GetAddressText();
        if (shown != method->GetData()) SetMethod(nullptr, shown);
    }
    const std::wstring type = method->GetType();
    const std::wstring data = method->GetData();
    if (type == kLanMethod && data.empty()) {
        ShowLanguageBox(m_hWnd, L"information", L"select_lan", MB_ICONEXCLAMATION);
        return;
    }
    if (type == kDirectMethod && IsPrivateOrReservedIp(data)) {
        ShowLanguageBox(m_hWnd, L"information", L"private_ip", MB_ICONEXCLAMATION);
        return;
    }
    SignedInAccount account;
    // No account to pass without the shared block: nothing is started.
    if (!ReadSignedInAccount(account)) {
        ShowLanguageBox(m_hWnd, L"error", L"update_fail", MB_ICONEXCLAMATION);
        return;
    }
    // ZorvaneAddr reads the method from its file: what the page shows is saved first.
    ApplyPendingSettings();
    const std::wstring root = GetInstallRoot();
    m_waitDlg.RunProgramWait(
        L"ip_config", L"wait_update_title", L"wait_update_message", kZorvaneAddrProcessName,
        [root, account](const TaskStop& stop) { return UpdateIpThread(root, account, stop); },
        [this](int exitCode) { OnIpUpdated(exitCode); });
}

void CZorvaneIMDlg::OnIpUpdated(int exitCode) {
    const wchar_t* report = L"update_fail";  // any other code, a program that did not start included
    if (exitCode == kZorvaneAddrFailed) {
        report = L"not_connect_server";
    } else if (exitCode == kZorvaneAddrPrivateIp) {
        report = L"private_ip";
    } else if (exitCode == kZorvaneAddrUpToDate) {
        FillUpdateList();
        report = nullptr;
    } else if (exitCode == kZorvaneAddrPartlyUpdated) {
        report = UpdatedTooOften() ? L"too_many_update" : nullptr;
    }
    m_waitDlg.EndWait();
    if (report) ShowLanguageBox(m_hWnd, L"error", report, MB_ICONEXCLAMATION);
}

bool CZorvaneIMDlg::UpdatedTooOften() {
    CUpdateResultFile* result = CUpdateResultFile::GetInstance();
    result->Reload();
    result->GetDoc().RewindInParent();
    while (result->GetDoc().SeekElement(L"host")) {
        if (result->GetCode() == kTooManyUpdates) return true;
    }
    return false;
}
