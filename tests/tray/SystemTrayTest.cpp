// The notification-area icon in process: the calls it makes to the shell (recorded, with scripted answers),
// the popup it would show in each signed-in state, and the double click's command.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/language/LangTable.h"
#include "tests/support/TestSupport.h"
#include "tray/MultiLangSystemTray.h"
#include "tray/ZorvaneTrayDlg.h"
#include "tray/resource.h"

namespace {

using ztest::U;

// Records the shell calls as "add(MIT) modify(MIT) delete()" (flags Message, Icon, Tip, State) with the
// records they were given, and answers them in turn from `answers` (true past its end).
struct RecordingShell {
    std::vector<bool> answers;
    std::string calls;
    std::vector<NOTIFYICONDATAW> records;

    CSystemTray::NotifyFunction Function() {
        return [this](DWORD message, NOTIFYICONDATAW* data) {
            if (!calls.empty()) calls += ' ';
            calls += message == NIM_ADD ? "add(" : message == NIM_MODIFY ? "modify(" : "delete(";
            const std::pair<UINT, char> letters[] = {
                {NIF_MESSAGE, 'M'}, {NIF_ICON, 'I'}, {NIF_TIP, 'T'}, {NIF_STATE, 'S'}};
            for (const auto& [flag, letter] : letters) {
                if (data->uFlags & flag) calls += letter;
            }
            calls += ')';
            records.push_back(*data);
            return records.size() <= answers.size() ? BOOL(answers[records.size() - 1]) : TRUE;
        };
    }
};

// A hidden window of the test's own for the icon's messages and the posted commands.
struct TestWindow : CWnd {
    TestWindow() { CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 0, 0}, nullptr, 0); }
    ~TestWindow() override { DestroyWindow(); }
};

enum class Step { Create, ShellRestart, WorkArea, OtherSetting, Hide, Destroy };

class SystemTrayTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), L"english")); }

    std::unique_ptr<CMultiLangSystemTray> MakeTray(RecordingShell& shell, const std::wstring& tip = L"tip") {
        auto tray = std::make_unique<CMultiLangSystemTray>();
        tray->SetNotifyFunction(shell.Function());
        tray->SetTargetWnd(parent.m_hWnd);
        tray->CreateIcon(&parent, tip, ::LoadIconW(nullptr, IDI_APPLICATION), kTrayIconId);
        return tray;
    }

    TestWindow parent;
};

