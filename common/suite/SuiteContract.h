#pragma once
// The names by which the suite's separate programs, and the outside ones around them, find each other:
// program files, names to end a program by, single-instance mutexes, the launcher's verbs, the shared block,
// the tray's caption, the autostart value, the service, and the exit codes a caller tells apart. Each is a
// fact another program relies on, so every program takes it from here. What only one program uses stays in
// that program.

// Program files, each with one backslash ahead: the launcher in the installation root, the suite's programs
// (and the outside service installer, information window and preferences program) in <root>\bin, the
// outside updater in <root>\updater.
constexpr wchar_t kBinFolder[] = L"\\bin";
constexpr wchar_t kZorvaneLaunchFile[] = L"\\ZorvaneLaunch.exe";
constexpr wchar_t kZorvaneAddrFile[] = L"\\ZorvaneAddr.exe";
constexpr wchar_t kZorvaneHostsFile[] = L"\\ZorvaneHosts.exe";
constexpr wchar_t kZorvaneLogonFile[] = L"\\ZorvaneLogon.exe";
constexpr wchar_t kZorvaneConfFile[] = L"\\ZorvaneConf.exe";
constexpr wchar_t kZorvaneTrayFile[] = L"\\ZorvaneTray.exe";
constexpr wchar_t kZorvanePatchFile[] = L"\\ZorvanePatch.exe";
constexpr wchar_t kZorvaneSvcFile[] = L"\\ZorvaneSvc.exe";
constexpr wchar_t kZorvaneAboutFile[] = L"\\ZorvaneAbout.exe";
constexpr wchar_t kZorvanePrefsFile[] = L"\\ZorvanePrefs.exe";
constexpr wchar_t kUpdaterFolder[] = L"\\updater";
constexpr wchar_t kUpdaterFile[] = L"\\Updater.exe";

// What KillProcessesByName is given to end a program.
constexpr wchar_t kZorvaneAddrProcessName[] = L"ZorvaneAddr";
constexpr wchar_t kZorvaneHostsProcessName[] = L"ZorvaneHosts";
constexpr wchar_t kZorvaneSvcProcessName[] = L"ZorvaneSvc.exe";

// Single-instance mutexes: the prefix followed by the program name, the prefix written once (the shared
// block's name below starts with it too). A mutex that exists marks a running program; the agent's marks a
// signed-in user.
#define ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneDDNSClinet-"
constexpr wchar_t kInstanceMutexPrefix[] = ZORVANE_INSTANCE_MUTEX_PREFIX;
constexpr wchar_t kZorvaneAddrMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneAddr";
constexpr wchar_t kZorvaneHostsMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneHosts";
constexpr wchar_t kZorvaneLogonMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneLogon";
constexpr wchar_t kZorvaneConfMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneConf";
constexpr wchar_t kZorvaneTrayMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneTray";
constexpr wchar_t kZorvanePatchMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvanePatch";
constexpr wchar_t kZorvaneAgentMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneAgent";
constexpr wchar_t kZorvaneLaunchMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneLaunch";
constexpr wchar_t kZorvaneAboutMutex[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneAbout";

// The launcher's verbs: its whole argument text.
constexpr wchar_t kLaunchStartUi[] = L"/start:ui";
constexpr wchar_t kLaunchStartAutostart[] = L"/start:autostart";
constexpr wchar_t kLaunchStartLogin[] = L"/start:login";
constexpr wchar_t kLaunchStopLogout[] = L"/stop:logout";
constexpr wchar_t kLaunchStopNormal[] = L"/stop:normal";
constexpr wchar_t kLaunchStop[] = L"/stop";
constexpr wchar_t kLaunchRestartNormal[] = L"/restart:normal";

// The file mapping that holds the signed-in account.
constexpr wchar_t kSharedUserDataName[] = ZORVANE_INSTANCE_MUTEX_PREFIX L"ZorvaneShare-UserData";
#undef ZORVANE_INSTANCE_MUTEX_PREFIX
// The caption of the tray program's hidden main window (its resource script), by which it is found.
constexpr wchar_t kZorvaneTrayCaption[] = L"ZorvaneTray";
// The autostart value under HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run.
constexpr wchar_t kRunValueName[] = L"ZorvaneDDNSClient";
// The Windows service that ZorvaneSvc installs.
constexpr wchar_t kServiceName[] = L"ZorvaneSvc";

// ZorvaneAddr's exit codes besides the service's other update result codes.
constexpr int kZorvaneAddrFailed = 0;            // a local failure, no address, no connection, no list refresh
constexpr int kZorvaneAddrPrivateIp = 303;       // the current address is private or reserved
constexpr int kZorvaneAddrUpToDate = 701;        // nothing to update, or the service updated every host
constexpr int kZorvaneAddrPartlyUpdated = 702;   // the service updated some hosts (update_result.xml says which)

// ZorvaneHosts' exit codes that tell an account apart; any other is the service's refusal.
constexpr int kZorvaneHostsFailed = 0;           // a local failure, or the service out of reach
constexpr int kZorvaneHostsGoodAccount = 202;    // the service accepted the account
constexpr int kZorvaneHostsListDelivered = 700;  // the service accepted the account and sent its host list

// ZorvaneLogon's exit codes.
constexpr int kZorvaneLogonSignedIn = 2;
constexpr int kZorvaneLogonNotSignedIn = 0;

// The outside updater's exit code of its update check when a newer version exists.
constexpr int kUpdaterNewerVersion = 1;
