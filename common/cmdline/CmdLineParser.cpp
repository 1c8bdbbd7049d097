#include "common/cmdline/CmdLineParser.h"

namespace {

constexpr std::wstring_view kNoValue{};
constexpr auto npos = std::wstring_view::npos;

}  // namespace

CCmdLineParser::CCmdLineParser(const wchar_t* line) { ParseLine(line); }

// Option names are plain ASCII words; lower-casing only A-Z gives the same answer in every build.
std::wstring CCmdLineParser::Key(std::wstring_view name) const {
    std::wstring key(name);
    if (!m_caseSensitive) {
        for (wchar_t& c : key) {
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return key;
}

void CCmdLineParser::Store(std::wstring_view name, std::wstring_view value) {
    if (name.empty()) return;
    m_options.emplace(Key(name), std::wstring(value));
}

bool CCmdLineParser::ParseLine(const wchar_t* line) {
    if (line == nullptr) return false;
    m_line = line;
    m_options.clear();

    const std::wstring_view text(m_line);
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t mark = text.find_first_of(L"-/", pos);
        if (mark == npos || mark + 1 >= text.size()) break;
        const size_t start = mark + 1;
        const size_t end = text.find_first_of(L" :", start);
        if (end == npos) {
            Store(text.substr(start), kNoValue);
            break;
        }
        const std::wstring_view name = text.substr(start, end - start);
        if (text[end] == L' ' || end + 1 == text.size()) {
            Store(name, kNoValue);
            pos = end + 1;
            continue;
        }
        // A colon with a value after it.
        size_t valueStart = end + 1;
        size_t valueEnd;
        if (text[valueStart] == L'"') {
            ++valueStart;
            valueEnd = text.find(L'"', valueStart);
        } else {
            valueEnd = text.find(L' ', valueStart);
        }
        if (valueEnd == npos) {
            Store(name, text.substr(valueStart));
            break;
        }
        Store(name, text.substr(valueStart, valueEnd - valueStart));
        pos = valueEnd + 1;
    }
    return false;
}

CmdLineOptionMap::const_iterator CCmdLineParser::FindOption(std::wstring_view name) const {
    return m_options.find(Key(name));
}

const wchar_t* CCmdLineParser::GetOptionValue(std::wstring_view name) const {
    const auto it = FindOption(name);
    return it == m_options.end() ? nullptr : it->second.c_str();
}

bool CCmdLineParser::HasOption(std::wstring_view name) const { return FindOption(name) != m_options.end(); }
