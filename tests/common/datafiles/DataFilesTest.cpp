#include <gtest/gtest.h>

#include <functional>

#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/datafiles/UpdateResultFile.h"
#include "common/datafiles/UserFile.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kHeader = "<?xml version=\"1.0\"?>\r\n";
const std::string kEmptyDocument = kHeader + "<zorvane/>\r\n";

std::string InRoot(const std::string& lines) { return kHeader + "<zorvane>\r\n" + lines + "</zorvane>\r\n"; }

// A file class with a default document: how to load it, and what its default is.
struct DefaultRow {
    const char* name;
    std::string defaultBytes;
    std::function<bool(const std::wstring&)> load;
};

const DefaultRow kDefaultRows[] = {
    {"user.xml", InRoot("<user id=\"\" password=\"\"/>\r\n"),
     [](const std::wstring& path) {
         CUserFile file;
         return file.Load(path) && file.GetId().empty() && file.GetPassword().empty();
     }},
    {"update_list.xml", kEmptyDocument,
     [](const std::wstring& path) {
         CUpdateListFile file;
         return file.Load(path) && file.GetHostName().empty();
     }},
    {"update_method.xml", InRoot("<update_method type=\"IP\" data=\"\"/>\r\n"),
     [](const std::wstring& path) {
         CUpdateMethodFile file;
         return file.Load(path) && file.GetType() == L"IP" && file.GetData().empty();
     }},
    {"update_result.xml", kEmptyDocument,
     [](const std::wstring& path) {
         CUpdateResultFile file;
         return file.Load(path) && file.GetCode().empty() && file.GetResultCode().empty();
     }},
};

TEST(DataFiles, MissingFileIsCreatedWithItsDefault) {
    for (const DefaultRow& row : kDefaultRows) {
        ztest::TempDir dir;
        const std::wstring path = dir / ztest::W(row.name);
        EXPECT_TRUE(row.load(path)) << row.name;
        EXPECT_EQ(ztest::ReadBytes(path), row.defaultBytes) << row.name;
        EXPECT_FALSE(ztest::Exists(path + L".bad")) << row.name;
        // A folder that cannot be written fails the load.
        EXPECT_FALSE(row.load(dir / L"missing\\" + ztest::W(row.name))) << row.name;
    }
    // The host list has no default.
    ztest::TempDir dir;
    CHostListFile hosts;
    EXPECT_FALSE(hosts.Load(dir / L"host_list.xml"));
    EXPECT_FALSE(ztest::Exists(dir / L"host_list.xml"));
    EXPECT_EQ(hosts.GetPath(), L"");
}

const struct {
    const char* name;
    std::string bytes;
} kDamaged[] = {
    {"empty", ""},
    {"truncated", kHeader + "<zorvane>\r\n<user id=\"a\" pass"},
    {"not xml", "id=a\r\n"},
    {"utf-16", std::string("<\0z\0/\0>\0", 8)},
    {"unended", "<zorvane><host name=\"a\">"},
    {"nul inside", std::string("<zorvane>\0</zorvane>", 20)},
};

TEST(DataFiles, DamagedFileIsKeptAsBadAndReplacedByItsDefault) {
    for (const DefaultRow& row : kDefaultRows) {
        for (const auto& damage : kDamaged) {
            ztest::TempDir dir;
            const std::wstring path = dir / ztest::W(row.name);
            ztest::WriteBytes(path, damage.bytes);
            EXPECT_TRUE(row.load(path)) << row.name << ", " << damage.name;
            EXPECT_EQ(ztest::ReadBytes(path), row.defaultBytes) << row.name << ", " << damage.name;
            const bool keptAsBad = !damage.bytes.empty();
            EXPECT_EQ(ztest::Exists(path + L".bad"), keptAsBad) << row.name << ", " << damage.name;
            if (keptAsBad) {
                EXPECT_EQ(ztest::ReadBytes(path + L".bad"), damage.bytes) << row.name << ", " << damage.name;
            }
        }
    }
}

