#include "common/net/Base64.h"

#include <algorithm>
#include <cstdint>

#include "common/text/Utf.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool IsByteUnit(wchar_t unit) { return static_cast<uint32_t>(unit) <= 0xFF; }

template <typename Bytes>
std::wstring EncodeBytes(const Bytes& bytes) {
    const size_t n = bytes.size();
    std::wstring out;
    out.reserve((n + 2) / 3 * 4);
    for (size_t i = 0; i < n; i += 3) {
        const auto at = [&](size_t k) -> uint32_t { return k < n ? static_cast<uint32_t>(bytes[k]) & 0xFF : 0; };
        const uint32_t group = (at(i) << 16) | (at(i + 1) << 8) | at(i + 2);
        out.push_back(static_cast<wchar_t>(kAlphabet[(group >> 18) & 0x3F]));
        out.push_back(static_cast<wchar_t>(kAlphabet[(group >> 12) & 0x3F]));
        out.push_back(i + 1 < n ? static_cast<wchar_t>(kAlphabet[(group >> 6) & 0x3F]) : L'=');
        out.push_back(i + 2 < n ? static_cast<wchar_t>(kAlphabet[group & 0x3F]) : L'=');
    }
    return out;
}

}  // namespace

std::wstring Base64EncodeUnits(std::wstring_view units) {
    units = units.substr(0, units.find(L'\0'));
    if (std::all_of(units.begin(), units.end(), IsByteUnit)) {
        return EncodeBytes(units);
    }
    return EncodeBytes(WideToUtf8(units));
}

void Base64Encode(std::wstring& text) { text = Base64EncodeUnits(text); }
