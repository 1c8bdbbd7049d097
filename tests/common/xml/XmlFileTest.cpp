#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fs/File.h"
#include "common/base/Singleton.h"
#include "common/xml/XmlDataFile.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;

const char kEmptyDocument[] = "<?xml version=\"1.0\"?>\r\n<zorvane/>\r\n";
const char kListDefault[] = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<list/>\r\n</zorvane>\r\n";

// A document class as the settings store and the data files build theirs.
class CListFile : public CXmlDataFile {
public:
    static CListFile* GetInstance() { return ProcessInstance<CListFile>(); }

    bool Load(const std::wstring& path) {
        if (!LoadOrCreate(path, [this](const std::wstring& p) { return WriteDefault(p); })) return false;
        m_doc.SeekElement(kXmlRootName);
        m_doc.EnterElement();
        return true;
    }
    bool LoadEmptyDefault(const std::wstring& path) {
        return LoadOrCreate(path, [this](const std::wstring& p) { return WriteEmptyDocument(p); });
    }
    // A class without a default document.
    bool LoadExisting(const std::wstring& path) { return LoadOrCreate(path, nullptr); }
    bool LoadWith(const std::wstring& path, const XmlDefaultWriter& writeDefault) {
        return LoadOrCreate(path, writeDefault);
    }

    bool WriteDefault(const std::wstring& path) {
        m_doc.SetText(kXmlHeader);
        m_doc.AppendElement(kXmlRootName);
        m_doc.EnterElement();
        m_doc.AppendElement(L"list");
        m_path = path;
        return Save();
    }
};

TEST(XmlFile, EmptyDocumentBytesAndStatus) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"update_list.xml";
    CXmlDataFile file;
    ASSERT_TRUE(file.WriteEmptyDocument(path));
    EXPECT_EQ(ztest::ReadBytes(path), kEmptyDocument);
    EXPECT_EQ(file.GetPath(), path);
    EXPECT_EQ(U(file.GetDoc().GetStatusText()), "35 wide chars to 35 bytes");
    // The position is inside the root.
    EXPECT_EQ(file.GetDoc().GetParentSlot(), 1u);
    EXPECT_TRUE(file.GetDoc().AppendElement(L"host"));

    CXmlTextDoc doc;
    ASSERT_TRUE(doc.LoadFile(path));
    EXPECT_EQ(U(doc.GetStatusText()), "35 bytes to 35 wide chars");
    ASSERT_TRUE(doc.SeekElement(L""));
    EXPECT_EQ(U(doc.ElementNameAt(doc.GetCurrentSlot())), "zorvane");
}

TEST(XmlFile, Utf8WithoutConversionOfItsOwn) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"a.xml";
    std::wstring text;
    std::wstring status;
    // Two characters of two bytes each.
    ztest::WriteBytes(path, "<a>\xC3\xA9\xC3\xA8</a>");
    ASSERT_TRUE(CXmlTextDoc::ReadUtf8File(text, path, status));
    EXPECT_EQ(text, L"<a>\xE9\xE8</a>");
    EXPECT_EQ(U(status), "11 bytes to 9 wide chars");
    ASSERT_TRUE(CXmlTextDoc::WriteUtf8File(path, text, status));
    EXPECT_EQ(U(status), "9 wide chars to 11 bytes");

    // A byte-order mark is an ordinary character before the root and is written back.
    ztest::WriteBytes(path, "\xEF\xBB\xBF<a>x</a>");
    CXmlDataFile file;
    CXmlTextDoc& doc = file.GetDoc();
    ASSERT_TRUE(doc.LoadFile(path));
    EXPECT_EQ(doc.GetText()[0], wchar_t(0xFEFF));
    ASSERT_TRUE(file.Save(path));
    EXPECT_EQ(ztest::ReadBytes(path), "\xEF\xBB\xBF<a>x</a>");

    // An empty text makes an empty file.
    doc.SetText(L"");
    ASSERT_TRUE(file.Save(path));
    EXPECT_EQ(ztest::ReadBytes(path), "");
    EXPECT_EQ(U(doc.GetStatusText()), "0 wide chars to 0 bytes");
}

TEST(XmlFile, SaveNeedsAPath) {
    ztest::TempDir dir;
    CXmlDataFile file;
    file.GetDoc().SetText(L"<a/>");
    EXPECT_FALSE(file.Save());
    EXPECT_TRUE(file.Save(dir / L"b.xml"));
    EXPECT_EQ(file.GetPath(), L"");  // saving elsewhere does not remember the path
    EXPECT_EQ(ztest::ReadBytes(dir / L"b.xml"), "<a/>");
}

