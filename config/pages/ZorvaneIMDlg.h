#pragma once
// The IP configuration page, the second tab: the hosts to update with their addresses, and how the address
// is found. It shows nothing yet.
#include "config/ZorvaneDlg.h"

class CZorvaneIMDlg : public CZorvaneDlg {
public:
    enum { IDD = 130 };
    explicit CZorvaneIMDlg(CWnd* parent) : CZorvaneDlg(IDD, parent) {}

protected:
    void InitControls() override {}
    void SetupLayout() override {}
};
