// The sign-in dialog in both shipped languages, waiting and busy: saved as PNG under <build>\screenshots for a
// person to look at, and checked that every text fits its control and that no two controls overlap.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/process/Process.h"
#include "login/resource.h"
#include "tests/login/LogonRoot.h"
#include "tests/login/LogonWindow.h"
#include "tests/support/LayoutCheck.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WineDesktop.h"

namespace {

using ztest::LogonWindow;
using ztest::U;

constexpr wchar_t kFontsLinked[] = L"ZORVANE_LOGON_FONTS_LINKED";

void ExpectTidy(HWND dialog, const std::string& what) {
    for (const std::string& fault : ztest::LayoutFaults(dialog)) ADD_FAILURE() << what << ": " << fault;
}

TEST(LogonScreens, BothLanguagesWaitingAndBusy) {
    wchar_t linked[4] = {};
    if (ztest::UnderWine() && ::GetEnvironmentVariableW(kFontsLinked, linked, 4) == 0) {
        // The program and the measuring process both start after the link, so both show Hangul.
        ASSERT_TRUE(ztest::LinkHangulFont());
        ::SetEnvironmentVariableW(kFontsLinked, L"1");
        const ztest::CapturedRun child =
            ztest::RunCaptured(GetModuleFilePath(), L"--gtest_filter=LogonScreens.* --gtest_color=no", 120000);
        ::SetEnvironmentVariableW(kFontsLinked, nullptr);
        EXPECT_TRUE(child.finished && child.exitCode == 0) << child.output;
        return;
    }

    ztest::WineUnmanagedWindows fastWindows;
    const std::wstring folder = ztest::BinaryDir() + L"\\screenshots";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* language : {L"korean", L"english"}) {
        SCOPED_TRACE(U(language));
        ztest::LogonRoot root;
        root.WriteConfig({true, true, false}, language);
        root.WriteUser("alice", "s3cret");
        root.ScriptHosts({{0}, {30000}});
        auto process = root.Start(L"/mode:manual");
        LogonWindow window(process->id());
        ASSERT_NE(window.WaitForDialog(), nullptr);
        ASSERT_TRUE(window.WaitVisible());

        const std::wstring base = folder + L"\\login-" + language;
        ::Sleep(300);  // painted
        ExpectTidy(window.Dialog(), "waiting");
        EXPECT_TRUE(ztest::SaveWindowPng(window.Dialog(), base + L"-waiting.png")) << U(base);

        window.Click(IDOK, false);
        ASSERT_TRUE(ztest::WaitFor([&] { return window.Visible(IDC_PROGRESS_LOGIN); }, 10000));
        ::Sleep(300);
        ExpectTidy(window.Dialog(), "busy");
        EXPECT_TRUE(ztest::SaveWindowPng(window.Dialog(), base + L"-busy.png")) << U(base);

        window.Click(IDCANCEL);
        window.Close();
        DWORD code = 1;
        EXPECT_TRUE(process->Wait(20000, &code));
        EXPECT_EQ(code, 0u);
    }
}

}  // namespace
