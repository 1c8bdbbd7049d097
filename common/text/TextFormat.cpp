#include "common/text/TextFormat.h"

namespace {

template <typename Args>
std::wstring Fill(std::wstring_view text, const Args& args) {
    std::wstring out;
    out.reserve(text.size());
    auto next = args.begin();
    size_t i = 0;
    while (i < text.size()) {
        const size_t pct = text.find(L'%', i);
        if (pct == std::wstring_view::npos || pct + 1 == text.size()) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, pct - i));
        const wchar_t kind = text[pct + 1];
        if (kind == L's') {
            if (next != args.end()) {
                out.append(*next);
                ++next;
            }
            i = pct + 2;
        } else if (kind == L'%') {
            out.push_back(L'%');
            i = pct + 2;
        } else {
            // Not ours: keep the percent sign and look again from the character after it.
            out.push_back(L'%');
            i = pct + 1;
        }
    }
    return out;
}

struct ArgRange {
    const std::wstring_view* first;
    const std::wstring_view* last;
    const std::wstring_view* begin() const { return first; }
    const std::wstring_view* end() const { return last; }
};

}  // namespace

std::wstring FormatText(std::wstring_view text, std::initializer_list<std::wstring_view> args) {
    return Fill(text, args);
}

std::wstring FormatText(std::wstring_view text, const std::vector<std::wstring>& args) {
    return Fill(text, args);
}

std::wstring FormatText(std::wstring_view text, const std::wstring_view* args, size_t count) {
    return Fill(text, ArgRange{args, args + count});
}
