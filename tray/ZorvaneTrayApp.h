#pragma once
// ZorvaneTray: the suite's icon in the notification area. Sets no exit code.
#include "common/framework/WinApp.h"

class CZorvaneTrayApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
