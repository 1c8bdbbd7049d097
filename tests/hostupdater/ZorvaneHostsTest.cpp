// ZorvaneHosts end to end: the built program in a temporary installation root against the stand-in service.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/base/UniqueHandle.h"
#include "tests/support/WorkerRoot.h"

namespace {

using ztest::HostListXml;
using ztest::HttpReply;
using Lines = std::vector<std::string>;

const char kOldList[] = "<?xml version=\"1.0\"?>\r\n<zorvane><result code=\"700\"><host name=\"old\"/></result></zorvane>\r\n";

class ZorvaneHostsRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.IsOpen());
        root.WriteConfig(service);
        root.WriteEtc(L"host_list.xml", kOldList);
    }

    ztest::StandinSession service;
    ztest::WorkerRoot root;
};

TEST_F(ZorvaneHostsRun, StoresTheReplyAndEndsWithItsResultCode) {
    const struct {
        const char* name;
        std::string body;
        long exitCode;
    } rows[] = {
        {"host list delivered", HostListXml("700", {{"h1", "198.51.100.1", "ONLINE"}}), 700},
        {"good account, no hosts", HostListXml("202", {}), 202},
        {"another root name", "<reply><result code=\"401\"/></reply>", 401},
        {"no code", "<zorvane><result/></zorvane>", 0},
        {"code not a number", "<zorvane><result code=\"abc\"/></zorvane>", 0},
        {"negative code", "<zorvane><result code=\"-5\"/></zorvane>", 0},  // never taken for "did not start"
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        service.Script("/gethost.php", HttpReply(200, row.body));
        const size_t before = service.Requests().size();
        EXPECT_EQ(root.Run(L"ZorvaneHosts.exe"), row.exitCode);
        std::string stored = row.body;
        while (!stored.empty() && (stored.back() == '\n' || stored.back() == '\r')) stored.pop_back();
        EXPECT_EQ(root.ReadEtc(L"host_list.xml"), stored);
        const std::vector<std::string> requests = service.Requests();
        ASSERT_EQ(requests.size(), before + 1);
        EXPECT_EQ(requests.back(), "GET /gethost.php HTTP/1.0\r\nUser-Agent: Zorvane DDNS Client 3.1.1\r\n"
                                   "Authorization: Basic YWxpY2U6czNjcmV0\r\nHost: 127.0.0.1:" +
                                       std::to_string(service.Port()) + "\r\n\r\n");
    }
    EXPECT_EQ(root.LogLines().back(), "[INFO] update_host_success");
}

TEST_F(ZorvaneHostsRun, ReplyThatIsNotTheServicesLeavesTheHostListAlone) {
    for (const char* body : {"<html><body>Sign in to the hotel network</body></html", "proxy error", "",
                             "<zorvane><result code=\"700\"/></zorvane><zorvane/>",
                             "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>Sign in</body></html>"}) {
        SCOPED_TRACE(body);
        service.Script("/gethost.php", HttpReply(200, body));
        EXPECT_EQ(root.Run(L"ZorvaneHosts.exe"), 0);
        EXPECT_EQ(root.ReadEtc(L"host_list.xml"), kOldList);
    }
    const Lines lines = root.LogLines();
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"[INFO] update_host", "[INFO] not_connect_server"}));
}

TEST_F(ZorvaneHostsRun, UnreachableServiceKeepsTheHostList) {
    root.WriteConfigUrls(L"http://127.0.0.1:1/a", L"http://127.0.0.1:1/gethost.php", L"http://127.0.0.1:1/b");
    EXPECT_EQ(root.Run(L"ZorvaneHosts.exe"), 0);
    EXPECT_EQ(root.ReadEtc(L"host_list.xml"), kOldList);
    EXPECT_EQ(root.LogLines(), (Lines{"[INFO] update_host", "[INFO] not_connect_server"}));
}

