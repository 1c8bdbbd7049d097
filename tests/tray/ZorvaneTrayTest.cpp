// ZorvaneTray end to end: the built program in a temporary installation root with recording stand-ins for the
// programs it starts, driven through its hidden dialog (commands as a menu click sends them, the icon's mouse
// messages as the shell sends them) and checked through the shell's own icon calls.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/framework/WorkerTasks.h"
#include "common/language/LangTable.h"
#include "common/settings/ServiceHost.h"
#include "tests/support/BoxDriver.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/WineDesktop.h"
#include "tests/tray/TrayRoot.h"
#include "tray/resource.h"

namespace {

using ztest::ChildProcess;
using ztest::StandInRun;
using ztest::U;

constexpr UINT UWM_TRAY_CALLBACK = WM_APP + 1000;
constexpr UINT kIconId = 129;
constexpr DWORD kEndWaitMs = 10000;
constexpr unsigned kLongRunMs = 60000;  // a program that runs until the test ends it

constexpr wchar_t kAgentMutex[] = L"ZorvaneDDNSClinet-ZorvaneAgent";
constexpr wchar_t kLogonMutex[] = L"ZorvaneDDNSClinet-ZorvaneLogon";
constexpr wchar_t kLaunchMutex[] = L"ZorvaneDDNSClinet-ZorvaneLaunch";
constexpr wchar_t kAboutMutex[] = L"ZorvaneDDNSClinet-ZorvaneAbout";

std::wstring Text(const wchar_t* section, const wchar_t* key) {
    return CLangTable::GetInstance()->GetText(section, key);
}

long ExitCodeOf(ChildProcess& process, DWORD timeoutMs = kEndWaitMs) {
    DWORD code = 0;
    return process.Wait(timeoutMs, &code) ? static_cast<long>(code) : -1;
}

// What a started program got after its own path: the command line with a leading program path (quoted or
// not) taken off.
std::wstring ArgumentsOf(const StandInRun& run, const std::wstring& exePath) {
    const std::wstring& line = run.commandLine;
    for (const std::wstring& lead : {L"\"" + exePath + L"\"", exePath}) {
        if (line.size() >= lead.size() && ::CompareStringOrdinal(line.c_str(), static_cast<int>(lead.size()),
                                                                 lead.c_str(), static_cast<int>(lead.size()),
                                                                 TRUE) == CSTR_EQUAL) {
            return line.substr(lead.size());
        }
    }
    return line;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The popup menu window of the process, once it shows.
HWND WaitForPopup(DWORD processId) {
    HWND popup = nullptr;
    ztest::WaitFor(
        [&] {
            for (HWND hwnd : ztest::ProcessWindows(processId)) {
                if (ztest::ClassOf(hwnd) == L"#32768" && ::IsWindowVisible(hwnd)) popup = hwnd;
            }
            return popup != nullptr;
        },
        5000);
    return popup;
}

std::wstring ScreenshotPath(const std::wstring& name) {
    const std::wstring folder = ztest::BinaryDir() + L"\\screenshots";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name + L".png";
}

// Saves the window as <build>\screenshots\<name>.png once it has painted.
void Shoot(HWND window, const std::wstring& name) {
    EXPECT_TRUE(ztest::WaitPainted(window)) << U(name) << " did not paint";
    EXPECT_TRUE(ztest::SaveWindowPng(window, ScreenshotPath(name))) << U(name);
}

// Opens the icon's popup as a right click does (saved as the screenshot `shot` when one is named) and closes
// it with Escape; false when it did not show or go.
bool OpenAndEscapePopup(HWND dialog, DWORD processId, const std::wstring& shot = L"") {
    ::PostMessageW(dialog, UWM_TRAY_CALLBACK, kIconId, WM_RBUTTONUP);
    const HWND popup = WaitForPopup(processId);
    if (!popup) return false;
    if (!shot.empty()) Shoot(popup, shot);
    ::PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    return ztest::WaitFor([&] { return !::IsWindowVisible(popup); }, 5000);
}

// The threads the process runs now (0 when the snapshot fails).
size_t ThreadCount(DWORD processId) {
    const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    size_t count = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == processId) ++count;
    }
    return count;
}

