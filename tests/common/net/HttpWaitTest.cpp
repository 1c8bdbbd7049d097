#include <gtest/gtest.h>

#include <chrono>

#include "common/net/HttpClient.h"
#include "tests/support/StandinService.h"

namespace {

using ztest::RawReply;
using ztest::StandinReply;

TEST(HttpWait, SilentOrTricklingServerIsGivenUp) {
    ztest::StandinSession session;
    ASSERT_TRUE(session.IsOpen());
    struct Row {
        const char* name;
        StandinReply reply;
        double minSeconds;
        double maxSeconds;
    };
    const Row rows[] = {
        {"silent from the start", RawReply("", StandinReply::Mode::Stall), 9.5, 15},
        {"silent after part of a reply", RawReply("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n",
                                                  StandinReply::Mode::Stall), 9.5, 15},
        // One byte every two seconds never waits ten seconds; only the whole exchange's limit ends it.
        {"trickling past 30 seconds", RawReply("HTTP/1.0 200 OK\r\n\r\n198.51.100.7 and more bytes to come",
                                               StandinReply::Mode::Trickle, 2000), 29.5, 36},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(session.Script("*", row.reply)) << row.name;
        std::wstring reply = L"previous";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(HttpGetUrlNoHeaders(session.Url("/getip.php"), reply), 0) << row.name;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(reply, L"previous") << row.name;
        EXPECT_GE(seconds, row.minSeconds) << row.name;
        EXPECT_LE(seconds, row.maxSeconds) << row.name;
    }
}

}  // namespace
