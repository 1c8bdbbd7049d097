// The texts and numbers by which the programs find each other, pinned as other programs expect them: a
// change here breaks a program that is not rebuilt with it (the launcher, the agent, an older copy).
#include <gtest/gtest.h>

#include <string>

#include "common/suite/SuiteContract.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;

TEST(SuiteContract, TextsAreThoseTheOtherProgramsUse) {
    const struct {
        const char* name;
        const wchar_t* text;
        const char* expected;
    } rows[] = {
        {"bin folder", kBinFolder, "\\bin"},
        {"launcher", kZorvaneLaunchFile, "\\ZorvaneLaunch.exe"},
        {"IP updater", kZorvaneAddrFile, "\\ZorvaneAddr.exe"},
        {"host-list updater", kZorvaneHostsFile, "\\ZorvaneHosts.exe"},
        {"login manager", kZorvaneLogonFile, "\\ZorvaneLogon.exe"},
        {"configuration program", kZorvaneConfFile, "\\ZorvaneConf.exe"},
        {"tray program", kZorvaneTrayFile, "\\ZorvaneTray.exe"},
        {"program updater", kZorvanePatchFile, "\\ZorvanePatch.exe"},
        {"service installer", kZorvaneSvcFile, "\\ZorvaneSvc.exe"},
        {"information window", kZorvaneAboutFile, "\\ZorvaneAbout.exe"},
        {"preferences program", kZorvanePrefsFile, "\\ZorvanePrefs.exe"},
        {"updater folder", kUpdaterFolder, "\\updater"},
        {"outside updater", kUpdaterFile, "\\Updater.exe"},

        {"IP updater ended by name", kZorvaneAddrProcessName, "ZorvaneAddr"},
        {"host-list updater ended by name", kZorvaneHostsProcessName, "ZorvaneHosts"},
        {"service installer ended by name", kZorvaneSvcProcessName, "ZorvaneSvc.exe"},

        {"mutex prefix", kInstanceMutexPrefix, "ZorvaneDDNSClinet-"},
        {"IP updater's mutex", kZorvaneAddrMutex, "ZorvaneDDNSClinet-ZorvaneAddr"},
        {"host-list updater's mutex", kZorvaneHostsMutex, "ZorvaneDDNSClinet-ZorvaneHosts"},
        {"login manager's mutex", kZorvaneLogonMutex, "ZorvaneDDNSClinet-ZorvaneLogon"},
        {"configuration program's mutex", kZorvaneConfMutex, "ZorvaneDDNSClinet-ZorvaneConf"},
        {"tray program's mutex", kZorvaneTrayMutex, "ZorvaneDDNSClinet-ZorvaneTray"},
        {"program updater's mutex", kZorvanePatchMutex, "ZorvaneDDNSClinet-ZorvanePatch"},
        {"agent's mutex", kZorvaneAgentMutex, "ZorvaneDDNSClinet-ZorvaneAgent"},
        {"launcher's mutex", kZorvaneLaunchMutex, "ZorvaneDDNSClinet-ZorvaneLaunch"},
        {"information window's mutex", kZorvaneAboutMutex, "ZorvaneDDNSClinet-ZorvaneAbout"},

        {"start the suite", kLaunchStartUi, "/start:ui"},
        {"start at log-on", kLaunchStartAutostart, "/start:autostart"},
        {"start with the sign-in", kLaunchStartLogin, "/start:login"},
        {"stop and sign out", kLaunchStopLogout, "/stop:logout"},
        {"stop", kLaunchStopNormal, "/stop:normal"},
        {"stop for an update", kLaunchStop, "/stop"},
        {"restart", kLaunchRestartNormal, "/restart:normal"},

        {"shared account block", kSharedUserDataName, "ZorvaneDDNSClinet-ZorvaneShare-UserData"},
        {"tray's caption", kZorvaneTrayCaption, "ZorvaneTray"},
        {"autostart value", kRunValueName, "ZorvaneDDNSClient"},
        {"service", kServiceName, "ZorvaneSvc"},
    };
    for (const auto& row : rows) EXPECT_EQ(U(row.text), row.expected) << row.name;
}

TEST(SuiteContract, ExitCodesAreThoseTheCallersTellApart) {
    const struct {
        const char* name;
        int code;
        int expected;
    } rows[] = {
        {"IP updater: failed", kZorvaneAddrFailed, 0},
        {"IP updater: private address", kZorvaneAddrPrivateIp, 303},
        {"IP updater: up to date", kZorvaneAddrUpToDate, 701},
        {"IP updater: partly updated", kZorvaneAddrPartlyUpdated, 702},
        {"host-list updater: failed", kZorvaneHostsFailed, 0},
        {"host-list updater: good account", kZorvaneHostsGoodAccount, 202},
        {"host-list updater: list delivered", kZorvaneHostsListDelivered, 700},
        {"login manager: signed in", kZorvaneLogonSignedIn, 2},
        {"login manager: not signed in", kZorvaneLogonNotSignedIn, 0},
        {"outside updater: newer version", kUpdaterNewerVersion, 1},
    };
    for (const auto& row : rows) EXPECT_EQ(row.code, row.expected) << row.name;
}

}  // namespace