// Held for the whole program, so that only its own removal, the area's last, waits.
class IconHolder : public ::testing::Environment {
public:
    void SetUp() override { m_holder = std::make_unique<ztest::ShellIconHolder>(); }
    void TearDown() override { m_holder.reset(); }

private:
    std::unique_ptr<ztest::ShellIconHolder> m_holder;
};
[[maybe_unused]] ::testing::Environment* const kIconHolder = ::testing::AddGlobalTestEnvironment(new IconHolder);

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), L"english")); }

    // Starts the program and waits for its dialog and its icon.
    std::unique_ptr<ChildProcess> Start(HWND& dialog) {
        auto process = root.Start();
        dialog = ztest::WaitForDialog(L"ZorvaneTray", 15000, true);
        EXPECT_NE(dialog, nullptr);
        EXPECT_TRUE(ztest::WaitFor([&] { return ztest::TrayIconShown(dialog); }, 5000)) << "no icon";
        return process;
    }

    ztest::WineUnmanagedWindows fastWindows;
    ztest::TrayRoot root;
};

TEST_F(TrayTest, IconStaysInTheNotificationAreaWhileTheDialogNeverShows) {
    HWND dialog = nullptr;
    auto process = Start(dialog);
    ASSERT_NE(dialog, nullptr);
    const DWORD id = process->id();
    const UINT restarted = ::RegisterWindowMessageW(L"TaskbarCreated");

    const struct {
        const char* name;
        std::function<void()> act;
        bool deleteFirst;  // the shell loses the icon first, as when it restarts
    } rows[] = {
        {"a second start adds the icon again and ends",
         [&] {
             auto second = root.Start();
             EXPECT_EQ(ExitCodeOf(*second), 0);
         },
         true},
        {"the shell's restart adds it again", [&] { ztest::SendToWindows(id, restarted); }, true},
        {"Escape and Enter after a popup end nothing",
         [&] {
             EXPECT_TRUE(OpenAndEscapePopup(dialog, id));
             ztest::WindowDriver(dialog).Key(VK_ESCAPE);
             ztest::WindowDriver(dialog).Key(VK_RETURN);
             // Messages are handled in order: a popup after the keys shows that the dialog still runs.
             EXPECT_TRUE(OpenAndEscapePopup(dialog, id)) << "the dialog ended";
         },
         false},
        {"a work-area change keeps the icon", [&] { ztest::SendToWindows(id, WM_SETTINGCHANGE, SPI_SETWORKAREA); },
         false},
        {"after a work-area change, a restart still adds it again", [&] { ztest::SendToWindows(id, restarted); },
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.deleteFirst) {
            ASSERT_TRUE(ztest::DeleteTrayIcon(dialog));
        }
        row.act();
        EXPECT_TRUE(ztest::WaitFor([&] { return ztest::TrayIconShown(dialog); }, 5000));
        ztest::WindowDriver(dialog).Settle();
        EXPECT_FALSE(::IsWindowVisible(dialog));
        EXPECT_TRUE(process->Running());
    }
    EXPECT_EQ(root.RunsSince(), "") << "nothing was started";

    // As the configuration program closes it: found by its caption.
    ::PostMessageW(::FindWindowW(L"#32770", L"ZorvaneTray"), WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCodeOf(*process), 0);
    EXPECT_FALSE(ztest::TrayIconShown(dialog)) << "the icon outlived the program";
    EXPECT_EQ(::FindWindowW(L"#32770", L"ZorvaneTray"), nullptr);
}

