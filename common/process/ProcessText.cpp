#include "common/process/ProcessText.h"

namespace {

constexpr std::wstring_view kExeSuffix = L".exe";

bool EndsWithNoCase(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() && NamesEqualNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

bool ProgramNameMatches(std::wstring_view exeFile, std::wstring_view wanted) {
    const size_t slash = exeFile.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos) exeFile.remove_prefix(slash + 1);
    // Both names without one ".exe" at the end, so either may carry it.
    if (EndsWithNoCase(exeFile, kExeSuffix)) exeFile.remove_suffix(kExeSuffix.size());
    if (EndsWithNoCase(wanted, kExeSuffix)) wanted.remove_suffix(kExeSuffix.size());
    return !wanted.empty() && NamesEqualNoCase(exeFile, wanted);
}

std::wstring ArgsCommandLine(std::wstring_view args) {
    std::wstring line;
    line.reserve(args.size() + 1);
    line += L' ';
    line += args;
    return line;
}

std::optional<std::wstring> QuoteArgValue(std::wstring_view value) {
    if (value.find(L'\0') != std::wstring_view::npos) return std::nullopt;
    const bool hasBlank = value.find(L' ') != std::wstring_view::npos;
    const bool hasQuote = value.find(L'"') != std::wstring_view::npos;
    // The parser reads a value up to the next blank, or, when it opens with a quote, up to the next quote.
    if (!value.empty() && value.front() == L'"') return std::nullopt;
    if (!hasBlank) return std::wstring(value);
    if (hasQuote) return std::nullopt;
    std::wstring quoted;
    quoted.reserve(value.size() + 2);
    quoted += L'"';
    quoted += value;
    quoted += L'"';
    return quoted;
}

std::wstring TextBeforeLastBackslash(std::wstring_view path) {
    const size_t pos = path.rfind(L'\\');
    return pos == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, pos));
}
