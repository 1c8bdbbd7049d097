#include "common/process/ProcessText.h"

namespace {

// Upper case of ASCII and Latin-1 letters; every other unit stands as it is.
wchar_t FoldUnit(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    return c;
}

}  // namespace

bool NamesEqualNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldUnit(a[i]) != FoldUnit(b[i])) return false;
    }
    return true;
}
