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
    {"update_list.xml", kEmptyDocument, [](const std::wstring& path) { return CUpdateListFile().Load(path); }},
    {"update_method.xml", InRoot("<update_method type=\"IP\" data=\"\"/>\r\n"),
     [](const std::wstring& path) {
         CUpdateMethodFile file;
         return file.Load(path) && file.GetType() == L"IP" && file.GetData().empty();
     }},
    {"update_result.xml", kEmptyDocument, [](const std::wstring& path) { return CUpdateResultFile().Load(path); }},
};

// What a file may hold on disk when a class loads it; `exists` false: no file at all.
const struct {
    const char* name;
    bool exists;
    std::string bytes;
} kUnusable[] = {
    {"missing", false, ""},
    {"empty", true, ""},
    {"truncated", true, kHeader + "<zorvane>\r\n<user id=\"a\" pass"},
    {"not xml", true, "id=a\r\n"},
    {"utf-16", true, std::string("<\0z\0/\0>\0", 8)},
    {"nul inside", true, std::string("<zorvane>\0</zorvane>", 20)},
};

TEST(DataFiles, UnusableFileIsReplacedByItsDefaultAndKeptAsBad) {
    for (const DefaultRow& row : kDefaultRows) {
        for (const auto& file : kUnusable) {
            ztest::TempDir dir;
            const std::wstring path = dir / ztest::W(row.name);
            if (file.exists) ztest::WriteBytes(path, file.bytes);
            EXPECT_TRUE(row.load(path)) << row.name << ", " << file.name;
            EXPECT_EQ(ztest::ReadBytes(path), row.defaultBytes) << row.name << ", " << file.name;
            const bool keptAsBad = !file.bytes.empty();
            EXPECT_EQ(ztest::Exists(path + L".bad"), keptAsBad) << row.name << ", " << file.name;
            if (keptAsBad) {
                EXPECT_EQ(ztest::ReadBytes(path + L".bad"), file.bytes) << row.name << ", " << file.name;
            }
        }
        // A folder that cannot be written fails the load.
        ztest::TempDir dir;
        EXPECT_FALSE(row.load(dir / L"missing\\" + ztest::W(row.name))) << row.name;
    }
}

// The host list has no default: an unusable one fails to load, the file stays as it is (or absent),
// and so do the hosts of the last good load.
TEST(DataFiles, UnusableHostListFailsAndChangesNothing) {
    const std::string good = "<reply><result code=\"200\"><host name=\"a\"/></result></reply>";
    for (const auto& file : kUnusable) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"host_list.xml";
        if (file.exists) ztest::WriteBytes(path, file.bytes);
        CHostListFile never;
        EXPECT_FALSE(never.Load(path)) << file.name;
        EXPECT_EQ(never.GetPath(), L"") << file.name;
        EXPECT_EQ(never.GetResultCode(), L"") << file.name;
        EXPECT_FALSE(never.FindHost(L"a")) << file.name;

        const std::wstring goodPath = dir / L"good.xml";
        ztest::WriteBytes(goodPath, good);
        CHostListFile hosts;
        ASSERT_TRUE(hosts.Load(goodPath)) << file.name;
        EXPECT_FALSE(hosts.Load(path)) << file.name;
        EXPECT_EQ(hosts.GetPath(), goodPath) << file.name;
        EXPECT_TRUE(hosts.FindHost(L"a")) << file.name;
        EXPECT_EQ(hosts.GetResultCode(), L"200") << file.name;

        EXPECT_EQ(ztest::Exists(path), file.exists) << file.name;
        if (file.exists) {
            EXPECT_EQ(ztest::ReadBytes(path), file.bytes) << file.name;
        }
        EXPECT_FALSE(ztest::Exists(path + L".bad")) << file.name;
    }
}

