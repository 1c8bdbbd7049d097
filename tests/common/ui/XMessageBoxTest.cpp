#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/language/LangTable.h"
#include "common/ui/XMessageBox.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"

namespace {

using Clock = std::chrono::steady_clock;

using Box = ztest::WindowDriver;

// True when the box is still there after a pause long enough for posted input to be handled.
bool StaysOpen(const Box& box) {
    ::Sleep(300);
    return ::IsWindow(box.Window()) && ::IsWindowVisible(box.Window());
}

// Runs the box on this thread while `drive` finds it by its caption and works it from another, as a user would.
int RunBox(const std::wstring& caption, UINT style, const ExtendedMessageBoxOptions* options,
           const std::function<void(const Box&)>& drive, const wchar_t* text = L"Message text") {
    std::thread driver([&] {
        HWND box = ztest::WaitForDialog(caption);
        if (box) drive(Box(box));
    });
    const int result = ExtendedMessageBox(nullptr, text, caption.c_str(), style, options);
    driver.join();
    return result;
}

class XMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CLangTable::GetInstance()->LoadFile(ztest::SourceDir() +
                                                        L"\\tests\\common\\ui\\XMessageBoxTestLang.xml"));
        LoadMessageBoxCaptions(m_options);
        m_company = L"ZorvaneXmbTest" + std::to_wstring(::GetCurrentProcessId());
        wcsncpy(m_options.companyName, m_company.c_str(), kOptionTextUnits - 1);
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + m_company).c_str()); }

    ExtendedMessageBoxOptions m_options;
    std::wstring m_company;
};

TEST_F(XMessageBoxTest, TheThreeStylesOfThePrograms) {
    struct Row {
        const char* name;
        UINT style;
        std::vector<std::pair<int, std::wstring>> buttons;  // id, caption
        const wchar_t* icon;
        bool closeGrey;
        std::function<void(const Box&)> answer;
        int result;
    } rows[] = {
        {"question answered Yes", 0x24, {{6, L"Yes-T"}, {7, L"No-T"}}, IDI_QUESTION, true,
         [](const Box& b) {
             b.Key(VK_ESCAPE);
             EXPECT_TRUE(StaysOpen(b)) << "Escape on a question";
             ::PostMessageW(b.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
             EXPECT_TRUE(StaysOpen(b)) << "close box on a question";
             b.Click(IDYES, false);
         },
         IDYES},
        {"question answered No", 0x24, {{6, L"Yes-T"}, {7, L"No-T"}}, IDI_QUESTION, true,
         [](const Box& b) { b.Click(IDNO, false); }, IDNO},
        {"information closed with Escape", 0x40, {{1, L"Okay-T"}}, IDI_ASTERISK, false,
         [](const Box& b) { b.Key(VK_ESCAPE); }, IDOK},
        {"exclamation closed with the close box", 0x30, {{1, L"Okay-T"}}, IDI_EXCLAMATION, false,
         [](const Box& b) { ::PostMessageW(b.Window(), WM_SYSCOMMAND, SC_CLOSE, 0); }, IDOK},
        {"information confirmed with Enter", 0x40, {{1, L"Okay-T"}}, IDI_ASTERISK, false,
         [](const Box& b) { b.Key(VK_RETURN); }, IDOK},
    };
    for (const Row& row : rows) {
        const std::wstring caption = L"Style " + ztest::W(row.name);
        int buttonCount = 0;
        const int result = RunBox(caption, row.style, &m_options, [&](const Box& box) {
            for (const auto& [id, text] : row.buttons) EXPECT_EQ(box.Text(id), text) << row.name;
            for (int id = 1; id <= 26; ++id) buttonCount += box.Control(id) ? 1 : 0;
            HWND icon = box.Control(1000);
            EXPECT_EQ(reinterpret_cast<HICON>(::GetWindowLongPtrW(icon, GWLP_USERDATA)), ::LoadIconW(nullptr, row.icon))
                << row.name;
            const UINT state = ::GetMenuState(::GetSystemMenu(box.Window(), FALSE), SC_CLOSE, MF_BYCOMMAND);
            EXPECT_EQ((state & MF_GRAYED) != 0, row.closeGrey) << row.name;
            row.answer(box);
        });
        EXPECT_EQ(result, row.result) << row.name;
        EXPECT_EQ(buttonCount, static_cast<int>(row.buttons.size())) << row.name;
    }
}

TEST_F(XMessageBoxTest, MessageTextAndFontAsGiven) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    std::wstring shown;
    LONG staticStyle = 0;
    LOGFONTW font{};
    RunBox(L"Ampersand", 0x40, &m_options, [&](const Box& box) {
        HWND text = box.Control(1001);
        shown = box.Text(1001);
        staticStyle = static_cast<LONG>(::GetWindowLongPtrW(text, GWL_STYLE));
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(text, WM_GETFONT, 0, 0)), sizeof(font), &font);
        box.Click(IDOK, false);
    }, L"Save & exit");
    EXPECT_EQ(shown, L"Save & exit");
    EXPECT_TRUE(staticStyle & SS_NOPREFIX) << "an '&' shows as itself";
    EXPECT_EQ(std::wstring(font.lfFaceName), std::wstring(metrics.lfMessageFont.lfFaceName)) << "message font";
    EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
}