TEST_F(ZorvaneHostsRun, ReplyThatCannotBeStoredEndsWithZero) {
    ztest::WorkerRoot blocked;
    blocked.WriteConfig(service);
    ASSERT_TRUE(::CreateDirectoryW(blocked.Etc(L"host_list.xml").c_str(), nullptr));
    service.Script("/gethost.php", HttpReply(200, HostListXml("700", {})));
    EXPECT_EQ(blocked.Run(L"ZorvaneHosts.exe"), 0);
    EXPECT_EQ(service.Requests().size(), 1u);
    EXPECT_EQ(blocked.LogLines(), (Lines{"[INFO] update_host", "[INFO] not_connect_server"}));
}

TEST_F(ZorvaneHostsRun, AccountOptionsMakeTheAuthorization) {
    const struct {
        const wchar_t* args;
        const char* authorization;  // Base64 of id ":" password
    } rows[] = {
        {L"/id:alice /password:\"my secret\"", "YWxpY2U6bXkgc2VjcmV0"},  // a quoted value arrives whole
        {L"/ID:alice /Password:s3cret", "YWxpY2U6czNjcmV0"},          // names in any case
        {L"/id: /password:", "Og=="},                                 // empty values pass
    };
    service.Script("/gethost.php", HttpReply(200, HostListXml("700", {})));
    for (const auto& row : rows) {
        SCOPED_TRACE(ztest::U(row.args));
        EXPECT_EQ(root.Run(L"ZorvaneHosts.exe", row.args), 700);
        EXPECT_NE(service.Requests().back().find("\r\nAuthorization: Basic " + std::string(row.authorization) +
                                                 "\r\n"),
                  std::string::npos);
    }
}

TEST_F(ZorvaneHostsRun, LowLogLevelsWriteNoLine) {
    service.Script("/gethost.php", HttpReply(200, HostListXml("700", {})));
    for (int level : {0, 1}) {
        ztest::WorkerRoot quiet;
        quiet.WriteConfig(service, level);
        EXPECT_EQ(quiet.Run(L"ZorvaneHosts.exe"), 700);
        EXPECT_TRUE(quiet.LogLines().empty()) << level;
    }
}

TEST_F(ZorvaneHostsRun, SecondInstanceEndsAtOnce) {
    {
        UniqueHandle mutex(::CreateMutexW(nullptr, TRUE, L"ZorvaneDDNSClinet-ZorvaneHosts"));
        ASSERT_TRUE(mutex);
        EXPECT_EQ(root.Run(L"ZorvaneHosts.exe"), 0);
    }
    EXPECT_TRUE(service.Requests().empty());
    EXPECT_TRUE(root.LogLines().empty());
    EXPECT_EQ(root.ReadEtc(L"host_list.xml"), kOldList);
}

TEST_F(ZorvaneHostsRun, StartUpFailuresEndSilentlyWithZero) {
    // No data file is loaded at start-up, so a missing host list is no failure here.
    using Fault = ztest::WorkerRoot::StartUpFault;
    for (Fault fault : {Fault::NoLanguageFile, Fault::SettingsBlocked}) {
        SCOPED_TRACE(static_cast<int>(fault));
        ztest::WorkerRoot fresh;
        fresh.WriteConfig(service);
        fresh.WriteEtc(L"host_list.xml", kOldList);
        fresh.Break(fault);
        EXPECT_EQ(fresh.Run(L"ZorvaneHosts.exe"), 0);
        EXPECT_TRUE(service.Requests().empty());
        EXPECT_TRUE(fresh.LogLines().empty());
        EXPECT_EQ(fresh.ReadEtc(L"host_list.xml"), kOldList);
    }
}

TEST_F(ZorvaneHostsRun, MissingOptionShowsTheUsageBox) {
    const ztest::WorkerRoot::UsageBox box = root.CloseUsageBox(L"ZorvaneHosts.exe", L"/password:s3cret");
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text, L"Usage: ZorvaneHosts.exe /id:ID /password:PASSWORD");
    EXPECT_EQ(box.exitCode, 0);
    EXPECT_TRUE(service.Requests().empty());
    EXPECT_TRUE(root.LogLines().empty());
    EXPECT_EQ(root.ReadEtc(L"host_list.xml"), kOldList);
}

}  // namespace
