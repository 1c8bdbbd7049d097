#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/cmdline/CmdLineParser.h"
#include "common/worker/WorkerRun.h"
#include "login/SignInResult.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;

// A value that cannot be passed whole refuses the account before anything starts; the others arrive as
// they are, read back by the suite's parser.
TEST(RunHostListUpdater, PassesTheAccountWholeOrStartsNothing) {
    ztest::TempDir root;
    const std::wstring hosts = root / L"bin\\ZorvaneHosts.exe";
    ztest::InstallStandIn(hosts, {{700}, {}});
    const struct {
        const char* name;
        std::wstring id, password;
        std::optional<std::wstring> args;  // as the updater is given them; nothing: not started
    } rows[] = {
        {"plain values", L"alice", L"s3cret", L"/id:alice /password:s3cret"},
        {"blank in the password", L"alice", L"my pass", L"/id:alice /password:\"my pass\""},
        {"blank and option text in the ID", L"a /password:x", L"s3cret", L"/id:\"a /password:x\" /password:s3cret"},
        {"ID that would add an option", L"u\" /password:injected", L"s3cret", std::nullopt},
        {"password opening with a quote", L"alice", L"\"secret", std::nullopt},
        {"password with a quote and a blank", L"alice", L"my \"pw", std::nullopt},
    };
    size_t started = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<std::wstring> args = AccountArguments(row.id, row.password);
        ASSERT_EQ(args.has_value(), row.args.has_value());
        const int result = RunHostListUpdater(root.path(), row.id, row.password);
        const std::vector<ztest::StandInRun> runs = ztest::StandInRuns(hosts);
        if (!row.args) {
            EXPECT_EQ(result, kAccountNotPassable);
            EXPECT_EQ(runs.size(), started);
            continue;
        }
        EXPECT_EQ(U(*args), U(*row.args));
        EXPECT_EQ(result, 700);
        ASSERT_EQ(runs.size(), ++started);
        EXPECT_EQ(U(runs.back().commandLine), U(L" " + *row.args));
        CCmdLineParser parser(runs.back().commandLine.c_str());
        EXPECT_EQ(parser.Options().size(), 2u);
        const wchar_t* id = parser.GetOptionValue(L"id");
        const wchar_t* password = parser.GetOptionValue(L"password");
        ASSERT_TRUE(id && password);
        EXPECT_EQ(U(id), U(row.id));
        EXPECT_EQ(U(password), U(row.password));
    }
    // The login manager shows such an account as refused, not as an updater that cannot start.
    EXPECT_EQ(SignInResultOf(kAccountNotPassable), SignInResult::Refused);
}

}  // namespace
