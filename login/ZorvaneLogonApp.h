#pragma once
// ZorvaneLogon: the sign-in program of the suite. Ends with 2 after a sign-in and with 0 otherwise.
#include "common/framework/WinApp.h"

class CZorvaneLogonApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
