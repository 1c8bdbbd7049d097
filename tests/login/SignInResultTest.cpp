#include <gtest/gtest.h>

#include "login/SignInResult.h"

namespace {

TEST(SignInResult, ReadsTheHostListUpdatersExitCode) {
    const struct {
        int exitCode;
        SignInResult result;
    } rows[] = {
        {-1, SignInResult::NotStarted},  {-2, SignInResult::NotStarted}, {0, SignInResult::Unreachable},
        {202, SignInResult::SignedIn},   {700, SignInResult::SignedIn},  {1, SignInResult::Refused},
        {201, SignInResult::Refused},    {203, SignInResult::Refused},   {401, SignInResult::Refused},
        {701, SignInResult::Refused},    {259, SignInResult::Refused},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(static_cast<int>(SignInResultOf(row.exitCode)), static_cast<int>(row.result)) << row.exitCode;
    }
}

}  // namespace
