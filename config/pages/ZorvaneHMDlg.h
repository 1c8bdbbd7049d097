#pragma once
// The host configuration page, the first tab: the account's hosts and the hosts kept up to date. It shows
// nothing yet.
#include "config/ZorvaneDlg.h"

class CZorvaneHMDlg : public CZorvaneDlg {
public:
    enum { IDD = 129 };
    explicit CZorvaneHMDlg(CWnd* parent) : CZorvaneDlg(IDD, parent) {}

protected:
    void InitControls() override {}
    void SetupLayout() override {}
};