// A damaged host list fails to load; the file stays as it is, and so do the hosts of the last good load.
TEST(DataFiles, DamagedHostListFailsAndChangesNothing) {
    const std::string good = "<reply><result code=\"200\"><host name=\"a\"/></result></reply>";
    for (const auto& damage : kDamaged) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"host_list.xml";
        ztest::WriteBytes(path, damage.bytes);
        CHostListFile never;
        EXPECT_FALSE(never.Load(path)) << damage.name;
        EXPECT_EQ(never.GetPath(), L"") << damage.name;
        EXPECT_EQ(never.GetResultCode(), L"") << damage.name;
        EXPECT_FALSE(never.FindHost(L"a")) << damage.name;

        const std::wstring goodPath = dir / L"good.xml";
        ztest::WriteBytes(goodPath, good);
        CHostListFile hosts;
        ASSERT_TRUE(hosts.Load(goodPath)) << damage.name;
        EXPECT_FALSE(hosts.Load(path)) << damage.name;
        EXPECT_EQ(hosts.GetPath(), goodPath) << damage.name;
        EXPECT_TRUE(hosts.FindHost(L"a")) << damage.name;
        EXPECT_EQ(hosts.GetResultCode(), L"200") << damage.name;

        EXPECT_EQ(ztest::ReadBytes(path), damage.bytes) << damage.name;
        EXPECT_FALSE(ztest::Exists(path + L".bad")) << damage.name;
    }
}

TEST(UserFile, AccountValuesAreEscapedAndCutAtNul) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"user.xml";
    CUserFile user;
    ASSERT_TRUE(user.Load(path));
    user.SetId(L"a&b");
    user.SetPassword(std::wstring(L"p\"w<'>\0junk", 11));
    ASSERT_TRUE(user.Save());
    EXPECT_EQ(ztest::ReadBytes(path), InRoot("<user id=\"a&amp;b\" password=\"p&quot;w&lt;&apos;&gt;\"/>\r\n"));

    CUserFile reread;
    ASSERT_TRUE(reread.Load(path));
    EXPECT_EQ(reread.GetId(), L"a&b");
    EXPECT_EQ(reread.GetPassword(), L"p\"w<'>");
    EXPECT_FALSE(ztest::Exists(path + L".bad"));
}

TEST(UserFile, TheUserElementIsFoundUnderAnyRoot) {
    const struct {
        const char* name;
        std::string bytes;
        std::wstring id;
        std::string afterSetId;  // the file after SetId("new") and Save
    } rows[] = {
        {"other root", kHeader + "<account><user id='x' password='y'/></account>", L"x",
         kHeader + "<account><user id=\"new\" password='y'/></account>"},
        {"no user element", InRoot(""), L"", InRoot("")},
        {"user not first", InRoot("<note/>\r\n<user id=\"u\"/>\r\n"), L"u", InRoot("<note/>\r\n<user id=\"new\"/>\r\n")},
    };
    for (const auto& row : rows) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"user.xml";
        ztest::WriteBytes(path, row.bytes);
        CUserFile user;
        ASSERT_TRUE(user.Load(path)) << row.name;
        EXPECT_EQ(user.GetId(), row.id) << row.name;
        user.SetId(L"new");
        ASSERT_TRUE(user.Save()) << row.name;
        EXPECT_EQ(ztest::ReadBytes(path), row.afterSetId) << row.name;
    }
}

TEST(UpdateMethodFile, TypeAndDataRoundTrip) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"update_method.xml";
    CUpdateMethodFile method;
    ASSERT_TRUE(method.Load(path));
    method.SetType(L"LAN");
    method.SetData(std::wstring(L"00-11-22-33-44-55\0\0-66", 21));
    ASSERT_TRUE(method.Save());
    EXPECT_EQ(ztest::ReadBytes(path), InRoot("<update_method type=\"LAN\" data=\"00-11-22-33-44-55\"/>\r\n"));

    CUpdateMethodFile reread;
    ASSERT_TRUE(reread.Load(path));
    EXPECT_EQ(reread.GetType(), L"LAN");
    EXPECT_EQ(reread.GetData(), L"00-11-22-33-44-55");
}

}  // namespace
