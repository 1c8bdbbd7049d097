#include "common/text/ValueText.h"

#include <climits>
#include <cstdint>

bool IsControlChar(wchar_t c) {
    const auto u = static_cast<uint32_t>(c);
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

bool HasControlChar(std::wstring_view text) {
    for (wchar_t c : text) {
        if (IsControlChar(c)) return true;
    }
    return false;
}

std::wstring DocumentValue(std::wstring_view value) {
    return std::wstring(value.substr(0, value.find(L'\0')));
}

int ReadDecimalInt(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // Accumulated as a negative number, whose range reaches INT_MIN.
    int value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        const int digit = static_cast<int>(text[i] - L'0');
        if (value < (INT_MIN + digit) / 10) return negative ? INT_MIN : INT_MAX;
        value = value * 10 - digit;
    }
    if (negative) return value;
    return value == INT_MIN ? INT_MAX : -value;
}
