#include <gtest/gtest.h>

#include <optional>

#include "common/cmdline/CmdLineParser.h"
#include "common/process/ProcessText.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;
using ztest::W;

TEST(ProcessText, ProgramNameMatchesOnlyThatProgram) {
    struct Row {
        const char* name;
        std::wstring exeFile;
        std::wstring wanted;
        bool matches;
    };
    const Row rows[] = {
        {"name without .exe", L"ZorvaneHosts.exe", L"ZorvaneHosts", true},
        {"other case", L"zorvanehosts.exe", L"ZorvaneHosts", true},
        {"other case of .exe", L"ZORVANEADDR.EXE", L"zorvaneaddr.Exe", true},
        {"process name without .exe", L"ZorvaneAddr", L"ZorvaneAddr.exe", true},
        {"folder before the name", L"C:\\Zorvane\\bin\\ZorvaneAddr.exe", L"ZorvaneAddr", true},
        {"longer name", L"ZorvaneHostsHelper.exe", L"ZorvaneHosts", false},
        {"name before it", L"MyZorvaneHosts.exe", L"ZorvaneHosts", false},
        {"name in a folder only", L"C:\\ZorvaneHosts\\other.exe", L"ZorvaneHosts", false},
        {"part of the name", L"ZorvaneHosts.exe", L"Hosts", false},
        {"other extension", L"ZorvaneHosts.com", L"ZorvaneHosts", false},
        {"double .exe", L"ZorvaneHosts.exe.exe", L"ZorvaneHosts", false},
        {"double .exe wanted", L"ZorvaneHosts.exe", L"ZorvaneHosts.exe.exe", false},
        {"empty name, empty file", L"", L"", false},
        {"bare .exe", L".exe", L".exe", false},
        {"Latin-1 letters in other case", W("caf\xc3\xa9.exe"), W("CAF\xc3\x89"), true},
        {"different Latin-1 letters", W("caf\xc3\xa9.exe"), W("cafe"), false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ProgramNameMatches(r.exeFile, r.wanted), r.matches) << r.name;
    }
}

TEST(ProcessText, QuotedValuesComeBackWhole) {
    struct Row {
        const char* name;
        std::wstring value;
        std::optional<std::wstring> quoted;
    };
    const Row rows[] = {
        {"plain", L"s3cret", L"s3cret"},
        {"empty", L"", L""},
        {"blank inside", L"my pass", L"\"my pass\""},
        {"blank at the ends", L" x ", L"\" x \""},
        {"slash, dash and colon stay unquoted", L"a/b-c:d", L"a/b-c:d"},
        {"blank with slash", L"a /id:evil", L"\"a /id:evil\""},
        {"tab is no blank to the parser", L"a\tb", L"a\tb"},
        {"quote inside, no blank", L"ab\"c", L"ab\"c"},
        {"quote and blank", L"a\" /id:evil", std::nullopt},
        {"opening quote", L"\"abc", std::nullopt},
        {"only a quote", L"\"", std::nullopt},
        {"NUL inside", std::wstring(L"a\0b", 3), std::nullopt},
    };
    for (const Row& r : rows) {
        const std::optional<std::wstring> got = QuoteArgValue(r.value);
        ASSERT_EQ(got.has_value(), r.quoted.has_value()) << r.name;
        if (!got) continue;
        EXPECT_EQ(U(*got), U(*r.quoted)) << r.name;
        // A worker's command line, read back by the suite's parser: both values come back whole and
        // nothing else appears.
        const std::wstring line = ArgsCommandLine(L"/id:" + *got + L" /password:" + *got);
        CCmdLineParser parser(line.c_str());
        EXPECT_EQ(parser.Options().size(), 2u) << r.name;
        const wchar_t* id = parser.GetOptionValue(L"id");
        const wchar_t* password = parser.GetOptionValue(L"password");
        ASSERT_TRUE(id && password) << r.name;
        EXPECT_EQ(U(id), U(r.value)) << r.name;
        EXPECT_EQ(U(password), U(r.value)) << r.name;
    }
}

TEST(ProcessText, FolderIsTextBeforeLastBackslash) {
    const struct {
        std::wstring path;
        std::wstring folder;
    } rows[] = {
        {L"C:\\Zorvane\\bin\\ZorvaneAddr.exe", L"C:\\Zorvane\\bin"},
        {L"C:\\prog.exe", L"C:"},
        {L"C:", L""},
        {L"prog.exe", L""},
        {L"", L""},
        {L"\\\\server\\share\\x.exe", L"\\\\server\\share"},
        {L"C:\\dir\\", L"C:\\dir"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(TextBeforeLastBackslash(r.path), r.folder) << U(r.path);
    }
}

}  // namespace