// Every command as a menu click sends it, the double click and the right click, each in the state it depends
// on; one program serves all rows. Each row waits until its own command has ended (the process has no more
// threads than before it), so that what started, or nothing, is the row's own doing.
TEST_F(TrayTest, CommandsStartTheirProgramsFromTheirFolders) {
    HWND dialog = nullptr;
    auto process = Start(dialog);
    ASSERT_NE(dialog, nullptr);
    const std::wstring home = L" \"http://" + DefaultServiceHost() + L"/\"";
    const std::wstring console = L" \"" + root.Root() + L"\\services.msc\" /s";

    enum class Via { Command, DoubleClick, FirstItemOfPopup };
    const struct {
        const char* name;
        Via via;
        UINT command;
        std::vector<const wchar_t*> held;  // mutexes held by the test meanwhile
        std::wstring program;              // empty: nothing starts
        std::wstring arguments;
        bool direct;                       // started by the tray itself, not through the shell
    } rows[] = {
        {"settings", Via::Command, ID_MENU_DDNS_CONFIG, {}, root.Bin(L"ZorvaneConf.exe"), L"", true},
        {"program information", Via::Command, ID_MENU_PROGRAM_INFORMATION, {}, root.Bin(L"ZorvaneAbout.exe"), L"",
         true},
        {"program information already open", Via::Command, ID_MENU_PROGRAM_INFORMATION, {kAboutMutex}, L"", L"",
         true},
        {"program update", Via::Command, ID_MENU_PROGRAM_UPDATE, {}, root.Bin(L"ZorvanePatch.exe"),
         L" /mode:manual", true},
        {"home page", Via::Command, ID_MENU_HOME_PAGE, {}, root.Browser(), home, false},
        {"sign-out", Via::Command, ID_MENU_LOGOUT, {kAgentMutex}, root.Root() + L"\\ZorvaneLaunch.exe",
         L" /stop:logout", true},
        {"sign-in", Via::Command, ID_MENU_LOGIN, {}, root.Root() + L"\\ZorvaneLaunch.exe", L" /start:login", true},
        {"sign-in when signed in meanwhile", Via::Command, ID_MENU_LOGIN, {kAgentMutex}, L"", L"", true},
        {"preferences", Via::Command, ID_MENU_PREFS, {}, root.Bin(L"ZorvanePrefs.exe"), L"", true},
        {"services console", Via::Command, ID_MENU_SERVICES, {}, root.Console(), console, false},
        {"double click signed in", Via::DoubleClick, 0, {kAgentMutex}, root.Bin(L"ZorvaneConf.exe"), L"", true},
        {"double click signed out", Via::DoubleClick, 0, {}, root.Root() + L"\\ZorvaneLaunch.exe",
         L" /start:login", true},
        {"double click, the login manager runs hidden", Via::DoubleClick, 0, {kLogonMutex},
         root.Bin(L"ZorvaneLogon.exe"), L" /mode:auto", true},
        {"double click, the launcher runs", Via::DoubleClick, 0, {kLaunchMutex}, L"", L"", true},
        {"double click, the login manager and the launcher run", Via::DoubleClick, 0, {kLogonMutex, kLaunchMutex},
         root.Bin(L"ZorvaneLogon.exe"), L" /mode:auto", true},
        {"right click signed in: the settings first", Via::FirstItemOfPopup, 0, {kAgentMutex},
         root.Bin(L"ZorvaneConf.exe"), L"", true},
        {"right click signed out: the program information first", Via::FirstItemOfPopup, 0, {},
         root.Bin(L"ZorvaneAbout.exe"), L"", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<UniqueHandle> held;
        for (const wchar_t* name : row.held) held.emplace_back(::CreateMutexW(nullptr, FALSE, name));
        const auto before = root.CountRuns();
        const size_t threads = ThreadCount(process->id());
        ASSERT_GT(threads, 0u);
        DWORD_PTR result = 0;
        switch (row.via) {
            case Via::Command:  // sent: the command's thread exists once the call returns
                ASSERT_TRUE(::SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(row.command, 0), 0, SMTO_NORMAL,
                                                  kEndWaitMs, &result));
                break;
            case Via::DoubleClick:
                ASSERT_TRUE(::SendMessageTimeoutW(dialog, UWM_TRAY_CALLBACK, kIconId, WM_LBUTTONDBLCLK, SMTO_NORMAL,
                                                  kEndWaitMs, &result));
                break;
            case Via::FirstItemOfPopup: {
                ::PostMessageW(dialog, UWM_TRAY_CALLBACK, kIconId, WM_RBUTTONUP);
                const HWND popup = WaitForPopup(process->id());
                ASSERT_NE(popup, nullptr);
                ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
                ::PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
                break;
            }
        }
        const std::wstring& program = row.program;
        if (!program.empty()) {
            ASSERT_TRUE(ztest::WaitForStandInRuns(program, before.at(program) + 1, 10000)) << root.RunsSince(before);
        }
        ASSERT_TRUE(ztest::WaitFor([&] { return ThreadCount(process->id()) <= threads; }, 10000))
            << "the command did not end";
        EXPECT_EQ(root.RunsSince(before), program.empty() ? "" : U(program.substr(root.Root().size() + 1)) + " x1\n");
        if (program.empty()) continue;

        const StandInRun run = ztest::StandInRuns(program).back();
        EXPECT_EQ(U(ArgumentsOf(run, program)), U(row.arguments));
        EXPECT_TRUE(SamePath(run.workingFolder, root.Root())) << U(run.workingFolder);
        if (row.direct) {
            EXPECT_EQ(run.startFlags, static_cast<unsigned long>(STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK));
            EXPECT_EQ(run.showWindow, static_cast<unsigned>(SW_SHOW));
        }
    }
    EXPECT_FALSE(::IsWindowVisible(dialog));

    // A program that runs long holds up nothing: the next command starts at once.
    const std::wstring settings = root.Bin(L"ZorvaneConf.exe");
    root.Script(settings, {{0}, {kLongRunMs}});
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ID_MENU_DDNS_CONFIG, 0), 0);
    ASSERT_TRUE(ztest::WaitForStandInRuns(settings, 1));
    const std::wstring update = root.Bin(L"ZorvanePatch.exe");
    const size_t updates = ztest::StandInRuns(update).size();
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ID_MENU_PROGRAM_UPDATE, 0), 0);
    EXPECT_TRUE(ztest::WaitForStandInRuns(update, updates + 1, 5000));

    // Exit answered No changes nothing; Yes tells the launcher and ends without waiting for it, while the
    // programs started before keep running.
    const std::wstring launcher = root.Root() + L"\\ZorvaneLaunch.exe";
    root.Script(launcher, {{0}, {kLongRunMs}});
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "exit: yes" : "exit: no");
        const auto before = root.CountRuns();
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ID_MENU_EXIT, 0), 0);
        const HWND box = ztest::WaitForBox(process->id(), dialog);
        ASSERT_NE(box, nullptr);
        const ztest::BoxText shown = ztest::ReadBox(box);
        EXPECT_EQ(U(shown.caption), U(Text(L"question", L"title")));
        EXPECT_EQ(U(shown.text), U(Text(L"question", L"exit")));
        if (answer == IDNO) {
            // Exit again while the question shows (the icon's popup still opens): no second question.
            DWORD_PTR result = 0;
            EXPECT_TRUE(::SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(ID_MENU_EXIT, 0), 0, SMTO_NORMAL, 3000,
                                              &result))
                << "asked twice";
        }
        const ULONGLONG answered = ::GetTickCount64();
        EXPECT_TRUE(ztest::AnswerBox(box, answer));
        if (answer == IDNO) {
            ztest::WindowDriver(dialog).Settle();
            EXPECT_TRUE(process->Running());
            EXPECT_TRUE(ztest::TrayIconShown(dialog));
            EXPECT_EQ(root.RunsSince(before), "");
            continue;
        }
        EXPECT_EQ(ExitCodeOf(*process), 0);
        // Sooner than the framework would wait for bodies it stopped.
        EXPECT_LT(::GetTickCount64() - answered, CWorkerTasks::kOwnerGoneWaitMs) << "the program waited";
        EXPECT_FALSE(ztest::TrayIconShown(dialog));
        ASSERT_TRUE(ztest::WaitForStandInRuns(launcher, 1));
        ASSERT_EQ(ztest::StandInRuns(launcher).size(), 1u) << "No told the launcher too";
        const StandInRun run = ztest::StandInRuns(launcher).back();
        EXPECT_EQ(U(run.commandLine), " /stop:normal");
        EXPECT_EQ(run.showWindow, static_cast<unsigned>(SW_SHOW));
        for (const std::wstring& still : {launcher, settings}) {
            UniqueHandle running(::OpenProcess(SYNCHRONIZE, FALSE, ztest::StandInRuns(still).back().processId));
            EXPECT_TRUE(running && ::WaitForSingleObject(running.get(), 0) == WAIT_TIMEOUT) << U(still);
        }
    }
}

