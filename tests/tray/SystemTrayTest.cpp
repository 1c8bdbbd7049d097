// The notification-area icon in process: the calls it makes to the shell (recorded, with scripted answers),
// the popup it would show in each signed-in state, and the double click's command.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/language/LangTable.h"
#include "tests/support/TestSupport.h"
#include "tray/MultiLangSystemTray.h"
#include "tray/ZorvaneTrayDlg.h"
#include "tray/resource.h"

namespace {

using ztest::U;

// Records the shell calls as "add(MIT)", "modify(MIT)", "delete()" (flags: Message, Icon, Tip, State,
// iNfo) and answers them in turn from `answers` (true past its end).
struct RecordingShell {
    struct Call {
        DWORD message;
        NOTIFYICONDATAW data;
    };
    std::vector<bool> answers;
    std::vector<Call> calls;

    CSystemTray::NotifyFunction Function() {
        return [this](DWORD message, NOTIFYICONDATAW* data) {
            calls.push_back({message, *data});
            const size_t i = calls.size() - 1;
            return i < answers.size() ? BOOL(answers[i]) : TRUE;
        };
    }
    std::string Calls() const {
        std::string text;
        for (const Call& call : calls) {
            if (!text.empty()) text += ' ';
            text += call.message == NIM_ADD ? "add(" : call.message == NIM_MODIFY ? "modify(" : "delete(";
            const struct {
                UINT flag;
                char letter;
            } letters[] = {{NIF_MESSAGE, 'M'}, {NIF_ICON, 'I'}, {NIF_TIP, 'T'}, {NIF_STATE, 'S'}, {NIF_INFO, 'N'}};
            for (const auto& l : letters) {
                if (call.data.uFlags & l.flag) text += l.letter;
            }
            text += ')';
        }
        return text;
    }
};

// A hidden window of the test's own for the icon's messages and the posted commands.
struct TestWindow : CWnd {
    TestWindow() { CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 0, 0}, nullptr, 0); }
    ~TestWindow() override { DestroyWindow(); }
};

enum class Step { Create, CreateHidden, ShellRestart, WorkArea, OtherSetting, Hide, Show, Destroy };

class SystemTrayTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), L"english")); }

    std::unique_ptr<CMultiLangSystemTray> MakeTray(RecordingShell& shell, const std::wstring& tip = L"tip",
                                                   bool hidden = false) {
        auto tray = std::make_unique<CMultiLangSystemTray>();
        tray->SetNotifyFunction(shell.Function());
        tray->SetTargetWnd(parent.m_hWnd);
        tray->CreateIcon(&parent, tip, ::LoadIconW(nullptr, IDI_APPLICATION), kTrayIconId, hidden);
        return tray;
    }

    TestWindow parent;
};