TEST_F(XMessageBoxTest, CountDownEndsTheBoxOrStopsOnAClick) {
    m_options.countdownSeconds = 3;
    std::vector<std::wstring> seen;
    const auto start = Clock::now();
    const int timedOut = RunBox(L"Count-down", 0x40, &m_options, [&](const Box& box) {
        while (::IsWindow(box.Window())) {
            const std::wstring text = box.Text(IDOK);
            if (!text.empty() && (seen.empty() || seen.back() != text)) seen.push_back(text);
            ::Sleep(50);
        }
    });
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_EQ(static_cast<UINT>(timedOut), 0x80000001u);
    const std::vector<std::wstring> expected = {L"Okay-T", L"Okay-T = 3", L"Okay-T = 2", L"Okay-T = 1"};
    EXPECT_EQ(seen, expected);
    EXPECT_GT(seconds, 3.5);

    m_options.countdownSeconds = 5;
    std::wstring afterClick;
    const int clicked = RunBox(L"Count-down stopped", 0x40, &m_options, [&](const Box& box) {
        while (box.Text(IDOK) == L"Okay-T") ::Sleep(50);
        ::PostMessageW(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::PostMessageW(box.Window(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ::Sleep(1500);
        afterClick = box.Text(IDOK);
        box.Click(IDOK, false);
    });
    EXPECT_EQ(clicked, IDOK);
    EXPECT_EQ(afterClick, L"Okay-T");
}

TEST_F(XMessageBoxTest, RememberedAnswers) {
    m_options.answerKey = L"remember-me";
    m_options.answerKeyNumber = 3;
    const UINT style = MB_YESNOCANCEL | MB_ICONQUESTION | EMB_DONT_ASK_CHECKBOX;
    std::wstring name = L"remember-me";
    MakeAnswerValueName(name);
    name += L"3";

    // Cancel is never remembered, even with the box ticked.
    const int cancelled = RunBox(L"Remember", style, &m_options, [](const Box& box) {
        box.Tick(5555);
        box.Click(IDCANCEL, false);
    });
    EXPECT_EQ(cancelled, IDCANCEL);
    EXPECT_EQ(ReadRememberedAnswer(m_company, name), 0u);

    const int answered = RunBox(L"Remember", style, &m_options, [](const Box& box) {
        box.Tick(5555);
        box.Click(IDYES, false);
    });
    EXPECT_EQ(static_cast<UINT>(answered), 0x01000006u);
    EXPECT_EQ(ReadRememberedAnswer(m_company, name), 0x01000006u);

    // The next call answers at once, without a box.
    const auto start = Clock::now();
    EXPECT_EQ(static_cast<UINT>(ExtendedMessageBox(nullptr, L"again", L"Remember", style, &m_options)), 0x01000006u);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 1.0);
}

TEST_F(XMessageBoxTest, OnlyADwordValueIsARememberedAnswer) {
    const DWORD answer = 0x01000006;
    const unsigned long long wide = answer;
    const wchar_t text[] = L"16777222";
    struct Row {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
        DWORD expected;
    } rows[] = {
        {"REG_DWORD", REG_DWORD, &answer, sizeof(answer), answer},
        {"REG_BINARY of four bytes", REG_BINARY, &answer, sizeof(answer), 0},
        {"REG_SZ", REG_SZ, text, sizeof(text), 0},
        {"REG_QWORD", REG_QWORD, &wide, sizeof(wide), 0},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, &answer, sizeof(answer), 0},
    };
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, RememberedAnswerKey(m_company).c_str(), 0, nullptr, 0, KEY_WRITE,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    for (const Row& row : rows) {
        ASSERT_EQ(::RegSetValueExW(key.get(), L"probe", 0, row.type, static_cast<const BYTE*>(row.data), row.size),
                  ERROR_SUCCESS);
        EXPECT_EQ(ReadRememberedAnswer(m_company, L"probe"), row.expected) << row.name;
    }
    // A value of another type does not answer the box: it is shown.
    m_options.answerKey = L"typed";
    std::wstring name = L"typed";
    MakeAnswerValueName(name);
    name += L"0";  // the key number
    ::RegSetValueExW(key.get(), name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&answer), sizeof(answer));
    const int shown = RunBox(L"Typed", 0x24 | EMB_DONT_ASK_CHECKBOX, &m_options,
                             [](const Box& box) { box.Click(IDNO, false); });
    EXPECT_EQ(shown, IDNO);
}

TEST(MakeAnswerValueName, SameLengthTableCharactersByCodeAndPosition) {
    struct Row {
        std::wstring input;
    } rows[] = {{L""}, {L"a"}, {L"aaaa"}, {L"Key with blanks \\ and / slashes"}, {std::wstring(300, L'\xAC00')}};
    for (const Row& row : rows) {
        std::wstring name = row.input;
        MakeAnswerValueName(name);
        EXPECT_EQ(name.size(), row.input.size());
        for (wchar_t c : name) EXPECT_TRUE(iswalnum(c)) << ztest::U(row.input);
    }
    // The position takes part: a repeated character does not give a repeated result.
    std::wstring same = L"aaaa";
    MakeAnswerValueName(same);
    EXPECT_NE(same[0], same[1]);
    std::wstring a = L"ab", b = L"ba";
    EXPECT_NE(MakeAnswerValueName(a), MakeAnswerValueName(b));
}

}  // namespace