// The icon's popup signed in and signed out, and the exit question, in both shipped languages: saved as PNG
// under <build>\screenshots for a person to look at.
TEST_F(TrayTest, MenusAndExitQuestionInBothLanguages) {
    // Programs started after the link show Hangul.
    if (ztest::UnderWine()) {
        ASSERT_TRUE(ztest::LinkHangulFont());
    }
    for (const std::wstring language : {L"korean", L"english"}) {
        SCOPED_TRACE(U(language));
        ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), language));
        root.WriteConfig(language);
        HWND dialog = nullptr;
        auto process = Start(dialog);
        ASSERT_NE(dialog, nullptr);
        const std::wstring base = L"tray-" + language;
        {
            const UniqueHandle signedIn(::CreateMutexW(nullptr, FALSE, kAgentMutex));
            EXPECT_TRUE(OpenAndEscapePopup(dialog, process->id(), base + L"-menu-signed-in"));
        }
        EXPECT_TRUE(OpenAndEscapePopup(dialog, process->id(), base + L"-menu-signed-out"));

        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ID_MENU_EXIT, 0), 0);
        const HWND box = ztest::WaitForBox(process->id(), dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(U(ztest::ReadBox(box).text), U(Text(L"question", L"exit")));
        Shoot(box, base + L"-exit-question");
        EXPECT_TRUE(ztest::AnswerBox(box, IDNO));
        ztest::WindowDriver(dialog).Close();
        EXPECT_EQ(ExitCodeOf(*process), 0);
    }
}

