#pragma once
// ZorvaneConf: the configuration program of the suite. One instance runs; a second start brings the first
// one's window to the front and ends.
#include "common/framework/WinApp.h"

class CZorvaneConfApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