TEST(XmlFile, FailedWriteKeepsTheOldFileAndTellsWhy) {
    ztest::TempDir dir;
    std::wstring status;
    EXPECT_FALSE(CXmlTextDoc::WriteUtf8File(dir / L"missing\\a.xml", L"<a/>", status));
    EXPECT_FALSE(status.empty());
    EXPECT_EQ(status.find(L"wide chars"), std::wstring::npos);

    // A folder standing where the file should go is left alone.
    ASSERT_TRUE(zfs::CreateDirectoryOne(dir / L"config.xml"));
    CXmlDataFile file;
    file.GetDoc().SetText(L"<a/>");
    EXPECT_FALSE(file.Save(dir / L"config.xml"));
    EXPECT_TRUE(zfs::IsDirectory(dir / L"config.xml"));
    EXPECT_FALSE(file.GetDoc().GetStatusText().empty());
}

TEST(XmlFile, UnreadableInputsNeverCrash) {
    ztest::TempDir dir;
    ztest::WriteBytes(dir / L"empty.xml", "");
    struct Row {
        const char* what;
        std::wstring path;
        bool read;
        const char* status;  // when read
    };
    const Row rows[] = {
        {"missing", dir / L"none.xml", false, ""},
        {"folder", dir.path(), false, ""},
        {"zero bytes", dir / L"empty.xml", true, "0 bytes to 0 wide chars, Empty document"},
    };
    for (const Row& row : rows) {
        CXmlTextDoc doc;
        doc.SetText(L"<keep/>");
        EXPECT_FALSE(doc.LoadFile(row.path)) << row.what;
        if (row.read) {
            EXPECT_EQ(U(doc.GetStatusText()), row.status) << row.what;
        } else {
            EXPECT_FALSE(doc.GetStatusText().empty()) << row.what;
            EXPECT_EQ(U(doc.GetText()), "<keep/>") << row.what;  // a failed read leaves the text
        }
        CListFile file;
        EXPECT_FALSE(file.LoadExisting(row.path)) << row.what;
        EXPECT_EQ(file.GetPath(), L"") << row.what;
    }
}

TEST(XmlFile, LoadOrCreate) {
    struct Row {
        const char* what;
        bool exists;
        std::string before;
        bool useEmptyDefault;
        const char* after;
        const char* kept;  // the .bad copy, null when none
    };
    const Row rows[] = {
        {"good file kept", true, "<zorvane><x/></zorvane>", false, "<zorvane><x/></zorvane>", nullptr},
        {"missing file created", false, "", false, kListDefault, nullptr},
        {"empty file replaced", true, "", false, kListDefault, nullptr},
        {"damaged file kept aside", true, "<zorvane><x></zorvane>", false, kListDefault, "<zorvane><x></zorvane>"},
        {"UTF-16 file kept aside", true, std::string("<\0a\0/\0>\0", 8), true, kEmptyDocument, "<"},
        {"two roots kept aside", true, "<a/><b/>", true, kEmptyDocument, "<a/><b/>"},
    };
    for (const Row& row : rows) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"list.xml";
        if (row.exists) ztest::WriteBytes(path, row.before);
        CListFile file;
        const bool loaded = row.useEmptyDefault ? file.LoadEmptyDefault(path) : file.Load(path);
        EXPECT_TRUE(loaded) << row.what;
        EXPECT_EQ(file.GetPath(), path) << row.what;
        EXPECT_EQ(ztest::ReadBytes(path), row.after) << row.what;
        EXPECT_EQ(ztest::Exists(path + L".bad"), row.kept != nullptr) << row.what;
        if (row.kept) {
            EXPECT_EQ(ztest::ReadBytes(path + L".bad").substr(0, std::string(row.kept).size()), row.kept);
        }
    }

    // The loaded default is positioned by the class.
    ztest::TempDir dir;
    CListFile file;
    ASSERT_TRUE(file.Load(dir / L"list.xml"));
    EXPECT_TRUE(file.GetDoc().SeekElement(L"list"));

    // A default that cannot be written fails the load.
    EXPECT_FALSE(file.Load(dir / L"missing\\list.xml"));
    EXPECT_FALSE(file.Load(dir.path()));
}

std::wstring KeptName(const std::wstring& path, int n) {
    return path + L".bad" + (n == 0 ? std::wstring() : std::to_wstring(n));
}

