#include "common/text/Utf.h"

// Natively there is no system code page: Latin-1 stands in for it, one byte per unit.

std::string WideToAnsi(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        const auto u = static_cast<unsigned long>(c);
        out.push_back(u <= 0xFF ? static_cast<char>(u) : '?');
    }
    return out;
}

std::wstring AnsiToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (char b : bytes) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(b)));
    return out;
}
