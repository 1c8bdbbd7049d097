#include "common/text/Utf.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

// Bytes taken together by the ASCII run below.
constexpr size_t kBlock = 16;

// Widens the block at `p` to `w` when it is plain ASCII. The block is copied first, so the compiler
// knows that the stores cannot change it and widens it in a few vector instructions.
inline bool WidenAsciiBlock(const unsigned char* p, wchar_t* w) {
    unsigned char block[kBlock];
    std::memcpy(block, p, kBlock);
    uint64_t low;
    uint64_t high;
    std::memcpy(&low, block, 8);
    std::memcpy(&high, block + 8, 8);
    if (((low | high) & 0x8080808080808080ull) != 0) return false;
    for (size_t k = 0; k < kBlock; ++k) w[k] = static_cast<wchar_t>(block[k]);
    return true;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) {
    // Never more units than bytes: one buffer, filled in place, cut to size at the end.
    std::wstring out(bytes.size(), L'\0');
    wchar_t* const first = out.data();
    wchar_t* w = first;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = p + bytes.size();
    while (p < end) {
        // Markup is mostly ASCII: whole blocks of it are widened in one go.
        if (static_cast<size_t>(end - p) >= kBlock && WidenAsciiBlock(p, w)) {
            w += kBlock;
            p += kBlock;
            continue;
        }
        const uint8_t b0 = *p;
        if (b0 < 0x80) {
            *w++ = static_cast<wchar_t>(b0);
            ++p;
            continue;
        }
        size_t extra;
        uint32_t cp;
        uint32_t min;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1; cp = b0 & 0x1F; min = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2; cp = b0 & 0x0F; min = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3; cp = b0 & 0x07; min = 0x10000;
        } else {
            *w++ = kReplacement;
            ++p;
            continue;
        }
        size_t j = 1;
        for (; j <= extra && p + j < end; ++j) {
            const uint8_t b = p[j];
            if ((b & 0xC0) != 0x80) break;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (j <= extra) {
            // Truncated sequence: one replacement for the bytes read so far.
            *w++ = kReplacement;
            p += j;
            continue;
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            *w++ = kReplacement;
        } else if (cp >= 0x10000) {
            // Four bytes give two units: still within the buffer.
            cp -= 0x10000;
            *w++ = static_cast<wchar_t>(0xD800 + (cp >> 10));
            *w++ = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *w++ = static_cast<wchar_t>(cp);
        }
        p += extra + 1;
    }
    out.resize(static_cast<size_t>(w - first));
    return out;
}

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    AppendWideAsUtf8(out, text);
    return out;
}

void AppendWideAsUtf8(std::string& out, std::wstring_view text) {
    out.reserve(out.size() + text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const uint32_t u = static_cast<uint32_t>(text[i]) & 0xFFFF;
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const uint32_t lo = static_cast<uint32_t>(text[i + 1]) & 0xFFFF;
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u);
    }
}
