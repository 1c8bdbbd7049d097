#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/TextFormat.h"

namespace {

struct Row {
    const char* name;
    std::wstring text;
    std::vector<std::wstring> args;
    std::wstring expected;
};

TEST(TextFormat, FillsOnlyStringPlaceholders) {
    const Row rows[] = {
        {"plain", L"no placeholders", {}, L"no placeholders"},
        {"in order", L"host %s got %s", {L"a.example", L"1.2.3.4"}, L"host a.example got 1.2.3.4"},
        {"at both ends", L"%s-%s", {L"x", L"y"}, L"x-y"},
        {"missing argument is empty", L"[%s] [%s]", {L"one"}, L"[one] []"},
        {"no arguments at all", L"%s%s%s", {}, L""},
        {"extra argument dropped", L"only %s", {L"a", L"b", L"c"}, L"only a"},
        {"double percent", L"100%% done", {}, L"100% done"},
        {"double percent before s", L"%%s and %s", {L"x"}, L"%s and x"},
        {"percent then placeholder", L"%%%s", {L"x"}, L"%x"},
        {"printf number kept", L"%d of %s", {L"x"}, L"%d of x"},
        {"wide and width kept", L"%ls %5s %n %p", {L"x"}, L"%ls %5s %n %p"},
        {"lone percent at end", L"50%", {L"x"}, L"50%"},
        {"only percent", L"%", {}, L"%"},
        {"argument with percent not reread", L"%s %s", {L"%s%%", L"b"}, L"%s%% b"},
        {"upper case S kept", L"%S", {L"x"}, L"%S"},
        {"empty text", L"", {L"x"}, L""},
        {"line feed kept", L"a\n%s", {L"b"}, L"a\nb"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FormatText(r.text, r.args), r.expected) << r.name;
    }
}

// A text made of nothing but conversions that would make printf read far past its arguments.
TEST(TextFormat, HostileTextStaysBounded) {
    std::wstring hostile;
    for (int i = 0; i < 5000; ++i) hostile += L"%s%n%x";
    const std::wstring out = FormatText(hostile, {L"A"});
    EXPECT_EQ(out.size(), 1u + 5000u * 4u);
    EXPECT_EQ(out.substr(0, 5), L"A%n%x");
}

}  // namespace
