#include <gtest/gtest.h>

#include "common/text/Utf.h"

namespace {

struct Row {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

std::wstring Units(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

TEST(Utf, ValidTextRoundTrips) {
    const Row rows[] = {
        {"empty", "", u""},
        {"ascii", "host.example", u"host.example"},
        {"two bytes", "\xC3\xA9", u"\u00E9"},
        {"three bytes", "\xED\x95\x9C", u"\uD55C"},
        {"bom", "\xEF\xBB\xBF<", u"\uFEFF<"},
        {"four bytes", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"max", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"nul inside", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Utf8ToWide(r.utf8), Units(r.utf16)) << r.name;
        EXPECT_EQ(WideToUtf8(Units(r.utf16)), r.utf8) << r.name;
    }
}

TEST(Utf, InvalidBytesBecomeReplacementCharacters) {
    const Row rows[] = {
        {"lone continuation", "a\x80z", u"a\uFFFDz"},
        {"truncated at end", "a\xE2\x82", u"a\uFFFD"},
        {"truncated before ascii", "\xE2\x82z", u"\uFFFDz"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three", "\xE0\x80\xAF", u"\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
        {"above max", "\xF4\x90\x80\x80", u"\uFFFD"},
        {"invalid lead", "\xFF\xFE", u"\uFFFD\uFFFD"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Utf8ToWide(r.utf8), Units(r.utf16)) << r.name;
    }
}

TEST(Utf, LoneSurrogatesEncodeAsReplacement) {
    EXPECT_EQ(WideToUtf8(Units(u"a\xD800" u"b")), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(WideToUtf8(Units(u"\xDC00")), "\xEF\xBF\xBD");
    EXPECT_EQ(WideToUtf8(Units(u"\xD83D")), "\xEF\xBF\xBD");
}

}  // namespace
