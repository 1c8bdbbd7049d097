// ZorvaneLogon end to end: the built program in a temporary installation root, with a stand-in ZorvaneHosts
// that records its command line and exits as scripted, driven through its dialog and boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/language/LangTable.h"
#include "common/sharedmem/SharedUserMemory.h"
#include "login/resource.h"
#include "tests/login/LogonRoot.h"
#include "tests/login/LogonWindow.h"
#include "tests/support/WineDesktop.h"

namespace {

using ztest::BoxIcon;
using ztest::BoxView;
using ztest::ChildProcess;
using ztest::LogonWindow;
using ztest::RememberFlags;
using ztest::U;
using ztest::UserXml;

constexpr DWORD kExitWaitMs = 20000;
const RememberFlags kNoFlags{};
const RememberFlags kAllFlags{true, true, true};

std::wstring Text(const wchar_t* section, const wchar_t* key) {
    return CLangTable::GetInstance()->GetText(section, key);
}

// Ends the process's wait with its exit code, or -1 when it is still running after the time.
long ExitCodeOf(ChildProcess& process, DWORD timeoutMs = kExitWaitMs) {
    DWORD code = 0;
    return process.Wait(timeoutMs, &code) ? static_cast<long>(code) : -1;
}

// The dialog waits for the user: OK usable, Cancel not, the boxes shown, the progress hidden.
void ExpectIdle(const LogonWindow& window) {
    window.Settle();
    EXPECT_TRUE(window.DialogVisible());
    EXPECT_TRUE(window.Enabled(IDOK));
    EXPECT_FALSE(window.Enabled(IDCANCEL));
    for (int id : {IDC_EDIT_ID, IDC_EDIT_PASSWORD}) EXPECT_TRUE(window.Enabled(id)) << id;
    for (int id : {IDC_CHECK_SAVE_ID, IDC_CHECK_SAVE_PASSWORD, IDC_CHECK_AUTO_LOGIN}) {
        EXPECT_TRUE(window.Visible(id) && window.Enabled(id)) << id;
    }
    EXPECT_FALSE(window.Visible(IDC_PROGRESS_LOGIN));
    EXPECT_FALSE(window.Visible(IDC_STATIC_NOW_LOGIN));
}

void ExpectBusy(const LogonWindow& window) {
    window.Settle();
    EXPECT_FALSE(window.Enabled(IDOK));
    EXPECT_TRUE(window.Enabled(IDCANCEL));
    for (int id : {IDC_EDIT_ID, IDC_EDIT_PASSWORD}) EXPECT_FALSE(window.Enabled(id)) << id;
    for (int id : {IDC_CHECK_SAVE_ID, IDC_CHECK_SAVE_PASSWORD, IDC_CHECK_AUTO_LOGIN}) EXPECT_FALSE(window.Visible(id)) << id;
    EXPECT_TRUE(window.Visible(IDC_PROGRESS_LOGIN));
    EXPECT_TRUE(window.Visible(IDC_STATIC_NOW_LOGIN));
}

RememberFlags BoxesOf(const LogonWindow& window) {
    return {window.Checked(IDC_CHECK_SAVE_ID), window.Checked(IDC_CHECK_SAVE_PASSWORD),
            window.Checked(IDC_CHECK_AUTO_LOGIN)};
}

// Waits for a box, checks what it shows and presses its OK button.
void ExpectBox(const LogonWindow& window, const std::wstring& caption, const std::wstring& text, BoxIcon icon) {
    HWND box = window.WaitForBox();
    ASSERT_NE(box, nullptr) << "no box: " << U(text);
    const BoxView view = LogonWindow::ReadBox(box);
    EXPECT_EQ(U(view.caption), U(caption));
    EXPECT_EQ(U(view.text), U(text));
    EXPECT_STREQ(BoxIconName(view.icon), BoxIconName(icon));
    EXPECT_TRUE(LogonWindow::DismissBox(box));
}

class LogonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), L"english"));
        // Held for the whole test, so that what the program publishes stays readable after it ended.
        ASSERT_TRUE(shared.Open());
        shared.SetId(L"");
        shared.SetPassword(L"");
    }

    // Starts the program and finds its dialog.
    std::unique_ptr<ChildProcess> Start(const std::wstring& args, LogonWindow*& window) {
        auto process = root.Start(args);
        m_window = std::make_unique<LogonWindow>(process->id());
        window = m_window.get();
        EXPECT_NE(window->WaitForDialog(), nullptr) << "no dialog for " << U(args);
        return process;
    }

    ztest::WineUnmanagedWindows fastWindows;
    ztest::LogonRoot root;
    CSharedUserMemory shared;

