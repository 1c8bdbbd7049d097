#include <gtest/gtest.h>

#include <vector>

#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateResultFile.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kHeader = "<?xml version=\"1.0\"?>\r\n";

std::string InRoot(const std::string& lines) { return kHeader + "<zorvane>\r\n" + lines + "</zorvane>\r\n"; }

std::string HostLine(const std::string& name, const std::string& status) {
    return "<host name=\"" + name + "\" status=\"" + status + "\"/>\r\n";
}

TEST(UpdateListFile, AddAndRemoveHosts) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"update_list.xml";
    CUpdateListFile list;
    ASSERT_TRUE(list.Load(path));

    // The same name twice gives two elements; the status goes to the one just added.
    EXPECT_TRUE(list.AddHost(L"a"));
    EXPECT_TRUE(list.AddHost(std::wstring(L"a\0junk", 6)));
    list.SetHostStatus(L"OFFLINE");
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ztest::ReadBytes(path), InRoot(HostLine("a", "ONLINE") + HostLine("a", "OFFLINE")));

    // RemoveHost takes the first of them; no host is current after removing the first child.
    EXPECT_TRUE(list.RemoveHost(L"a"));
    EXPECT_EQ(list.GetHostName(), L"");
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ztest::ReadBytes(path), InRoot(HostLine("a", "OFFLINE")));

    EXPECT_FALSE(list.RemoveHost(L"A"));
    EXPECT_TRUE(list.RemoveHost(L"a"));
    EXPECT_FALSE(list.RemoveHost(L"a"));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ztest::ReadBytes(path), InRoot(""));
    EXPECT_EQ(list.GetHostName(), L"");
    // Nothing current: the status goes nowhere.
    list.SetHostStatus(L"OFFLINE");
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ztest::ReadBytes(path), InRoot(""));
}

TEST(UpdateListFile, FindHostComparesNamesExactly) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"update_list.xml";
    ztest::WriteBytes(path, InRoot(HostLine("myhost", "ONLINE") + "<other name=\"x\"/>\r\n" +
                                   HostLine("x", "OFFLINE") + HostLine("myhost.example", "ONLINE")));
    CUpdateListFile list;
    ASSERT_TRUE(list.Load(path));
    const struct {
        const char* name;
        std::wstring wanted;
        bool found;
        std::wstring current;  // the host current afterwards
    } rows[] = {
        {"exact", L"myhost", true, L"myhost"},
        {"capitals", L"MYHOST", false, L"myhost.example"},
        {"longer", L"myhost.example", true, L"myhost.example"},
        {"only host elements", L"x", true, L"x"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(list.FindHost(row.wanted), row.found) << row.name;
        EXPECT_EQ(list.GetHostName(), row.current) << row.name;
    }
    EXPECT_EQ(list.GetHostStatus(), L"OFFLINE");
    ASSERT_TRUE(list.FindHost(L"myhost"));
    EXPECT_EQ(list.GetHostStatus(), L"ONLINE");
}

// A walk over the hosts that removes some of them goes on with the host after each removed one.
TEST(UpdateListFile, RemovingDuringAWalkKeepsTheWalkGoing) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"update_list.xml";
    ztest::WriteBytes(path, InRoot(HostLine("1", "ONLINE") + HostLine("2", "ONLINE") + HostLine("3", "OFFLINE") +
                                   HostLine("4", "ONLINE")));
    CUpdateListFile list;
    ASSERT_TRUE(list.Load(path));
    std::vector<std::wstring> visited;
    while (list.GetDoc().SeekElement(L"host")) {
        const std::wstring name = list.GetHostName();
        visited.push_back(name);
        if (name == L"2" || name == L"3") {
            ASSERT_TRUE(list.RemoveHost(name));
            EXPECT_EQ(list.GetHostName(), L"1");
        }
    }
    EXPECT_EQ(visited, (std::vector<std::wstring>{L"1", L"2", L"3", L"4"}));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ztest::ReadBytes(path), InRoot(HostLine("1", "ONLINE") + HostLine("4", "ONLINE")));
}

// Hosts live inside the root: a document whose root is not `zorvane` offers none and takes none.
TEST(UpdateListFile, ForeignRootIsLeftAlone) {
    const std::string rows[] = {
        kHeader + "<host name=\"a\" status=\"ONLINE\"/>\r\n",
        kHeader + "<list>\r\n" + HostLine("a", "ONLINE") + "</list>\r\n",
    };
    for (const std::string& bytes : rows) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"update_list.xml";
        ztest::WriteBytes(path, bytes);
        CUpdateListFile list;
        ASSERT_TRUE(list.Load(path)) << bytes;
        EXPECT_FALSE(list.FindHost(L"a")) << bytes;
        EXPECT_FALSE(list.RemoveHost(L"a")) << bytes;
        EXPECT_FALSE(list.AddHost(L"b")) << bytes;
        ASSERT_TRUE(list.Save()) << bytes;
        EXPECT_EQ(ztest::ReadBytes(path), bytes);
    }
}

