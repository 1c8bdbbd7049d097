#include "common/net/PrivateAddress.h"

#include <cstdint>

namespace {

struct Block {
    const wchar_t* network;
    size_t prefixLength;
};

// Tested in this order; the first match decides.
constexpr Block kReservedBlocks[] = {
    {L"0.0.0.0", 8},     {L"10.0.0.0", 8},     {L"127.0.0.0", 8},   {L"169.254.0.0", 16},
    {L"172.16.0.0", 12}, {L"192.0.2.0", 24},   {L"192.88.99.0", 24}, {L"192.168.0.0", 16},
    {L"198.18.0.0", 15}, {L"224.0.0.0", 4},    {L"240.0.0.0", 4},
};

bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// A decimal number as the C library's wide-to-long conversion reads it with a 32-bit long: leading
// blanks, one sign, digits up to the first other character (none: 0); out of range saturates.
int32_t ReadDecimal(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > INT64_C(0x80000000)) value = INT64_C(0x80000000);
    }
    if (negative) return static_cast<int32_t>(-value);
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

}  // namespace

std::wstring ToBinaryDigits(uint32_t value) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + (value & 1)));
        value >>= 1;
    } while (value != 0);
    return digits;
}

std::wstring IpToBitString(std::wstring_view address) {
    std::wstring text(address);
    text += L'.';
    std::wstring bits;
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t dot = start < text.size() ? text.find(L'.', start) : std::wstring::npos;
        std::wstring_view piece;
        if (dot == std::wstring::npos) {
            start = 0;
        } else {
            piece = std::wstring_view(text).substr(start, dot - start);
            start = dot + 1;
        }
        std::wstring digits = ToBinaryDigits(static_cast<uint32_t>(ReadDecimal(piece)));
        if (digits.size() < 8) digits.insert(0, 8 - digits.size(), L'0');
        bits += digits;
    }
    return bits;
}

bool IsDottedQuad(std::wstring_view address) {
    int parts = 0;
    size_t i = 0;
    while (true) {
        unsigned value = 0;
        size_t digits = 0;
        for (; i < address.size() && address[i] >= L'0' && address[i] <= L'9' && digits < 4; ++i, ++digits) {
            value = value * 10 + static_cast<unsigned>(address[i] - L'0');
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        if (++parts == 4) return i == address.size();
        if (i >= address.size() || address[i] != L'.') return false;
        ++i;
    }
}

bool IsPrivateOrReservedIp(std::wstring_view address) {
    if (!IsDottedQuad(address)) return true;
    const std::wstring bits = IpToBitString(address);
    for (const Block& block : kReservedBlocks) {
        if (bits.compare(0, block.prefixLength, IpToBitString(block.network), 0, block.prefixLength) == 0) {
            return true;
        }
    }
    return false;
}