TEST(XmlFile, DamagedFilesNeverReplaceAnEarlierCopy) {
    const char kDamaged[] = "<zorvane><x></zorvane>";
    struct Row {
        const char* what;
        std::vector<int> kept;  // kept copies present before the load (n: <path>.bad<n>, 0: <path>.bad)
        int folder;             // a folder stands at this kept name (-1: none)
        int expected;           // the kept copy that takes the damaged file (-1: the load fails)
    };
    const Row rows[] = {
        {"first damage", {}, -1, 0},
        {"second damage", {0}, -1, 1},
        {"gap filled", {0, 1, 3}, -1, 2},
        {"folder in the way is skipped", {}, 0, 1},
        {"all ten taken: the last is replaced", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -1, 9},
        {"all ten taken, the last a folder", {0, 1, 2, 3, 4, 5, 6, 7, 8}, 9, -1},
    };
    for (const Row& row : rows) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"list.xml";
        ztest::WriteBytes(path, kDamaged);
        for (int n : row.kept) ztest::WriteBytes(KeptName(path, n), "earlier " + std::to_string(n));
        if (row.folder >= 0) {
            ASSERT_TRUE(zfs::CreateDirectoryOne(KeptName(path, row.folder))) << row.what;
        }
        CListFile file;
        EXPECT_EQ(file.Load(path), row.expected >= 0) << row.what;
        // The damaged file is kept, or stays where it was when there is nowhere to keep it.
        EXPECT_EQ(ztest::ReadBytes(row.expected >= 0 ? KeptName(path, row.expected) : path), kDamaged) << row.what;
        if (row.expected >= 0) {
            EXPECT_EQ(ztest::ReadBytes(path), kListDefault) << row.what;
        }
        for (int n : row.kept) {
            if (n != row.expected) {
                EXPECT_EQ(ztest::ReadBytes(KeptName(path, n)), "earlier " + std::to_string(n)) << row.what << " " << n;
            }
        }
        EXPECT_FALSE(ztest::Exists(KeptName(path, 10))) << row.what;
    }

    // Damaged twice in a row: both are kept.
    ztest::TempDir dir;
    const std::wstring path = dir / L"list.xml";
    ztest::WriteBytes(path, "first");
    CListFile file;
    ASSERT_TRUE(file.Load(path));
    ztest::WriteBytes(path, "second");
    ASSERT_TRUE(file.Load(path));
    EXPECT_EQ(ztest::ReadBytes(KeptName(path, 0)), "first");
    EXPECT_EQ(ztest::ReadBytes(KeptName(path, 1)), "second");
}

// Another program loading the same damaged file at once acts between our move and our read of the
// default. Whatever it does, the user's bytes stay kept and the load ends with a sound document.
TEST(XmlFile, LoadRacingAnotherProgram) {
    const char kUserBytes[] = "<zorvane><host>mine</zorvane>";
    enum class Other { WritesItsDefault, MovesOurDefaultAside, DamagesOurDefault, DamagesEveryDefault };
    struct Row {
        const char* what;
        Other other;
        bool loaded;
        int writes;            // calls of the default writer
        const char* keptLast;  // <path>.bad1 afterwards, null when absent
    };
    const Row rows[] = {
        {"other writes its default first", Other::WritesItsDefault, true, 1, nullptr},
        {"other moves our default aside", Other::MovesOurDefaultAside, true, 2, kListDefault},
        {"other damages our default", Other::DamagesOurDefault, true, 2, "<zorvane>"},
        {"every default damaged: three rounds", Other::DamagesEveryDefault, false, 3, "<zorvane>"},
    };
    for (const Row& row : rows) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"config.xml";
        ztest::WriteBytes(path, kUserBytes);
        CListFile file;
        int writes = 0;
        const bool loaded = file.LoadWith(path, [&](const std::wstring& p) {
            ++writes;
            if (writes == 1 && row.other == Other::WritesItsDefault) {
                CListFile other;
                EXPECT_TRUE(other.Load(p)) << row.what;
            }
            if (!file.WriteDefault(p)) return false;
            if (writes == 1 && row.other == Other::MovesOurDefaultAside) {
                EXPECT_TRUE(zfs::MoveFileNoReplace(p, KeptName(p, 1))) << row.what;
            }
            if ((writes == 1 && row.other == Other::DamagesOurDefault) || row.other == Other::DamagesEveryDefault) {
                ztest::WriteBytes(p, "<zorvane>");
            }
            return true;
        });
        EXPECT_EQ(loaded, row.loaded) << row.what;
        EXPECT_EQ(writes, row.writes) << row.what;
        EXPECT_EQ(ztest::ReadBytes(KeptName(path, 0)), kUserBytes) << row.what;
        EXPECT_EQ(ztest::Exists(KeptName(path, 1)), row.keptLast != nullptr) << row.what;
        if (row.keptLast) {
            EXPECT_EQ(ztest::ReadBytes(KeptName(path, 1)), row.keptLast) << row.what;
        }
        if (row.loaded) {
            EXPECT_EQ(ztest::ReadBytes(path), kListDefault) << row.what;
            EXPECT_EQ(file.GetPath(), path) << row.what;
        }
    }
}

TEST(XmlFile, OneInstancePerClass) {
    CListFile* first = CListFile::GetInstance();
    EXPECT_EQ(first, CListFile::GetInstance());
    EXPECT_EQ(U(first->GetDoc().GetStatusText()), "Empty document");
    EXPECT_EQ(first->GetPath(), L"");
    EXPECT_NE(static_cast<void*>(ProcessInstance<CXmlDataFile>()), static_cast<void*>(first));
}

}  // namespace
