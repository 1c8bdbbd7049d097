#pragma once
// The IP configuration page, the second tab: the hosts ZorvaneAddr keeps up to date, with the address the
// service holds for each and a status to switch between ONLINE and OFFLINE; how the address is found (the
// address the service sees, the public address of one network adapter, or one typed in), the current
// internet address, and an address update through ZorvaneAddr behind the wait dialog. Changes go to the
// in-memory update_list.xml and update_method.xml and are reported to the main window, which saves them.
#include <optional>
#include <string>

#include "common/framework/Controls.h"
#include "common/framework/WorkerTasks.h"
#include "config/ZorvaneDlg.h"
#include "config/controls/CheckListCtrl.h"
#include "config/controls/ComboListCtrl.h"

class CZorvaneIMDlg : public CZorvaneDlg {
public:
    enum { IDD = 130 };
    explicit CZorvaneIMDlg(CWnd* parent) : CZorvaneDlg(IDD, parent) {}

    void DoDataExchange(CDataExchange* dx) override;

protected:
    void InitControls() override;
    void SetupLayout() override;
    void DeclareMessageMap(MessageMap& map) override;

private:
    // InitControls' steps.
    void InsertColumns();
    void StartShowInternetIp();
    void FillAdapterList();
    void SelectUpdateMethod();

    // The wanted hosts joined with the service's list, in natural order; both files read fresh.
    void FillUpdateList();
    // The update's end on the page's thread: ZorvaneAddr's exit code.
    void OnIpUpdated(int exitCode);
    // Whether update_result.xml, read again, holds a host with the code "320".
    static bool UpdatedTooOften();
    void SetMethod(const wchar_t* type, const std::wstring& data);

    LRESULT OnGetComboItems(WPARAM column, LPARAM entries);
    LRESULT OnCellEdited(WPARAM, LPARAM info);
    void OnShowWindow(BOOL show, UINT status);
    void OnNMCustomdrawUpdateList(NMHDR* header, LRESULT* result);
    void OnBnClickedInternetIp();
    void OnBnClickedLanIp();
    void OnBnClickedDirectIp();
    void OnIpnFieldchangedDirectIp(NMHDR*, LRESULT* result);
    LRESULT OnAdapterChecked(WPARAM row, LPARAM);
    void OnLvnItemchangingAdapterList(NMHDR* header, LRESULT* result);
    void OnPaint();
    void OnNMDblclkUpdateList(NMHDR* header, LRESULT* result);
    void OnBnClickedUpdateIp();

    CStatic m_updateListFrame;
    CComboListCtrl m_updateList;
    CStatic m_methodFrame;
    CButton m_internetIpRadio;
    CStatic m_internetIpDescription;
    CStatic m_internetIp;
    CButton m_lanIpRadio;
    CStatic m_lanIpDescription;
    CCheckListCtrl m_adapterList;
    CButton m_directIpRadio;
    CIPAddressCtrl m_directIp;
    CButton m_updateIpButton;
    // Last, so that it goes first: the internet-address request never reaches a page that is gone.
    CWorkerTasks m_tasks{*this};
};
