#include "common/process/ProcessText.h"

#include <windows.h>

#include <climits>

bool NamesEqualNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    if (a.size() > static_cast<size_t>(INT_MAX)) return false;
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}
