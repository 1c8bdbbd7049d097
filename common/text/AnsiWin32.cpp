#include "common/text/Utf.h"

#include <windows.h>

#include <climits>

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return std::string();
    const int units = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    const int written = ::WideCharToMultiByte(CP_ACP, 0, text.data(), units, &out[0], size, nullptr, nullptr);
    out.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return out;
}

std::wstring AnsiToWide(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return std::wstring();
    const int count = static_cast<int>(bytes.size());
    const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(size), L'\0');
    const int written = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, &out[0], size);
    out.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return out;
}
