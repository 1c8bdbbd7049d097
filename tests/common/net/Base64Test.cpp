#include <gtest/gtest.h>

#include "common/net/Base64.h"
#include "common/net/HttpMessage.h"
#include "tests/support/TestSupport.h"

namespace {

std::wstring Units(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

TEST(Base64, EncodesRfc4648VectorsAndWidensOnlyAboveLatin1) {
    struct Row {
        const char* name;
        std::wstring input;
        const char* expected;
    };
    const Row rows[] = {
        {"rfc empty", L"", ""},
        {"rfc f", L"f", "Zg=="},
        {"rfc fo", L"fo", "Zm8="},
        {"rfc foo", L"foo", "Zm9v"},
        {"rfc foob", L"foob", "Zm9vYg=="},
        {"rfc fooba", L"fooba", "Zm9vYmE="},
        {"rfc foobar", L"foobar", "Zm9vYmFy"},
        {"abc", L"abc", "YWJj"},
        {"credentials", L"alice:s3cret", "YWxpY2U6czNjcmV0"},
        {"last two letters of the alphabet", Units(u"\u00FB\u00FF\u00BF"), "+/+/"},
        {"latin-1 is one byte each", Units(u"abc\u00E9"), "YWJj6Q=="},
        {"above latin-1 the whole text is utf-8", Units(u"\u00E9\u0100"), "w6nEgA=="},
        {"surrogate pair as utf-8", Units(u"\U0001F600"), "8J+YgA=="},
        {"zero unit ends the input", std::wstring(L"ab\0cd", 5), "YWI="},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Base64EncodeUnits(row.input), ztest::W(row.expected)) << row.name;
        std::wstring text = row.input;
        Base64Encode(text);
        EXPECT_EQ(text, ztest::W(row.expected)) << row.name;
    }
}

TEST(Base64, LongInputIsNotCut) {
    // 2000 units: far past 765 input units, the size of a fixed 1024-unit output buffer.
    const std::wstring encoded = Base64EncodeUnits(std::wstring(2000, L'a'));
    ASSERT_EQ(encoded.size(), 2668u);
    EXPECT_EQ(encoded.substr(0, 4), L"YWFh");
    EXPECT_EQ(encoded.substr(encoded.size() - 4), L"YWE=");
}

TEST(Base64, AuthHeadersAreAppendedInOrder) {
    HeaderLines lines;
    BuildAuthHeaders(L"alice", L"s3cret", lines);
    const HeaderLines expected = {L"User-Agent: Zorvane DDNS Client 3.1.1", L"Authorization: Basic YWxpY2U6czNjcmV0"};
    EXPECT_EQ(lines, expected);

    HeaderLines more = {L"X-First: 1"};
    BuildAuthHeaders(L"", L"", more);
    const HeaderLines expectedMore = {L"X-First: 1", L"User-Agent: Zorvane DDNS Client 3.1.1",
                                      L"Authorization: Basic Og=="};
    EXPECT_EQ(more, expectedMore);
}

}  // namespace