const std::string kHostList =
    "<result code=\"200\">"
    "<host name=\"a\" ip=\"10.0.0.1\" status=\"ONLINE\" offtype=\"0.0.0.0\"/>"
    "<host name=\"b\" ip=\"10.0.0.2\" status=\"OFFLINE\" offtype=\"127.0.0.1\"/>"
    "</result>";

TEST(HostListFile, LoadsUnderAnyRootAndGivesItsHosts) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"host_list.xml";
    ztest::WriteBytes(path, kHeader + "<reply>" + kHostList + "</reply>");
    CHostListFile hosts;
    ASSERT_TRUE(hosts.Load(path));
    EXPECT_EQ(hosts.GetPath(), path);

    ASSERT_TRUE(hosts.FindHost(L"b"));
    EXPECT_EQ(hosts.GetHostIp(), L"10.0.0.2");
    EXPECT_EQ(hosts.GetHostStatus(), L"OFFLINE");
    EXPECT_EQ(hosts.GetOffType(), L"127.0.0.1");
    EXPECT_FALSE(hosts.FindHost(L"c"));

    EXPECT_EQ(hosts.GetResultCode(), L"200");
}

TEST(ResultCodes, RootNamesDecideWhereResultIsFound) {
    const struct {
        const char* name;
        std::string bytes;
        std::wstring hostListCode;
        std::wstring updateResultCode;
    } rows[] = {
        {"zorvane root", "<zorvane><result code=\"702\"><host code=\"320\"/></result></zorvane>", L"702", L"702"},
        {"other root", "<reply><result code=\"702\"/></reply>", L"702", L""},
        {"root named result", "<result code=\"702\"/>", L"", L""},
        {"no code", "<zorvane><result/></zorvane>", L"", L""},
        {"no result", "<zorvane><host code=\"1\"/></zorvane>", L"", L""},
        {"result nested deeper", "<zorvane><x><result code=\"1\"/></x></zorvane>", L"", L""},
    };
    for (const auto& row : rows) {
        ztest::TempDir dir;
        ztest::WriteBytes(dir / L"host_list.xml", row.bytes);
        ztest::WriteBytes(dir / L"update_result.xml", row.bytes);
        CHostListFile hosts;
        ASSERT_TRUE(hosts.Load(dir / L"host_list.xml")) << row.name;
        EXPECT_EQ(hosts.GetResultCode(), row.hostListCode) << row.name;
        CUpdateResultFile result;
        ASSERT_TRUE(result.Load(dir / L"update_result.xml")) << row.name;
        EXPECT_EQ(result.GetResultCode(), row.updateResultCode) << row.name;
        EXPECT_EQ(ztest::ReadBytes(dir / L"update_result.xml"), row.bytes) << row.name;
    }
}

TEST(UpdateResultFile, HostCodesAndReload) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"update_result.xml";
    CUpdateResultFile result;
    EXPECT_FALSE(result.Reload());

    ztest::WriteBytes(path, "<zorvane><result code=\"702\"><host code=\"100\"/><host code=\"320\"/></result></zorvane>");
    ASSERT_TRUE(result.Load(path));
    std::vector<std::wstring> codes;
    while (result.GetDoc().SeekElement(L"host")) codes.push_back(result.GetCode());
    EXPECT_EQ(codes, (std::vector<std::wstring>{L"100", L"320"}));

    // The reply of the next update replaces the file; Reload reads it.
    ztest::WriteBytes(path, "<zorvane><result code=\"0\"/></zorvane>");
    ASSERT_TRUE(result.Reload());
    EXPECT_EQ(result.GetResultCode(), L"0");

    // A reply that is not XML becomes the empty document.
    ztest::WriteBytes(path, "<html>502 Bad Gateway");
    ASSERT_TRUE(result.Reload());
    EXPECT_EQ(result.GetResultCode(), L"");
    EXPECT_EQ(ztest::ReadBytes(path), kHeader + "<zorvane/>\r\n");
    EXPECT_EQ(ztest::ReadBytes(path + L".bad"), "<html>502 Bad Gateway");
}

}  // namespace
