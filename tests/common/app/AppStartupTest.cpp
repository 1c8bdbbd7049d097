// The start-up loads that every program makes, in a temporary installation root: which fixed box a failed
// load shows and to whom, and that the workers' silent loads show none.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "common/app/AppStartup.h"
#include "common/base/UniqueHandle.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"

namespace {

using ztest::U;

struct BoxSeen {
    bool shown = false;
    std::wstring text;
    bool warningIcon = false;
    HWND owner = nullptr;
};

// Runs `load` on this thread while another thread watches for a fixed box of this process, reads it and
// closes it with OK.
BoxSeen WatchForBox(const std::function<void()>& load) {
    BoxSeen seen;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        while (!done) {
            for (HWND box : ztest::ProcessWindows(::GetCurrentProcessId())) {
                if (!ztest::IsDialog(box) || ztest::WindowText(box) != kErrorBoxCaption) continue;
                seen.shown = true;
                seen.text = ztest::WindowText(::GetDlgItem(box, 0xFFFF));
                seen.owner = ::GetWindow(box, GW_OWNER);
                for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                    if ((::GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
                    const LRESULT icon = ::SendMessageW(child, STM_GETICON, 0, 0);
                    seen.warningIcon = icon == reinterpret_cast<LRESULT>(::LoadIconW(nullptr, IDI_WARNING));
                }
                ztest::WindowDriver(box).Command(IDOK);
                return;
            }
            ::Sleep(20);
        }
    });
    load();
    done = true;
    watcher.join();
    return seen;
}

TEST(AppStartup, AFailedLoadShowsItsFixedBoxOrNothing) {
    const std::wstring reinstall = L"\n\nPlease reinstall the 'Zorvane DDNS Client'";
    enum class Fault { None, NoLanguageFile, SettingsBlocked };
    enum class Boxes { Silent, NoOwner, Owned };
    const struct {
        const char* name;
        Fault fault;
        Boxes boxes;
        bool config, language;
        std::wstring box;  // empty: none shows
    } rows[] = {
        {"everything there", Fault::None, Boxes::Owned, true, true, L""},
        {"language file missing", Fault::NoLanguageFile, Boxes::Owned, true, false,
         L"Can't open a file : testlang.xml" + reinstall},
        {"config.xml can neither be read nor replaced", Fault::SettingsBlocked, Boxes::NoOwner, false, false,
         L"Can't open a file : config.xml" + reinstall},
        {"a worker: no language file, silently", Fault::NoLanguageFile, Boxes::Silent, true, false, L""},
        {"a worker: config.xml blocked, silently", Fault::SettingsBlocked, Boxes::Silent, false, false, L""},
    };
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ztest::TempDir root;
        for (const wchar_t* folder : {L"etc", L"lang"}) ::CreateDirectoryW((root / folder).c_str(), nullptr);
        ztest::WriteBytes(root / L"etc\\config.xml",
                          "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<langauge>testlang</langauge>\r\n</zorvane>\r\n");
        if (row.fault != Fault::NoLanguageFile) {
            ztest::WriteBytes(root / L"lang\\testlang.xml",
                              "<?xml version=\"1.0\"?>\r\n<zorvane><general><ok>OK</ok></general></zorvane>\r\n");
        }
        if (row.fault == Fault::SettingsBlocked) {
            ASSERT_TRUE(::DeleteFileW((root / L"etc\\config.xml").c_str()));
            ASSERT_TRUE(::CreateDirectoryW((root / L"etc\\config.xml").c_str(), nullptr));
        }
        const HWND boxOwner = row.boxes == Boxes::Owned ? owner : nullptr;
        const CAppStartup startup = row.boxes == Boxes::Silent ? CAppStartup::Silent(root.path())
                                                               : CAppStartup::WithBoxes(boxOwner, root.path());
        bool config = false;
        bool language = false;
        const BoxSeen box = WatchForBox([&] {
            config = startup.LoadConfig();
            language = config && startup.LoadLanguage();
        });
        EXPECT_EQ(config, row.config);
        EXPECT_EQ(language, row.language);
        EXPECT_EQ(box.shown, !row.box.empty());
        EXPECT_EQ(U(box.text), U(row.box));
        if (box.shown) {
            EXPECT_TRUE(box.warningIcon);
            EXPECT_EQ(box.owner, boxOwner);
        }
    }
    ::DestroyWindow(owner);
}

}  // namespace
