#include <gtest/gtest.h>

#include <string>

#include "common/cmdline/CmdLineParser.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;

struct Row {
    const char* name;
    std::wstring line;
    CmdLineOptionMap expected;
};

std::string Dump(const CmdLineOptionMap& map) {
    std::string out;
    for (const auto& [name, value] : map) out += "[" + U(name) + "=" + U(value) + "]";
    return out;
}

TEST(CmdLineParser, ParsesIntoOptionMap) {
    const Row rows[] = {
        {"empty line", L"", {}},
        {"no option characters", L"prog.exe alpha beta", {}},
        {"two options", L"prog.exe /id:alice /mode:auto", {{L"id", L"alice"}, {L"mode", L"auto"}}},
        {"name lower-cased, value kept", L"/ID:Alice", {{L"id", L"Alice"}}},
        {"quoted value with blank", L"/a:\"x y\" /b", {{L"a", L"x y"}, {L"b", L""}}},
        {"quoted value with option characters", L"/t:\"C:\\a b\\-c /d\"", {{L"t", L"C:\\a b\\-c /d"}}},
        {"unclosed quote takes the rest", L"/a:\"x /b:2", {{L"a", L"x /b:2"}}},
        {"quote as last character", L"/a:\"", {{L"a", L""}}},
        {"first of repeated names wins", L"/a:1 /a:2 /A:3", {{L"a", L"1"}}},
        {"word after dash option skipped", L"-key value", {{L"key", L""}}},
        {"colon last", L"prog /a:", {{L"a", L""}}},
        {"colon then blank", L"/a: /b", {{L"a", L""}, {L"b", L""}}},
        {"empty name with value", L"/:x", {}},
        {"empty name then option", L"/ /b", {{L"b", L""}}},
        {"line ends with slash", L"/a /", {{L"a", L""}}},
        {"line ends with dash", L"-", {}},
        {"path value", L"/target:C:\\dir\\sub", {{L"target", L"C:\\dir\\sub"}}},
        {"dash inside value", L"/a:x-y", {{L"a", L"x-y"}}},
        {"colon inside value", L"/a:b:c", {{L"a", L"b:c"}}},
        {"dash in program path", L"C:\\my-apps\\prog.exe /mode:auto",
         {{L"apps\\prog.exe", L""}, {L"mode", L"auto"}}},
        {"option without colon", L"prog.exe /mode", {{L"mode", L""}}},
        {"tab is a name character", L"/a\tb:1", {{L"a\tb", L"1"}}},
        {"value ended by blank, rest parsed", L"/a:1 x /b:2 ", {{L"a", L"1"}, {L"b", L"2"}}},
        {"quoted program path", L"\"C:\\Program Files\\Zorvane\\ZorvaneAddr.exe\" /id:u /password:p w",
         {{L"id", L"u"}, {L"password", L"p"}}},
        {"non-ASCII name not lower-cased", L"/\u00C4:1", {{L"\u00C4", L"1"}}},
    };
    for (const Row& r : rows) {
        CCmdLineParser parser(r.line.c_str());
        EXPECT_EQ(Dump(parser.Options()), Dump(r.expected)) << r.name;
    }
}

TEST(CmdLineParser, AbsentAndEmptyValuesDiffer) {
    CCmdLineParser parser;
    parser.ParseLine(L"prog.exe /id:alice /mode");
    struct Lookup {
        const wchar_t* name;
        const wchar_t* value;  // null: absent
    };
    const Lookup lookups[] = {
        {L"id", L"alice"}, {L"ID", L"alice"}, {L"Id", L"alice"}, {L"mode", L""}, {L"MODE", L""},
        {L"password", nullptr}, {L"", nullptr}, {L"alice", nullptr},
    };
    for (const Lookup& l : lookups) {
        const wchar_t* got = parser.GetOptionValue(l.name);
        EXPECT_EQ(parser.HasOption(l.name), l.value != nullptr) << U(l.name);
        EXPECT_EQ(parser.FindOption(l.name) != parser.Options().end(), l.value != nullptr) << U(l.name);
        if (l.value == nullptr) {
            EXPECT_EQ(got, nullptr) << U(l.name);
        } else {
            ASSERT_NE(got, nullptr) << U(l.name);
            EXPECT_EQ(std::wstring(got), l.value) << U(l.name);
        }
    }
}

TEST(CmdLineParser, NullLineKeepsPreviousOptionsAndNewLineReplacesThem) {
    CCmdLineParser parser(L"/a:1");
    EXPECT_FALSE(parser.ParseLine(nullptr));
    EXPECT_EQ(Dump(parser.Options()), "[a=1]");
    parser.ParseLine(L"/b:2");
    EXPECT_EQ(Dump(parser.Options()), "[b=2]");
    parser.ParseLine(L"");
    EXPECT_TRUE(parser.Options().empty());
    EXPECT_EQ(CCmdLineParser(nullptr).GetOptionValue(L"a"), nullptr);
}

// Command lines come from outside: long ones are parsed whole, without a buffer of fixed size.
TEST(CmdLineParser, LongLinesParseWhole) {
    const std::wstring longValue(100000, L'v');
    std::wstring line = L"prog.exe";
    for (int i = 0; i < 2000; ++i) line += L" /o" + std::to_wstring(i) + L":" + std::to_wstring(i);
    line += L" /last:\"" + longValue + L"\"";
    CCmdLineParser parser(line.c_str());
    EXPECT_EQ(parser.Options().size(), 2001u);
    EXPECT_EQ(std::wstring(parser.GetOptionValue(L"o1999")), L"1999");
    EXPECT_EQ(std::wstring(parser.GetOptionValue(L"last")), longValue);
}

}  // namespace