TEST_F(SystemTrayTest, ShellCallsKeepTheIconWhereItIsWanted) {
    const UINT restarted = ::RegisterWindowMessageW(L"TaskbarCreated");
    const struct {
        const char* name;
        std::vector<bool> answers;
        std::vector<Step> steps;
        const char* calls;
    } rows[] = {
        {"added, and removed at the end", {}, {Step::Create, Step::Destroy}, "add(MIT) delete()"},
        {"refused at start: the shell's restart adds it", {false, false},
         {Step::Create, Step::ShellRestart, Step::Destroy}, "add(MIT) modify(MIT) add(MIT) delete()"},
        {"refused at start: a work-area change adds it", {false, false}, {Step::Create, Step::WorkArea, Step::Destroy},
         "add(MIT) modify(MIT) add(MIT) delete()"},
        {"refused and never added: nothing to remove", {false, false}, {Step::Create, Step::Destroy},
         "add(MIT) modify(MIT)"},
        {"a work-area change while the shell holds it: a later restart still adds it", {true, false, true},
         {Step::Create, Step::WorkArea, Step::ShellRestart, Step::Destroy},
         "add(MIT) add(MIT) modify(MIT) add(MIT) delete()"},
        {"another setting changes nothing", {}, {Step::Create, Step::OtherSetting, Step::Destroy},
         "add(MIT) delete()"},
        {"a second start: removed and added again", {}, {Step::Create, Step::Hide, Step::Show, Step::Destroy},
         "add(MIT) delete() add(MIT) delete()"},
        {"a removal the shell refuses leaves it wanted: a restart adds it", {true, false},
         {Step::Create, Step::Hide, Step::ShellRestart, Step::Destroy}, "add(MIT) delete() add(MIT) delete()"},
        {"hidden: neither a restart nor a work-area change adds it", {},
         {Step::Create, Step::Hide, Step::ShellRestart, Step::WorkArea, Step::Destroy}, "add(MIT) delete()"},
        {"created hidden, then shown: a restart adds it shown", {},
         {Step::CreateHidden, Step::ShellRestart, Step::Show, Step::ShellRestart, Step::Destroy},
         "add(MITS) delete() add(MIT) add(MIT) delete()"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingShell shell{row.answers, {}};
        std::unique_ptr<CMultiLangSystemTray> tray;
        HWND own = nullptr;
        for (const Step step : row.steps) {
            switch (step) {
                case Step::Create:
                case Step::CreateHidden:
                    tray = MakeTray(shell, L"tip", step == Step::CreateHidden);
                    own = tray->GetSafeHwnd();
                    ASSERT_NE(own, nullptr);
                    break;
                case Step::ShellRestart: ::SendMessageW(own, restarted, 0, 0); break;
                case Step::WorkArea: ::SendMessageW(own, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0); break;
                case Step::OtherSetting: ::SendMessageW(own, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0); break;
                case Step::Hide: tray->HideTrayIcon(); break;
                case Step::Show: tray->ShowTrayIcon(); break;
                case Step::Destroy: tray.reset(); break;
            }
        }
        EXPECT_EQ(shell.Calls(), row.calls);
        EXPECT_FALSE(::IsWindow(own)) << "the icon's window outlived it";
        for (const auto& call : shell.calls) {
            EXPECT_EQ(call.data.cbSize, sizeof(NOTIFYICONDATAW));
            EXPECT_EQ(call.data.hWnd, parent.m_hWnd);
            EXPECT_EQ(call.data.uID, kTrayIconId);
            EXPECT_EQ(call.data.uCallbackMessage, static_cast<UINT>(WM_APP + 1000));
            EXPECT_EQ(U(call.data.szTip), "tip");
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
        ASSERT_FALSE(shell.calls.empty());
        EXPECT_EQ(std::wstring(shell.calls[0].data.szTip), row.shown) << row.name;
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

// The icon class's own double click (the tray's dialog takes its double clicks itself).
TEST_F(SystemTrayTest, DoubleClickPostsTheDefaultCommand) {
    const struct {
        const char* name;
        MenuDefaultItem item;
        WPARAM icon;
        UINT posted;  // 0: nothing
    } rows[] = {
        {"by command", {ID_MENU_LOGOUT, false}, kTrayIconId, ID_MENU_LOGOUT},
        {"by position", {2, true}, kTrayIconId, ID_MENU_PROGRAM_INFORMATION},
        {"by position, a separator", {1, true}, kTrayIconId, 0},
        {"another icon's click", {ID_MENU_LOGOUT, false}, kTrayIconId + 1, 0},
    };
    RecordingShell shell;
    auto tray = MakeTray(shell);
    for (const auto& row : rows) {
        tray->SetDefaultMenuItem(row.item.item, row.item.byPosition);
        tray->OnIconNotify(row.icon, WM_LBUTTONDBLCLK);
        MSG msg{};
        const bool posted = ::PeekMessageW(&msg, parent.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE);
        EXPECT_EQ(posted ? LOWORD(msg.wParam) : 0u, row.posted) << row.name;
    }
}

}  // namespace
