#pragma once
// CMultiLangSystemTray: the tray program's icon, whose popup gets its item texts from the loaded language file
// before every popup.
#include "tray/SystemTray.h"

class CMultiLangSystemTray : public CSystemTray {
protected:
    // The texts of the items the popup holds, by command, from the sections "system_tray" and "general".
    void PrepareMenu(HMENU popup) override;
};
