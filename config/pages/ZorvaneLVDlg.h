#pragma once
// The log page, the fourth tab: the end of today's log file, read again each time the page is shown.
#include "common/framework/Controls.h"
#include "config/ZorvaneDlg.h"

class CZorvaneLVDlg : public CZorvaneDlg {
public:
    enum { IDD = 142 };
    explicit CZorvaneLVDlg(CWnd* parent) : CZorvaneDlg(IDD, parent) {}

    void DoDataExchange(CDataExchange* dx) override;

protected:
    void InitControls() override {}  // the page has no language texts
    void SetupLayout() override;
    void DeclareMessageMap(MessageMap& map) override;

private:
    void LoadTodayLog();
    void OnShowWindow(BOOL show, UINT status);
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND control, CtlColor kind);

    CEdit m_logEdit;
};
