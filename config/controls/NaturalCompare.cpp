#include "config/controls/NaturalCompare.h"

namespace {

// The C library's white space and digits in the "C" locale, so that no locale and no byte above 0x7F changes
// the order.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The character at `index`, NUL past the end.
char At(std::string_view text, size_t index) { return index < text.size() ? text[index] : '\0'; }

// The text up to its first NUL.
std::string_view UpToNul(std::string_view text) {
    const size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

}  // namespace

int CompareDigitRunsAsNumbers(std::string_view a, std::string_view b) {
    int bias = 0;
    for (size_t i = 0;; ++i) {
        const bool digitA = IsDigit(At(a, i));
        const bool digitB = IsDigit(At(b, i));
        if (!digitA && !digitB) return bias;
        if (!digitA) return -1;
        if (!digitB) return 1;
        if (bias == 0 && At(a, i) != At(b, i)) bias = At(a, i) < At(b, i) ? -1 : 1;
    }
}

int CompareDigitRunsAsDigits(std::string_view a, std::string_view b) {
    for (size_t i = 0;; ++i) {
        const bool digitA = IsDigit(At(a, i));
        const bool digitB = IsDigit(At(b, i));
        if (!digitA && !digitB) return 0;
        if (!digitA) return -1;
        if (!digitB) return 1;
        if (At(a, i) != At(b, i)) return At(a, i) < At(b, i) ? -1 : 1;
    }
}

int NaturalCompare(std::string_view a, std::string_view b) {
    a = UpToNul(a);
    b = UpToNul(b);
    size_t i = 0;
    size_t j = 0;
    for (;;) {
        while (IsBlank(At(a, i))) ++i;
        while (IsBlank(At(b, j))) ++j;
        const char ca = At(a, i);
        const char cb = At(b, j);
        if (IsDigit(ca) && IsDigit(cb)) {
            const std::string_view runA = a.substr(i);
            const std::string_view runB = b.substr(j);
            const int result = ca == '0' || cb == '0' ? CompareDigitRunsAsDigits(runA, runB)
                                                      : CompareDigitRunsAsNumbers(runA, runB);
            if (result != 0) return result;
        }
        if (ca == '\0' && cb == '\0') return 0;
        const signed char sa = static_cast<signed char>(ca);
        const signed char sb = static_cast<signed char>(cb);
        if (sa != sb) return sa < sb ? -1 : 1;
        ++i;
        ++j;
    }
}
