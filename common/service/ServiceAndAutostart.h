#pragma once
// Sets up the suite's service and its autostart value as the settings `nt_service` and `auto_start` ask,
// the one way the configuration program and the data migration both do it.
#include <string>

// How the service's uninstaller is run.
enum class UninstallRun {
    ShownNoWait,   // shown (SW_SHOW) and not waited for, as the configuration program runs it
    HiddenWaited,  // in its default show state and waited for, as the data migration runs it
};

// With `ntService`, runs root + "\bin\ZorvaneSvc.exe -install" in its default show state and waits for it;
// otherwise ends every running ZorvaneSvc.exe by name and runs the uninstaller as `uninstall` says. Then
// the autostart value holds root + "\ZorvaneLaunch.exe" followed by " /start:ui" with `ntService` and
// " /start:autostart" with `autoStart` (the path quoted when it holds a blank), or is deleted when both are
// off. Every step is taken whatever the one before it gave; the result is true when the service program
// started and the value was written or deleted.
bool ApplyServiceAndAutostart(const std::wstring& root, bool ntService, bool autoStart, UninstallRun uninstall);