private:
    std::unique_ptr<LogonWindow> m_window;
};

TEST_F(LogonTest, SignInSavesTheAccountPublishesItAndEndsWith2) {
    const std::string longId(300, 'x');
    const struct {
        const char* name;
        RememberFlags startFlags;
        std::string storedId, storedPassword;
        std::vector<int> clicks;  // boxes clicked before signing in
        std::wstring id, password;
        long long hostsExit;
        std::wstring hostsCommandLine;
        std::string userXml;
        RememberFlags flags;
        std::wstring sharedId, sharedPassword;
    } rows[] = {
        {"automatic sign-in checks all three, 700", kNoFlags, "", "", {IDC_CHECK_AUTO_LOGIN}, L"alice", L"s3cret", 700,
         L" /id:alice /password:s3cret", UserXml("alice", "s3cret"), kAllFlags, L"alice", L"s3cret"},
        {"no box checked still saves and publishes, 202, blanks quoted", {true, true, false}, "bob", "old",
         {IDC_CHECK_SAVE_ID}, L"alice smith", L"my secret", 202, L" /id:\"alice smith\" /password:\"my secret\"",
         UserXml("alice smith", "my secret"), kNoFlags, L"alice smith", L"my secret"},
        {"ID only; markup in the password; an ID longer than the block", {true, false, false}, "bob", "", {},
         ztest::W(longId), L"p&ss<\"w\">", 700, L" /id:" + ztest::W(longId) + L" /password:p&ss<\"w\">",
         UserXml(longId, "p&amp;ss&lt;&quot;w&quot;&gt;"), {true, false, false}, ztest::W(longId.substr(0, 259)),
         L"p&ss<\"w\">"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        root.WriteConfig(row.startFlags);
        root.WriteUser(row.storedId, row.storedPassword);
        root.ScriptHosts({{row.hostsExit}, {}});
        shared.SetId(L"");
        shared.SetPassword(L"");

        LogonWindow* window = nullptr;
        auto process = Start(L"/mode:manual", window);
        ASSERT_TRUE(window->WaitVisible());
        for (int id : row.clicks) window->Click(id);
        window->SetText(IDC_EDIT_ID, row.id);
        window->SetText(IDC_EDIT_PASSWORD, row.password);
        window->Click(IDOK, false);
        EXPECT_EQ(ExitCodeOf(*process), 2);

        const auto runs = root.HostsRuns();
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(U(runs[0].commandLine), U(row.hostsCommandLine));
        EXPECT_EQ(root.ReadEtc(L"user.xml"), row.userXml);
        EXPECT_EQ(root.ReadFlags(), row.flags);
        EXPECT_EQ(U(shared.GetId()), U(row.sharedId));
        EXPECT_EQ(U(shared.GetPassword()), U(row.sharedPassword));

        // The boxes decide what the next start fills in.
        auto next = Start(L"/mode:manual", window);
        ASSERT_TRUE(window->WaitVisible());
        EXPECT_EQ(BoxesOf(*window), row.flags);
        EXPECT_EQ(U(window->Text(IDC_EDIT_ID)), row.flags.saveId ? U(row.id) : "");
        EXPECT_EQ(U(window->Text(IDC_EDIT_PASSWORD)), row.flags.savePassword ? U(row.password) : "");
        window->Close();
        EXPECT_EQ(ExitCodeOf(*next), 0);
        EXPECT_EQ(root.HostsRuns().size(), 1u);
    }
}

TEST_F(LogonTest, FailedAttemptsShowTheirBoxAndKeepTheDialogOpen) {
    root.ScriptHosts({{0, 401, 700}, {}});
    LogonWindow* window = nullptr;
    auto process = Start(L"/mode:manual", window);
    ASSERT_TRUE(window->WaitVisible());

    const std::wstring hosts = root.HostsPath();
    const std::wstring userXml = root.Etc(L"user.xml");
    const struct {
        const char* name;
        std::wstring id, password;
        std::function<void()> before, after;
        const wchar_t* section;
        const wchar_t* key;
        BoxIcon icon;
        int focus;    // 0: not checked
        size_t runs;  // of ZorvaneHosts so far
    } rows[] = {
        {"empty ID", L"", L"pw", {}, {}, L"information", L"empty_id", BoxIcon::Information, IDC_EDIT_ID, 0},
        {"empty password", L"alice", L"", {}, {}, L"information", L"empty_password", BoxIcon::Information,
         IDC_EDIT_PASSWORD, 0},
        {"service out of reach (0)", L"alice", L"s3cret", {}, {}, L"error", L"not_connect_server",
         BoxIcon::Information, IDOK, 1},
        {"account refused (401)", L"alice", L"s3cret", {}, {}, L"information", L"fail_login", BoxIcon::Information,
         IDOK, 2},
        {"ZorvaneHosts cannot start", L"alice", L"s3cret",
         [&] { ASSERT_TRUE(::MoveFileW(hosts.c_str(), (hosts + L".away").c_str())); },
         [&] { ASSERT_TRUE(::MoveFileW((hosts + L".away").c_str(), hosts.c_str())); }, L"error",
         L"fail_program_load", BoxIcon::Warning, IDOK, 2},
        {"signed in but user.xml cannot be saved", L"alice", L"s3cret",
         [&] {
             ASSERT_TRUE(::DeleteFileW(userXml.c_str()));
             ASSERT_TRUE(::CreateDirectoryW(userXml.c_str(), nullptr));
         },
         [&] {
             ASSERT_TRUE(::RemoveDirectoryW(userXml.c_str()));
             root.WriteUser("", "");
         },
         L"error", L"save", BoxIcon::Warning, 0, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.before) row.before();
        window->SetText(IDC_EDIT_ID, row.id);
        window->SetText(IDC_EDIT_PASSWORD, row.password);
        window->Click(IDOK, false);
        ExpectBox(*window, Text(row.section, L"title"), Text(row.section, row.key), row.icon);
        if (row.after) row.after();
        EXPECT_TRUE(ztest::WaitFor([&] { return window->Enabled(IDOK); }, 5000));
        ExpectIdle(*window);
        if (row.focus != 0) {
            EXPECT_TRUE(ztest::WaitFor([&] { return window->FocusId() == row.focus; }, 3000))
                << "focus on " << window->FocusId();
        }
        EXPECT_EQ(root.HostsRuns().size(), row.runs);
        EXPECT_TRUE(process->Running());
        EXPECT_EQ(shared.GetId(), L"");  // nothing published
    }

    // Escape while nothing runs must not swallow the next sign-in.
    window->Key(VK_ESCAPE);
    window->Click(IDOK, false);
    EXPECT_EQ(ExitCodeOf(*process), 2);
    EXPECT_EQ(root.HostsRuns().size(), 4u);
    EXPECT_EQ(root.ReadEtc(L"user.xml"), UserXml("alice", "s3cret"));
    EXPECT_EQ(shared.GetId(), L"alice");
}

TEST_F(LogonTest, AutomaticSignInStaysHiddenThroughItsRetries) {
    root.WriteConfig(kAllFlags);
    root.WriteUser("alice", "s3cret");
    root.ScriptHosts({{0, 401, 700}, {}});
    LogonWindow* window = nullptr;
    auto process = Start(L"/mode:auto", window);

    std::vector<ULONGLONG> runTimes;
    bool everShown = false;
    const ULONGLONG end = ::GetTickCount64() + 30000;
    const auto noteRuns = [&] {
        const size_t runs = root.HostsRuns().size();
        while (runTimes.size() < runs) runTimes.push_back(::GetTickCount64());
    };
    while (process->Running() && ::GetTickCount64() < end) {
        everShown = everShown || window->DialogVisible() || window->FindBox() != nullptr;
        noteRuns();
        ::Sleep(20);
    }
    noteRuns();  // the last run may end the program between two looks
    EXPECT_EQ(ExitCodeOf(*process, 0), 2);
    EXPECT_FALSE(everShown);

    const auto runs = root.HostsRuns();
    ASSERT_EQ(runs.size(), 3u);
    for (const auto& run : runs) EXPECT_EQ(U(run.commandLine), " /id:alice /password:s3cret");
    ASSERT_EQ(runTimes.size(), 3u);
    for (size_t i = 1; i < runTimes.size(); ++i) {
        EXPECT_GE(runTimes[i] - runTimes[i - 1], 4500u) << "pause before run " << i;
    }
    EXPECT_EQ(root.ReadEtc(L"user.xml"), UserXml("alice", "s3cret"));
    EXPECT_EQ(root.ReadFlags(), kAllFlags);
    EXPECT_EQ(shared.GetId(), L"alice");
    EXPECT_EQ(shared.GetPassword(), L"s3cret");
}

TEST_F(LogonTest, AutomaticSignInShowsItselfWhenItNeedsTheUser) {
    const struct {
        const char* name;
        std::string storedPassword;
        bool hostsMissing;
        const wchar_t* section;
        const wchar_t* key;
        BoxIcon icon;
        int focus;
        size_t runs;
    } rows[] = {
        {"no stored password", "", false, L"information", L"empty_password", BoxIcon::Information,
         IDC_EDIT_PASSWORD, 0},
        {"ZorvaneHosts cannot start", "s3cret", true, L"error", L"fail_program_load", BoxIcon::Warning, IDOK, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        root.WriteConfig(kAllFlags);
        root.WriteUser("alice", row.storedPassword);
        root.ScriptHosts({{700}, {}});
        if (row.hostsMissing) {
            ASSERT_TRUE(::DeleteFileW(root.HostsPath().c_str()));
        }

        LogonWindow* window = nullptr;
        auto process = Start(L"/mode:auto", window);
        ExpectBox(*window, Text(row.section, L"title"), Text(row.section, row.key), row.icon);
        EXPECT_TRUE(ztest::WaitFor([&] { return window->Enabled(IDOK); }, 5000));
        ExpectIdle(*window);
        EXPECT_TRUE(ztest::WaitFor([&] { return window->FocusId() == row.focus; }, 3000))
            << "focus on " << window->FocusId();
        EXPECT_EQ(root.HostsRuns().size(), row.runs);
        window->Close();
        EXPECT_EQ(ExitCodeOf(*process), 0);
        EXPECT_EQ(root.ReadEtc(L"user.xml"), UserXml("alice", row.storedPassword));
    }
}

TEST_F(LogonTest, CancelStopsAManualAttemptAndOnlyTheAccountCheck) {
    root.ScriptHosts({{700, 700}, {30000, 0}});
    // A program whose name merely contains the checker's name.
    const std::wstring lookalike = root.Bin(L"ZorvaneHostsCheck.exe");
    ztest::InstallStandIn(lookalike, {{0}, {60000}});
    ChildProcess other(lookalike);
    ASSERT_TRUE(ztest::WaitForStandInRuns(lookalike, 1));

    LogonWindow* window = nullptr;
    auto process = Start(L"/mode:manual", window);
    ASSERT_TRUE(window->WaitVisible());
    window->SetText(IDC_EDIT_ID, L"alice");
    window->SetText(IDC_EDIT_PASSWORD, L"s3cret");
    window->Click(IDOK, false);
    ASSERT_TRUE(ztest::WaitForStandInRuns(root.HostsPath(), 1));
    ASSERT_TRUE(ztest::WaitFor([&] { return window->Enabled(IDCANCEL); }, 5000));
    ExpectBusy(*window);

    window->Click(IDCANCEL);
    ExpectIdle(*window);
    UniqueHandle checker(::OpenProcess(SYNCHRONIZE, FALSE, root.HostsRuns()[0].processId));
    EXPECT_TRUE(!checker || ::WaitForSingleObject(checker.get(), 5000) == WAIT_OBJECT_0) << "ZorvaneHosts still runs";
    EXPECT_TRUE(other.Running()) << "a program with a longer name was ended";
    ::Sleep(500);
    EXPECT_EQ(window->FindBox(), nullptr) << "a cancelled attempt reported something";
    EXPECT_TRUE(process->Running());

    // Neither the cancelled attempt nor Escape while idle may swallow the next sign-in.
    window->Key(VK_ESCAPE);
    window->Click(IDOK, false);
    EXPECT_EQ(ExitCodeOf(*process), 2);
    EXPECT_EQ(root.HostsRuns().size(), 2u);
    EXPECT_EQ(root.ReadEtc(L"user.xml"), UserXml("alice", "s3cret"));
}

TEST_F(LogonTest, SecondStartShowsTheHiddenRetriesAndEscapeEndsThemAtOnce) {
    root.WriteConfig(kAllFlags);
    root.WriteUser("alice", "s3cret");
    root.ScriptHosts({{0, 700}, {}});
    LogonWindow* window = nullptr;
    auto process = Start(L"/mode:auto", window);
    ASSERT_TRUE(ztest::WaitForStandInRuns(root.HostsPath(), 1));
    const ULONGLONG firstRun = ::GetTickCount64();
    EXPECT_FALSE(window->DialogVisible());

    auto second = root.Start(L"/mode:manual");
    EXPECT_EQ(ExitCodeOf(*second), 0);
    ASSERT_TRUE(window->WaitVisible());
    ExpectBusy(*window);
    EXPECT_TRUE(ztest::WaitFor([&] { return window->FocusId() == IDCANCEL; }, 3000));

    window->Key(VK_ESCAPE);  // during the pause before the next attempt
    EXPECT_TRUE(ztest::WaitFor([&] { return window->Enabled(IDOK); }, 1000));
    ExpectIdle(*window);
    EXPECT_EQ(window->FocusId(), IDOK);
    const ULONGLONG pauseEnd = firstRun + 6500;
    while (::GetTickCount64() < pauseEnd) ::Sleep(50);
    EXPECT_EQ(root.HostsRuns().size(), 1u) << "an attempt ran after Cancel";
    EXPECT_EQ(window->FindBox(), nullptr);

    window->Click(IDOK, false);
    EXPECT_EQ(ExitCodeOf(*process), 2);
    EXPECT_EQ(root.HostsRuns().size(), 2u);
}

TEST_F(LogonTest, ClosingDuringTheRetryPauseEndsAtOnce) {
    root.WriteConfig(kAllFlags);
    root.WriteUser("alice", "s3cret");
    root.ScriptHosts({{401}, {}});
    LogonWindow* window = nullptr;
    auto process = Start(L"/mode:auto", window);
    ASSERT_TRUE(ztest::WaitForStandInRuns(root.HostsPath(), 1));
    const ULONGLONG closed = ::GetTickCount64();
    window->Close();
    EXPECT_EQ(ExitCodeOf(*process), 0);
    EXPECT_LT(::GetTickCount64() - closed, 3000u);
    EXPECT_EQ(root.HostsRuns().size(), 1u);
    EXPECT_EQ(root.ReadEtc(L"user.xml"), UserXml("alice", "s3cret"));
    EXPECT_EQ(shared.GetId(), L"");
}

TEST_F(LogonTest, ModeValuesDecideWhetherTheDialogShows) {
    const struct {
        const char* name;
        std::wstring args;
        bool autoLogin;
        bool shows;  // else hidden until a second start
    } rows[] = {
        {"manual", L"/mode:manual", true, true},
        {"upper-case AUTO, automatic sign-in off", L"/mode:AUTO", false, true},
        {"upper-case AUTO, automatic sign-in on", L"/mode:AUTO", true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        root.WriteConfig({row.autoLogin, row.autoLogin, row.autoLogin});
        root.WriteUser("alice", "s3cret");
        LogonWindow* window = nullptr;
        auto process = Start(row.args, window);
        if (row.shows) {
            EXPECT_TRUE(window->WaitVisible());
        } else {
            ::Sleep(1500);
            EXPECT_FALSE(window->DialogVisible());
            auto second = root.Start(L"/mode:manual");
            EXPECT_EQ(ExitCodeOf(*second), 0);
            EXPECT_TRUE(window->WaitVisible());
        }
        ExpectIdle(*window);
        EXPECT_EQ(root.HostsRuns().size(), 0u);
        window->Close();
        EXPECT_EQ(ExitCodeOf(*process), 0);
    }
}

TEST_F(LogonTest, StartsThatEndWithoutADialog) {
    const std::wstring configFail = L"Can't open a config file\n\nPlease reinstall the 'Zorvane DDNS Client'";
    const struct {
        const char* name;
        std::wstring args;
        const wchar_t* heldMutex;
        std::wstring language;
        std::wstring boxText;  // empty: nothing shows at all
        bool secondStartDuringBox = false;  // a second start while the box is up must not show the dialog
    } rows[] = {
        {"the configuration program runs", L"/mode:manual", L"ZorvaneDDNSClinet-ZorvaneConf", L"english", L""},
        {"a user is signed in", L"/mode:auto", L"ZorvaneDDNSClinet-ZorvaneAgent", L"english", L""},
        {"no mode option", L"/other:1", nullptr, L"english", L"Usage: ZorvaneLogon.exe /mode:[auto|manual]", true},
        {"no language file", L"/mode:manual", nullptr, L"missing", configFail},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        root.WriteConfig(kNoFlags, row.language);
        UniqueHandle held;
        if (row.heldMutex) held.reset(::CreateMutexW(nullptr, FALSE, row.heldMutex));
        auto process = root.Start(row.args);
        LogonWindow window(process->id());
        if (!row.boxText.empty()) {
            if (row.secondStartDuringBox) {
                ASSERT_NE(window.WaitForBox(), nullptr);
                auto second = root.Start(L"/mode:manual");
                EXPECT_EQ(ExitCodeOf(*second), 0);
                ASSERT_NE(window.WaitForDialog(), nullptr);
                window.Settle();  // the second start's message handled
                EXPECT_FALSE(window.DialogVisible());
            }
            ExpectBox(window, L"Zorvane - ERROR", row.boxText, BoxIcon::None);
            EXPECT_EQ(ExitCodeOf(*process), 0);
        } else {
            bool shown = false;
            while (process->Running()) {
                shown = shown || window.FindBox() != nullptr || (window.WaitForDialog(0) && window.DialogVisible());
                ::Sleep(20);
            }
            EXPECT_EQ(ExitCodeOf(*process), 0);
            EXPECT_FALSE(shown);
        }
        EXPECT_EQ(root.HostsRuns().size(), 0u);
    }
}

TEST_F(LogonTest, CheckBoxesPullEachOtherAndForgetAtOnce) {
    root.WriteConfig(kAllFlags);
    root.WriteUser("alice", "s3cret");
    LogonWindow* window = nullptr;
    auto process = Start(L"/mode:manual", window);
    ASSERT_TRUE(window->WaitVisible());
    EXPECT_EQ(BoxesOf(*window), kAllFlags);

    // A refused account never reaches user.xml, not even through a box that saves it at once.
    root.ScriptHosts({{401}, {}});
    window->SetText(IDC_EDIT_ID, L"mallory");
    window->SetText(IDC_EDIT_PASSWORD, L"guess");
    window->Click(IDOK, false);
    ExpectBox(*window, Text(L"information", L"title"), Text(L"information", L"fail_login"), BoxIcon::Information);
    ASSERT_TRUE(ztest::WaitFor([&] { return window->Enabled(IDOK); }, 5000));

    const struct {
        const char* name;
        int click;
        RememberFlags boxes;
        std::string userXml;
        RememberFlags flags;  // auto_login is written only after a sign-in
    } rows[] = {
        {"password off: automatic off, password forgotten", IDC_CHECK_SAVE_PASSWORD, {true, false, false},
         UserXml("alice", ""), {true, false, true}},
        {"automatic on: both others on, nothing written", IDC_CHECK_AUTO_LOGIN, kAllFlags, UserXml("alice", ""),
         {true, false, true}},
        {"automatic off: nothing else", IDC_CHECK_AUTO_LOGIN, {true, true, false}, UserXml("alice", ""),
         {true, false, true}},
        {"ID off: everything off, both forgotten", IDC_CHECK_SAVE_ID, kNoFlags, UserXml("", ""),
         {false, false, true}},
        {"password on: ID on, nothing written", IDC_CHECK_SAVE_PASSWORD, {true, true, false}, UserXml("", ""),
         {false, false, true}},
        {"ID off with the password on", IDC_CHECK_SAVE_ID, kNoFlags, UserXml("", ""), {false, false, true}},
        {"ID on: nothing else", IDC_CHECK_SAVE_ID, {true, false, false}, UserXml("", ""), {false, false, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        window->Click(row.click);
        EXPECT_EQ(BoxesOf(*window), row.boxes);
        EXPECT_EQ(root.ReadEtc(L"user.xml"), row.userXml);
        EXPECT_EQ(root.ReadFlags(), row.flags);
    }
    window->Close();
    EXPECT_EQ(ExitCodeOf(*process), 0);

    // A remembered password needs the remembered ID, automatic sign-in both: the start makes them agree.
    const struct {
        const char* name;
        RememberFlags stored;
        RememberFlags boxes;
        RememberFlags flags;
    } starts[] = {
        {"password without ID", {false, true, false}, {true, true, false}, {true, true, false}},
        {"automatic without the others", {false, false, true}, kAllFlags, kAllFlags},
        {"automatic with the ID only", {true, false, true}, kAllFlags, {true, false, true}},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.name);
        root.WriteConfig(start.stored);
        root.WriteUser("bob", "pw");
        process = Start(L"/mode:manual", window);
        ASSERT_TRUE(window->WaitVisible());
        EXPECT_EQ(BoxesOf(*window), start.boxes);
        EXPECT_EQ(U(window->Text(IDC_EDIT_ID)), "bob");
        EXPECT_EQ(U(window->Text(IDC_EDIT_PASSWORD)), "pw");
        EXPECT_EQ(root.ReadFlags(), start.flags);
        window->Close();
        EXPECT_EQ(ExitCodeOf(*process), 0);
    }
}

}  // namespace