// What the shell cannot show from outside: refused adds and removals (the end-to-end test covers the
// shell's restarts, work-area changes, second starts and the removal at the end while the shell obliges).
TEST_F(SystemTrayTest, ShellCallsKeepTheIconWhereItIsWanted) {
    const UINT restarted = ::RegisterWindowMessageW(L"TaskbarCreated");
    const struct {
        const char* name;
        std::vector<bool> answers;
        std::vector<Step> steps;
        const char* calls;
    } rows[] = {
        {"refused at start: the shell's restart adds it", {false, false},
         {Step::Create, Step::ShellRestart, Step::Destroy}, "add(MIT) modify(MIT) add(MIT) delete()"},
        {"refused at start: another setting adds nothing, a work-area change adds it", {false, false},
         {Step::Create, Step::OtherSetting, Step::WorkArea, Step::Destroy}, "add(MIT) modify(MIT) add(MIT) delete()"},
        {"refused and never added: nothing to remove", {false, false}, {Step::Create, Step::Destroy},
         "add(MIT) modify(MIT)"},
        {"a removal the shell refuses leaves it wanted: a restart adds it", {true, false},
         {Step::Create, Step::Hide, Step::ShellRestart, Step::Destroy}, "add(MIT) delete() add(MIT) delete()"},
        {"hidden: neither a restart nor a work-area change adds it", {},
         {Step::Create, Step::Hide, Step::ShellRestart, Step::WorkArea, Step::Destroy}, "add(MIT) delete()"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingShell shell{row.answers, {}, {}};
        std::unique_ptr<CMultiLangSystemTray> tray;
        HWND own = nullptr;
        for (const Step step : row.steps) {
            switch (step) {
                case Step::Create:
                    tray = MakeTray(shell);
                    own = tray->GetSafeHwnd();
                    ASSERT_NE(own, nullptr);
                    break;
                case Step::ShellRestart: ::SendMessageW(own, restarted, 0, 0); break;
                case Step::WorkArea: ::SendMessageW(own, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0); break;
                case Step::OtherSetting: ::SendMessageW(own, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0); break;
                case Step::Hide: tray->HideTrayIcon(); break;
                case Step::Destroy: tray.reset(); break;
            }
        }
        EXPECT_EQ(shell.calls, row.calls);
        EXPECT_FALSE(::IsWindow(own)) << "the icon's window outlived it";
        for (const NOTIFYICONDATAW& record : shell.records) {
            EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
            EXPECT_EQ(record.hWnd, parent.m_hWnd);
            EXPECT_EQ(record.uID, kTrayIconId);
            EXPECT_EQ(record.uCallbackMessage, static_cast<UINT>(WM_APP + 1000));
            EXPECT_EQ(U(record.szTip), "tip");
        }
    }
}

TEST_F(SystemTrayTest, TooltipIsCutToWhatTheRecordHolds) {
    const std::wstring pair = L"\xD83D\xDE00";  // one character in two units
    const struct {
        const char* name;
        std::wstring tip;
        std::wstring shown;
    } rows[] = {
        {"empty", L"", L""},
        {"200 characters: the first 127", std::wstring(200, L'a'), std::wstring(127, L'a')},
        {"a pair across the cut is left out whole", std::wstring(126, L'a') + pair, std::wstring(126, L'a')},
    };
    for (const auto& row : rows) {
        RecordingShell shell;
        auto tray = MakeTray(shell, row.tip);
        ASSERT_FALSE(shell.records.empty());
        EXPECT_EQ(std::wstring(shell.records[0].szTip), row.shown) << row.name;
    }
}

// The popup as the dialog prepares it for a right click in each state: texts from the language file in the
// menu's order, then the default item marked.
TEST_F(SystemTrayTest, PopupHasTheStatesTextsAndDefaultItem) {
    const struct {
        const char* name;
        bool signedIn;
        const char* items;  // "|" for a separator
        UINT defaultCommand;
    } rows[] = {
        {"signed in", true, "Zorvane DDNS settings,|,About,Check for updates,Zorvane home page,|,Sign out,Exit",
         ID_MENU_DDNS_CONFIG},
        {"signed out", false, "About,Check for updates,Zorvane home page,|,Sign in,Exit", ID_MENU_LOGIN},
    };
    RecordingShell shell;
    auto tray = MakeTray(shell);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CZorvaneTrayDlg::PreparePopup(*tray, row.signedIn);
        const TrayPopupMenu popup = tray->LoadPopupMenu();
        ASSERT_NE(popup.popup, nullptr);
        std::string items;
        for (int i = 0; i < ::GetMenuItemCount(popup.popup); ++i) {
            wchar_t text[64] = {};
            ::GetMenuStringW(popup.popup, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            const bool separator = ::GetMenuState(popup.popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR;
            items += (i ? "," : "") + (separator ? std::string("|") : U(text));
        }
        EXPECT_EQ(items, row.items);
        EXPECT_EQ(::GetMenuDefaultItem(popup.popup, FALSE, 0), row.defaultCommand);
    }
    tray->SetMenuResource(131);
    EXPECT_EQ(tray->LoadPopupMenu().popup, nullptr) << "a menu that does not exist";
}

// The icon class's own double click (the tray's dialog takes its double clicks itself): a default item by
// position posts the command of the item there.
TEST_F(SystemTrayTest, DoubleClickPostsTheDefaultCommand) {
    RecordingShell shell;
    auto tray = MakeTray(shell);
    tray->SetDefaultMenuItem(2, true);
    tray->OnIconNotify(kTrayIconId, WM_LBUTTONDBLCLK);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, parent.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), ID_MENU_PROGRAM_INFORMATION);
}

}  // namespace
