#pragma once
// The host configuration page, the first tab: the account's hosts as the service last listed them
// (host_list.xml) beside the hosts kept up to date (update_list.xml). Insert and Delete move hosts between
// the two; hosts already wanted are drawn grey on the left; Refresh fetches the account's host list again
// through ZorvaneHosts behind the wait dialog. The page changes only the update list in memory and reports
// each change to the main window, which saves it.
#include "common/framework/Controls.h"
#include "common/framework/WorkerTasks.h"
#include "config/ZorvaneDlg.h"
#include "config/controls/ComboListCtrl.h"

class CZorvaneHMDlg : public CZorvaneDlg {
public:
    enum { IDD = 129 };
    explicit CZorvaneHMDlg(CWnd* parent) : CZorvaneDlg(IDD, parent) {}

    void DoDataExchange(CDataExchange* dx) override;

protected:
    void InitControls() override;
    void SetupLayout() override;
    void DeclareMessageMap(MessageMap& map) override;

private:
    // Both lists from both files read fresh, in natural order, after wanted hosts the service no longer lists
    // were dropped from the update list.
    void FillHostLists();
    void PruneUpdateList();
    // The refresh's end on the page's thread: ZorvaneHosts's exit code.
    void OnRefreshed(int exitCode);

    void OnNMSetfocusAllHostList(NMHDR*, LRESULT* result);
    void OnNMSetfocusUpdateHostList(NMHDR*, LRESULT* result);
    void OnBnClickedInsert();
    void OnBnClickedDelete();
    void OnShowWindow(BOOL show, UINT status);
    void OnNMClickAllHostList(NMHDR*, LRESULT* result);
    void OnNMClickUpdateHostList(NMHDR*, LRESULT* result);
    void OnPaint();
    void OnNMCustomdrawAllHostList(NMHDR* header, LRESULT* result);
    void OnBnClickedRefresh();

    CComboListCtrl m_allHostList;
    CComboListCtrl m_updateHostList;
    CButton m_insertButton;
    CButton m_deleteButton;
    CStatic m_listsFrame;
    CStatic m_descriptionFrame;
    CStatic m_description;
    CStatic m_allHostsTitle;
    CStatic m_updateHostsTitle;
    CButton m_refreshButton;
};
