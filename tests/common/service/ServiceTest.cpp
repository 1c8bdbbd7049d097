// The service and the autostart value set up against a recording stand-in ZorvaneSvc.exe, the Run value
// read back; the service probe against Wine's service control manager.
#include <windows.h>
#include <winsvc.h>

#include <gtest/gtest.h>

#include "common/base/UniqueHandle.h"
#include "common/registry/Registry.h"
#include "common/service/ServiceAndAutostart.h"
#include "common/service/ServiceProbe.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;

// Whether the process still ran; it is ended either way.
bool EndIfRunning(unsigned long processId) {
    UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process || ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return false;
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 10000);
    return true;
}

TEST(ServiceAndAutostart, RunsTheServiceProgramAndSetsTheRunValue) {
    constexpr auto kConf = UninstallRun::ShownNoWait;
    constexpr auto kMigration = UninstallRun::HiddenWaited;
    // In order: the second "neither" row finds the value already gone, which is no failure.
    const struct {
        const char* name;
        const wchar_t* root;  // below the test's folder
        bool ntService, autoStart;
        UninstallRun uninstall;
        bool installed;          // the service program is there
        const wchar_t* options;  // of the Run value after the launcher's path; null: no value
    } rows[] = {
        {"service", L"plain", true, false, kConf, true, L" /start:ui"},
        {"service and autostart", L"plain", true, true, kMigration, true, L" /start:ui /start:autostart"},
        {"autostart, configuration", L"plain", false, true, kConf, true, L" /start:autostart"},
        {"autostart, migration", L"plain", false, true, kMigration, true, L" /start:autostart"},
        {"neither, configuration", L"plain", false, false, kConf, true, nullptr},
        {"neither, migration", L"plain", false, false, kMigration, true, nullptr},
        {"service, root with a blank", L"my root", true, false, kConf, true, L" /start:ui"},
        {"autostart, root with a blank", L"my root", false, true, kMigration, true, L" /start:autostart"},
        {"no service program", L"plain", true, false, kConf, false, L" /start:ui"},
    };
    for (const auto& r : rows) {
        ztest::TempDir dir;
        ASSERT_EQ(dir.path().find(L' '), std::wstring::npos) << "the rows need a folder without blanks";
        const std::wstring root = dir / r.root;
        const std::wstring program = root + L"\\bin\\ZorvaneSvc.exe";
        // Each run takes two seconds, so a run not waited for still runs when the apply returns.
        if (r.installed) {
            ztest::InstallStandIn(program, {{0}, {2000}});
        }
        // One still running from before is ended by name ahead of an uninstall only.
        const std::wstring older = dir / L"older\\ZorvaneSvc.exe";
        ztest::InstallStandIn(older, {{0}, {60000}});
        ztest::ChildProcess running(older);
        ASSERT_TRUE(ztest::WaitForStandInRuns(older, 1)) << r.name;

        EXPECT_EQ(ApplyServiceAndAutostart(root, r.ntService, r.autoStart, r.uninstall), r.installed) << r.name;

        EXPECT_EQ(running.Running(), r.ntService) << r.name;
        const bool shown = !r.ntService && r.uninstall == kConf;
        if (r.installed) {
            if (shown) {
                EXPECT_TRUE(ztest::WaitForStandInRuns(program, 1)) << r.name;
            }
            const std::vector<ztest::StandInRun> runs = ztest::StandInRuns(program);
            ASSERT_EQ(runs.size(), 1u) << r.name;
            EXPECT_EQ(U(runs[0].commandLine), r.ntService ? " -install" : " -uninstall") << r.name;
            EXPECT_EQ(runs[0].startFlags & (STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK), shown ? 0x81u : 0x80u)
                << r.name;
            EXPECT_EQ(EndIfRunning(runs[0].processId), shown) << r.name << ": waited for exactly when hidden";
        }
        std::wstring value;
        EXPECT_EQ(CRegistry::ReadRunValue(value), r.options != nullptr) << r.name;
        if (r.options) {
            const std::wstring launcher = root + L"\\ZorvaneLaunch.exe";
            const bool blank = launcher.find(L' ') != std::wstring::npos;
            EXPECT_EQ(U(value), U((blank ? L"\"" + launcher + L"\"" : launcher) + r.options)) << r.name;
        }
    }
    CRegistry::DeleteRunValue();
}

TEST(ServiceProbe, AnswersWhetherTheServiceIsInstalled) {
    EXPECT_FALSE(IsServiceInstalled());
    // A service of the test's own, installed and removed again.
    const std::wstring name = L"ZorvaneProbeTest" + std::to_wstring(::GetCurrentProcessId());
    UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ASSERT_TRUE(manager);
    {
        UniqueServiceHandle service(::CreateServiceW(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                                     SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                                     SERVICE_ERROR_IGNORE, ztest::StandInExe().c_str(), nullptr,
                                                     nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(service) << "error " << ::GetLastError();
        EXPECT_TRUE(IsServiceInstalled(name));
        EXPECT_TRUE(::DeleteService(service.get()));
    }
    EXPECT_FALSE(IsServiceInstalled(name));
}

}  // namespace
