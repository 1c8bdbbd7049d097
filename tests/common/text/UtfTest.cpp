#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

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

// Latin rows hold natively (Latin-1) and where the ANSI code page is Windows-1252.
TEST(Ansi, ConvertsThroughTheCodePage) {
#ifdef _WIN32
    const bool latin = ::GetACP() == 1252;
#else
    const bool latin = true;
#endif
    const struct {
        const char* name;
        std::string ansi;
        std::u16string wide;
        bool latinOnly;
        bool back;  // also ANSI to wide
    } rows[] = {
        {"ascii", "Realtek PCIe GbE", u"Realtek PCIe GbE", false, true},
        {"nul inside", std::string("a\0b", 3), std::u16string(u"a\0b", 3), false, true},
        {"latin letters", "Caf\xE9 \xC4", u"Caf\u00E9 \u00C4", true, true},
        {"hangul has no byte", "a?b", u"a\uD55Cb", true, false},
    };
    for (const auto& r : rows) {
        if (r.latinOnly && !latin) continue;
        EXPECT_EQ(WideToAnsi(Units(r.wide)), r.ansi) << r.name;
        if (r.back) {
            EXPECT_EQ(AnsiToWide(r.ansi), Units(r.wide)) << r.name;
        }
    }
}

}  // namespace