// A failed start-up load shows its fixed box over the hidden dialog, adds no icon and ends with 0.
TEST_F(TrayTest, FailedStartUpLoadsShowTheirBoxAndEnd) {
    const std::wstring reinstall = L"\n\nPlease reinstall the 'Zorvane DDNS Client'";
    const struct {
        const char* name;
        std::function<void()> breakIt;
        std::wstring text;
    } rows[] = {
        {"config.xml cannot be read or replaced",
         [&] {
             ASSERT_TRUE(::DeleteFileW(root.Etc(L"config.xml").c_str()));
             ASSERT_TRUE(::CreateDirectoryW(root.Etc(L"config.xml").c_str(), nullptr));
         },
         L"Can't open a file : config.xml" + reinstall},
        {"the language file is missing",
         [&] {
             ASSERT_TRUE(::RemoveDirectoryW(root.Etc(L"config.xml").c_str()));
             root.WriteConfig(L"missing");
         },
         L"Can't open a file : missing.xml" + reinstall},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.breakIt();
        auto process = root.Start();
        const HWND box = ztest::WaitForBox(process->id(), nullptr);
        ASSERT_NE(box, nullptr);
        const ztest::BoxText shown = ztest::ReadBox(box);
        EXPECT_EQ(U(shown.caption), "Zorvane - ERROR");
        EXPECT_EQ(U(shown.text), U(row.text));
        const HWND dialog = ::GetWindow(box, GW_OWNER);
        EXPECT_NE(dialog, nullptr);
        EXPECT_FALSE(::IsWindowVisible(dialog));
        EXPECT_FALSE(ztest::TrayIconShown(dialog));
        EXPECT_TRUE(ztest::AnswerBox(box, IDOK));
        EXPECT_EQ(ExitCodeOf(*process), 0);
    }
    EXPECT_EQ(root.RunsSince(), "");
}

}  // namespace
