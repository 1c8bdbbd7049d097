#pragma once
// ZorvanePatch: asks the outside updater whether a newer version of the suite exists and, when one does,
// asks the user or proceeds by the update mode, starts the installation and tells the launcher to stop the
// suite. Everything happens at start-up; the process always ends with 0.
#include <string>

#include "common/framework/WinApp.h"

class CZorvanePatchApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    // Tells the outcome either way (the tray's menu command).
    void RunManualUpdate();
    // Silent unless a newer version is found; asks only when the ask condition holds.
    void RunAutoUpdate();

    // <root>\\updater\\Updater.exe.
    std::wstring UpdaterPath() const;
    // Runs the updater's check hidden and waits for it; true when it answers that a newer version exists.
    bool CheckForNewerVersion() const;
    // The update mode asks the user, or the information window or the configuration program runs.
    bool AskCondition() const;
    // Starts the installation shown, not waited for, and then the launcher's "/stop"; when the installation
    // does not start, the suite is left running.
    void StartUpdate(const std::wstring& parameters) const;

    std::wstring m_root;
};
