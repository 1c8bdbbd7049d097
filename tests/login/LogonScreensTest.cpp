// The sign-in dialog in both shipped languages, waiting and busy: saved as PNG under <build>\screenshots for a
// person to look at, and checked that every text fits its control and that no two controls overlap.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/process/Process.h"
#include "login/resource.h"
#include "tests/login/LogonRoot.h"
#include "tests/login/LogonWindow.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WineDesktop.h"

namespace {

using ztest::LogonWindow;
using ztest::U;

constexpr wchar_t kFontsLinked[] = L"ZORVANE_LOGON_FONTS_LINKED";

// The size a text needs in the dialog's font (8 point "MS Shell Dlg"), on one line or wrapped at `width`.
SIZE TextExtent(const std::wstring& text, int wrapWidth) {
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(8, ::GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy(font.lfFaceName, L"MS Shell Dlg");
    UniqueGdiObject handle(::CreateFontIndirectW(&font));
    HGDIOBJ old = ::SelectObject(dc.get(), handle.get());
    RECT need{0, 0, wrapWidth, 0};
    const UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    ::DrawTextW(dc.get(), text.c_str(), -1, &need, format);
    ::SelectObject(dc.get(), old);
    return SIZE{need.right - need.left, need.bottom - need.top};
}

// Controls that leave their text no room, stand outside the window or lie over each other.
std::vector<std::string> LayoutFaults(HWND dialog) {
    struct Item {
        int id;
        RECT rect;
        bool group;
    };
    std::vector<Item> items;
    std::vector<std::string> faults;
    RECT client{};
    ::GetClientRect(dialog, &client);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        const int id = ::GetDlgCtrlID(child);
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
        const std::wstring cls = ztest::ClassOf(child);
        const bool button = cls == L"Button";
        const bool group = button && (style & BS_TYPEMASK) == BS_GROUPBOX;
        items.push_back({id, rect, group});
        const std::string name = std::to_string(id);
        if (rect.left < client.left || rect.top < client.top || rect.right > client.right ||
            rect.bottom > client.bottom) {
            faults.push_back(name + " lies outside the window");
        }

        const std::wstring text = ztest::WindowText(child);
        if (text.empty() || (!button && cls != L"Static")) continue;
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        SIZE need{};
        if (cls == L"Static" && !(style & SS_CENTERIMAGE)) {
            need = TextExtent(text, width);
        } else {
            need = TextExtent(text, 0);
        }
        if (button) {
            const DWORD type = style & BS_TYPEMASK;
            if (type == BS_GROUPBOX) {
                need.cx += 16;  // the frame's corner on each side of the caption
            } else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) {
                need.cx += ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
            } else {
                need.cx += 8;  // frame and focus rectangle
                need.cy += 4;
            }
        }
        if (need.cx > width || need.cy > height) {
            faults.push_back(name + " needs " + std::to_string(need.cx) + "x" + std::to_string(need.cy) + " for \"" +
                             U(text) + "\" and has " + std::to_string(width) + "x" + std::to_string(height));
        }
    }
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t j = i + 1; j < items.size(); ++j) {
            RECT both{};
            if (items[i].group || items[j].group) continue;
            if (::IntersectRect(&both, &items[i].rect, &items[j].rect)) {
                faults.push_back(std::to_string(items[i].id) + " overlaps " + std::to_string(items[j].id));
            }
        }
    }
    return faults;
}

void ExpectTidy(HWND dialog, const std::string& what) {
    for (const std::string& fault : LayoutFaults(dialog)) ADD_FAILURE() << what << ": " << fault;
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
