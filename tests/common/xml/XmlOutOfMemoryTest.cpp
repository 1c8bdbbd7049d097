// Its own program: the allocator below fails every large request while armed, as a machine without
// the memory for indexing a hostile file would.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

#include "common/xml/XmlDataFile.h"
#include "tests/support/TestSupport.h"

namespace {

std::atomic<size_t> g_largestAllowed{SIZE_MAX};

class OutOfMemoryAbove {
public:
    explicit OutOfMemoryAbove(size_t bytes) { g_largestAllowed = bytes; }
    ~OutOfMemoryAbove() { g_largestAllowed = SIZE_MAX; }
    OutOfMemoryAbove(const OutOfMemoryAbove&) = delete;
    OutOfMemoryAbove& operator=(const OutOfMemoryAbove&) = delete;
};

}  // namespace

void* operator new(size_t size) {
    if (size > g_largestAllowed) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* operator new[](size_t size) { return operator new(size); }

// Not inlined, so the compiler does not pair the free() with the operator new at a call site.
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, size_t) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

using ztest::U;

// A well-formed document nested deeply: the index needs many times the text's size, while reading the
// text stays below the limit.
constexpr size_t kDepth = 50000;
constexpr size_t kLimit = 2u * 1024u * 1024u;

std::string Nested() {
    std::string text;
    for (size_t i = 0; i < kDepth; ++i) text += "<a>";
    for (size_t i = 0; i < kDepth; ++i) text += "</a>";
    return text;
}

TEST(XmlOutOfMemory, IndexKeepsTheTextAndReportsIt) {
    CXmlTextDoc doc;
    ASSERT_TRUE(doc.SetText(L"<x><y/></x>"));
    ASSERT_TRUE(doc.SeekElement(L"x"));
    const std::wstring text = ztest::W(Nested());
    std::wstring copy = text;
    bool indexed;
    {
        OutOfMemoryAbove limit(kLimit);
        indexed = doc.SetText(std::move(copy));
    }
    EXPECT_FALSE(indexed);
    EXPECT_EQ(doc.GetText(), text);
    EXPECT_EQ(U(doc.GetStatusText()), "Out of memory");
    EXPECT_EQ(doc.GetSlotsUsed(), 1u);
    ASSERT_NE(doc.SlotAt(0), nullptr);
    EXPECT_TRUE(doc.SlotAt(0)->flags & kXmlDocumentError);
    EXPECT_EQ(doc.SlotAt(0)->firstChild, 0u);
    EXPECT_EQ(doc.GetParentSlot(), 0u);
    EXPECT_EQ(doc.GetCurrentSlot(), 0u);
    EXPECT_FALSE(doc.SeekElement(L""));

    // With the memory back the same document indexes again.
    ASSERT_TRUE(doc.SetText(L"<x><y/></x>"));
    ASSERT_TRUE(doc.SeekElement(L"x"));
    EXPECT_EQ(doc.GetSlotsUsed(), 3u);
}

class CNestedFile : public CXmlDataFile {
public:
    bool Load(const std::wstring& path) {
        return LoadOrCreate(path, [this](const std::wstring& p) { return WriteEmptyDocument(p); });
    }
};

// A file that cannot be indexed is kept aside like any damaged file, so the next start does not meet it.
TEST(XmlOutOfMemory, FileIsKeptAsideAndTheDefaultLoads) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"config.xml";
    const std::string nested = Nested();
    ztest::WriteBytes(path, nested);
    CNestedFile file;
    bool loaded;
    {
        OutOfMemoryAbove limit(kLimit);
        loaded = file.Load(path);
    }
    EXPECT_TRUE(loaded);
    EXPECT_EQ(ztest::ReadBytes(path + L".bad"), nested);
    EXPECT_EQ(ztest::ReadBytes(path), "<?xml version=\"1.0\"?>\r\n<zorvane/>\r\n");

    // With the memory there the same file loads as it is.
    ztest::WriteBytes(path, nested);
    EXPECT_TRUE(file.Load(path));
    EXPECT_EQ(file.GetDoc().GetSlotsUsed(), kDepth + 1);
    EXPECT_FALSE(ztest::Exists(path + L".bad1"));
}

}  // namespace
