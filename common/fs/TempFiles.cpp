#include "common/fs/TempFiles.h"

namespace zfs {
namespace {

// Decimal digits from `at` up to the first non-digit, as a 32-bit number; false when there are none or
// the number does not fit.
bool ReadNumber(const std::wstring& text, size_t& at, uint32_t& value) {
    const size_t start = at;
    uint64_t number = 0;
    while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
        number = number * 10 + static_cast<uint64_t>(text[at] - L'0');
        if (number > UINT32_MAX) return false;
        ++at;
    }
    value = static_cast<uint32_t>(number);
    return at > start;
}

}  // namespace

std::wstring TempFilePath(const std::wstring& path, uint32_t pid, uint32_t n) {
    return path + L".tmp" + std::to_wstring(pid) + L"-" + std::to_wstring(n);
}

bool TempWriterPid(const std::wstring& rest, uint32_t& pid) {
    size_t at = 0;
    uint32_t number = 0;
    uint32_t n = 0;
    if (!ReadNumber(rest, at, number) || number == 0) return false;
    if (at >= rest.size() || rest[at] != L'-') return false;
    ++at;
    if (!ReadNumber(rest, at, n) || at != rest.size()) return false;
    pid = number;
    return true;
}

}  // namespace zfs