// Where each document stands after it is loaded or written: its callers (the data migration among
// them) read and set the current element, or walk the parent's children, without seeking first.
template <class File>
std::string Position(const File& file) {
    const CXmlTextDoc& doc = file.GetDoc();
    return ztest::U(doc.ElementNameAt(doc.GetParentSlot())) + " / " + ztest::U(doc.ElementNameAt(doc.GetCurrentSlot()));
}

template <class File>
std::string AfterLoad(const std::wstring& path) {
    File file;
    return file.Load(path) ? Position(file) : "load failed";
}

// The same load from the file's text, in memory.
template <class File>
std::string AfterLoadText(const std::wstring& path) {
    File file;
    return file.LoadText(ztest::ReadBytes(path)) ? Position(file) : "load failed";
}

template <class File>
std::string AfterWriteDefault(const std::wstring& path) {
    File file;
    return file.WriteDefault(path) ? Position(file) : "write failed";
}

// GetResultCode from the middle of a walk over the hosts.
template <class File>
std::string AfterResultCode(const std::wstring& path) {
    File file;
    if (!file.Load(path) || !file.GetDoc().SeekElement(L"host")) return "no host";
    file.GetResultCode();
    return Position(file);
}

TEST(DataFiles, LoadAndWriteLeaveTheDocumentWhereItsCallersExpect) {
    const std::string result = "<result code=\"702\"><host code=\"320\"/></result>";
    const struct {
        const char* name;
        std::string bytes;  // the file before; none when empty
        std::string (*run)(const std::wstring& path);
        const char* position;  // parent / current
    } rows[] = {
        {"user Load", "<account><x/><user id=\"u\"/><user/></account>", AfterLoad<CUserFile>, "account / user"},
        {"user LoadText", "<account><x/><user id=\"u\"/><user/></account>", AfterLoadText<CUserFile>,
         "account / user"},
        {"user WriteDefault", "", AfterWriteDefault<CUserFile>, "zorvane / user"},
        {"update_method Load", "<any><update_method/></any>", AfterLoad<CUpdateMethodFile>, "any / update_method"},
        {"update_method WriteDefault", "", AfterWriteDefault<CUpdateMethodFile>, "zorvane / update_method"},
        {"update_list Load", InRoot("<host name=\"a\"/>"), AfterLoad<CUpdateListFile>, "zorvane / "},
        {"update_list WriteEmptyDocument", "",
         [](const std::wstring& path) {
             CUpdateListFile file;
             return file.WriteEmptyDocument(path) ? Position(file) : "write failed";
         },
         "zorvane / "},
        {"update_result Load", "<zorvane>" + result + "</zorvane>", AfterLoad<CUpdateResultFile>, "result / "},
        {"update_result GetResultCode", "<zorvane>" + result + "</zorvane>", AfterResultCode<CUpdateResultFile>,
         "result / "},
        {"host_list Load", "<reply>" + result + "</reply>", AfterLoad<CHostListFile>, "result / "},
        {"host_list LoadText", "<reply>" + result + "</reply>", AfterLoadText<CHostListFile>, "result / "},
        {"host_list GetResultCode", "<reply>" + result + "</reply>", AfterResultCode<CHostListFile>, "result / "},
    };
    for (const auto& row : rows) {
        ztest::TempDir dir;
        if (!row.bytes.empty()) ztest::WriteBytes(dir / L"file.xml", row.bytes);
        EXPECT_EQ(row.run(dir / L"file.xml"), row.position) << row.name;
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

// Without a `user` element nothing is current: the account setters change nothing.
TEST(UserFile, NoUserElementTakesNoAccount) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"user.xml";
    ztest::WriteBytes(path, InRoot("<note id=\"n\"/>\r\n"));
    CUserFile user;
    ASSERT_TRUE(user.Load(path));
    EXPECT_EQ(user.GetId(), L"");
    user.SetId(L"new");
    user.SetPassword(L"new");
    ASSERT_TRUE(user.Save());
    EXPECT_EQ(ztest::ReadBytes(path), InRoot("<note id=\"n\"/>\r\n"));
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
