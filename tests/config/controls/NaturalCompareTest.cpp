// The natural order of the configuration program's lists, on 8-bit texts.
#include <gtest/gtest.h>

#include <string>

#include "config/controls/NaturalCompare.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(NaturalCompare, OrdersTextsAsTheListsShowThem) {
    using namespace std::string_literals;
    const struct {
        std::string a, b;
        int order;  // the sign of NaturalCompare(a, b)
    } rows[] = {
        {"a2", "a10", -1},                 // digit runs as numbers
        {"host9", "host10", -1},
        {"host09", "host9", -1},           // a run that starts with '0' compares digit by digit
        {"a01", "a1", -1},
        {"007", "07", -1},                 // both start with '0': '0' against '7'
        {"070", "07", 1},                  // left-aligned: the shorter run first
        {"123", "124", -1},                // equal length: the first differing digit
        {"x10y", "x10z", -1},              // equal runs: what follows decides
        {"a 1", "a1", 0},                  // blanks anywhere are ignored
        {" \t\r\n\v\fa", "a", 0},
        {"a1 ", "a1", 0},
        {"1 2", "12", -1},                 // a blank ends a digit run
        {"B", "a", -1},                    // no case folding
        {"abc", "ABC", 1},
        {"\x80", "A", -1},                 // signed 8-bit: bytes from 0x80 before ASCII
        {"\xff", "\x80", 1},
        {"a", "a\xc0", 1},                 // an ended text reads as NUL
        {"a", "ab", -1},
        {"", "", 0},
        {"", " ", 0},
        {"same 42", "same 42", 0},
        {"a\0z"s, "a", 0},                 // a text ends at its first NUL
        {"99999999999999999999", "100000000000000000000", -1},  // longer than any integer type
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("\"" + row.a + "\" against \"" + row.b + "\"");
        EXPECT_EQ(Sign(NaturalCompare(row.a, row.b)), row.order);
        EXPECT_EQ(Sign(NaturalCompare(row.b, row.a)), -row.order);
    }
}

}  // namespace
