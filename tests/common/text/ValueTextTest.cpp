#include <gtest/gtest.h>

#include <climits>

#include "common/text/ValueText.h"

namespace {

TEST(ValueText, DecimalIntReadsLikeTheCLibraryAndSaturates) {
    const struct {
        const char* name;
        std::wstring text;
        int expected;
    } rows[] = {
        {"empty", L"", 0},
        {"plain", L"5", 5},
        {"unit after number", L"10 min", 10},
        {"leading blanks", L" \t\r\n\v\f42", 42},
        {"plus sign", L"+7", 7},
        {"minus sign", L"-12x", -12},
        {"sign alone", L"-", 0},
        {"blank after sign", L"- 5", 0},
        {"letters first", L"abc1", 0},
        {"leading zeros", L"0007", 7},
        {"int max", L"2147483647", INT_MAX},
        {"int min", L"-2147483648", INT_MIN},
        {"one above max", L"2147483648", INT_MAX},
        {"one below min", L"-2147483649", INT_MIN},
        {"far above", L"99999999999999999999999999", INT_MAX},
        {"far below", L"-99999999999999999999999999", INT_MIN},
        {"digits after overflow", L"21474836470000 min", INT_MAX},
        {"nul stops digits", std::wstring(L"1\0" L"2", 3), 1},
        {"fullwidth digit", L"\xFF11", 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadDecimalInt(row.text), row.expected) << row.name;
    }
}

TEST(ValueText, DocumentValueIsCutAtTheFirstNul) {
    const struct {
        const char* name;
        std::wstring value;
        std::wstring expected;
    } rows[] = {
        {"no nul", L"korean", L"korean"},
        {"empty", L"", L""},
        {"nul inside", std::wstring(L"user\0garbage", 12), L"user"},
        {"nul first", std::wstring(L"\0x", 2), L""},
        {"buffer tail", std::wstring(L"id\0\0\0\0", 6), L"id"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DocumentValue(row.value), row.expected) << row.name;
    }
}

}  // namespace
