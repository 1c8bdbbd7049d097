#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/fs/File.h"
#include "common/language/LangTable.h"
#include "tests/support/TestSupport.h"

using ztest::TempDir;
using ztest::W;
using ztest::WriteBytes;

namespace {

template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

const char kTexts[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<!-- any root name will do -->\r\n"
    "<texts>\r\n"
    "  <log><x>first</x><x>second</x><Ok>upper</Ok><ok>log ok</ok></log>\r\n"
    "  <general>\r\n"
    "    <ok>OK</ok>\r\n"
    "    <lines>a\\nb</lines>\r\n"
    "    <tab>a\\tb</tab>\r\n"
    "    <double>a\\\\nb</double>\r\n"
    "    <ends>\\n\\n x\\</ends>\r\n"
    "    <upper>a\\Nb</upper>\r\n"
    "    <entities>a &amp; b &lt;c&gt; &#54620;</entities>\r\n"
    "    <blank> min</blank>\r\n"
    "    <empty/>\r\n"
    "    <nested><ok>inner</ok></nested>\r\n"
    "    <cancel>\xEC\xB7\xA8\xEC\x86\x8C</cancel>\r\n"
    "  </general>\r\n"
    "  <leaf>root-level text</leaf>\r\n"
    "</texts>\r\n";

struct Lookup {
    const char* section;
    const char* key;
    std::wstring expected;
};

TEST(LangTable, TextsBySectionAndKey) {
    TempDir dir;
    WriteBytes(dir / L"texts.xml", kTexts);
    CLangTable table;
    ASSERT_TRUE(table.LoadFile(dir / L"texts.xml"));

    // Keys out of file order, an absent one among them: every lookup starts at its section's first text.
    const Lookup rows[] = {
        {"general", "cancel", W("\xEC\xB7\xA8\xEC\x86\x8C")},
        {"general", "missing", L""},
        {"general", "ok", L"OK"},
        {"general", "lines", L"a\nb"},
        {"general", "tab", L"a\\tb"},
        {"general", "double", L"a\\\nb"},
        {"general", "ends", L"\n\n x\\"},
        {"general", "upper", L"a\\Nb"},
        {"general", "entities", L"a & b <c> \xD55C"},
        {"general", "blank", L" min"},
        {"general", "empty", L""},
        {"general", "nested", L""},
        {"general", "OK", L""},
        {"general", "", L""},
        {"log", "ok", L"log ok"},
        {"log", "Ok", L"upper"},
        {"log", "x", L"first"},
        {"log", "lines", L""},
        {"General", "ok", L""},
        {"missing", "ok", L""},
        {"missing", "general", L""},
        {"leaf", "leaf", L""},
        {"texts", "general", L""},
        {"", "ok", L""},
    };
    for (const Lookup& r : rows) {
        EXPECT_EQ(table.GetText(W(r.section), W(r.key)), r.expected) << r.section << " / " << r.key;
        EXPECT_EQ(table.SelectSection(W(r.section)).GetText(W(r.key)), r.expected)
            << r.section << " / " << r.key << " through a section";
    }
}

struct LoadRow {
    const char* name;
    std::string bytes;
    bool loads;
    std::wstring generalOk;  // general / ok afterwards, fetched without a section
};

TEST(LangTable, LoadAcceptsOnlyOneWellFormedRoot) {
    const std::string good = "<lang><general><ok>OK</ok></general></lang>";
    const LoadRow rows[] = {
        {"general ok", good, true, L"OK"},
        {"foreign root", "<anything><general><ok>fine</ok></general></anything>", true, L"fine"},
        {"no general section", "<lang><log><ok>OK</ok></log></lang>", true, L""},
        {"root only", "<lang/>", true, L""},
        {"byte-order mark", "\xEF\xBB\xBF" + good, true, L"OK"},
        {"two top-level elements", "<a><general><ok>OK</ok></general></a><b/>", false, L""},
        {"empty file", "", false, L""},
        {"not xml", "ok=OK\r\ncancel=Cancel\r\n", false, L""},
        {"truncated", good.substr(0, good.size() / 2), false, L""},
        {"utf-16", Bytes("<\0l\0/\0>\0"), false, L""},
        {"nul inside", Bytes("<lang><general><ok>O\0K</ok></general></lang>"), false, L""},
    };
    for (const LoadRow& r : rows) {
        TempDir dir;
        const std::wstring path = dir / L"lang.xml";
        WriteBytes(path, r.bytes);
        CLangTable table;
        // A good file first, so a failed load must also drop texts that were there.
        WriteBytes(dir / L"before.xml", "<lang><general><ok>before</ok></general></lang>");
        ASSERT_TRUE(table.LoadFile(dir / L"before.xml")) << r.name;

        EXPECT_EQ(table.LoadFile(path), r.loads) << r.name;
        EXPECT_EQ(table.GetText(L"ok"), r.generalOk) << r.name;
        EXPECT_EQ(table.GetText(L"general", L"ok"), r.generalOk) << r.name;
        // A language file has no default: a failed load neither rewrites it nor keeps a copy.
        EXPECT_EQ(ztest::ReadBytes(path), r.bytes) << r.name;
        EXPECT_FALSE(ztest::Exists(path + L".bad")) << r.name;
    }
}

struct NameRow {
    const char* name;
    std::wstring language;
    std::wstring generalOk;  // empty: the load fails
};

TEST(LangTable, LoadFindsTheLanguageFileUnderLang) {
    TempDir dir;
    ASSERT_TRUE(zfs::CreateDirectoryOne(dir / L"lang"));
    WriteBytes(dir / L"lang\\korean.xml", "<z><general><ok>ko</ok></general></z>");
    WriteBytes(dir / L"lang\\my.lang.xml", "<z><general><ok>dots</ok></general></z>");
    WriteBytes(dir / L"outside.xml", "<z><general><ok>outside</ok></general></z>");

    // The name stays inside lang: anything that could reach another folder is refused.
    const NameRow rows[] = {
        {"default language", L"korean", L"ko"},
        {"dots in the name", L"my.lang", L"dots"},
        {"absent language", L"english", L""},
        {"name with extension", L"korean.xml", L""},
        {"empty name", L"", L""},
        {"parent by backslash", L"..\\outside", L""},
        {"parent by slash", L"../outside", L""},
        {"drive", L"C:outside", L""},
        {"nul inside", std::wstring(L"korean\0x", 8), L""},
    };
    for (const NameRow& r : rows) {
        CLangTable table;
        EXPECT_EQ(table.Load(dir.path(), r.language), !r.generalOk.empty()) << r.name;
        EXPECT_EQ(table.GetText(L"ok"), r.generalOk) << r.name;
    }
    // A language file has no default: a missing one is not created.
    EXPECT_FALSE(ztest::Exists(dir / L"lang\\english.xml"));
}

TEST(LangTable, ConcurrentSectionsNeverMix) {
    // Sections with the same keys: a lookup that ran under another thread's selection would come
    // back with the other section's text.
    std::string bytes = "<z>";
    for (const char* section : {"general", "log", "error"}) {
        bytes += std::string("<") + section + ">";
        for (int k = 0; k < 8; ++k) {
            const std::string key = "k" + std::to_string(k);
            bytes += "<" + key + ">" + section + std::to_string(k) + "</" + key + ">";
        }
        bytes += std::string("</") + section + ">";
    }
    bytes += "</z>";
    TempDir dir;
    WriteBytes(dir / L"texts.xml", bytes);
    CLangTable table;
    ASSERT_TRUE(table.LoadFile(dir / L"texts.xml"));

    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    const char* sections[] = {"general", "log", "error", "general"};
    for (const char* section : sections) {
        threads.emplace_back([&table, &wrong, section] {
            const CLangSection s = table.SelectSection(W(section));
            for (int i = 0; i < 2000; ++i) {
                const std::string k = std::to_string(i % 8);
                if (s.GetText(W("k" + k)) != W(section + k)) ++wrong;
                if (table.GetText(W("k" + k)) != W("general" + k)) ++wrong;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
