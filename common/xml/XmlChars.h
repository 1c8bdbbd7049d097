#pragma once
// Character classes and markup runs shared by the scanner, the index and the editor of CXmlTextDoc.
#include <cstdint>
#include <string>

#include "common/xml/XmlTextDoc.h"

namespace zxml {

inline bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// Classes of the units up to '?'. Every unit above '>', the last that ends anything, reads the entry of
// '?', which is empty: so the scanning loops test one table entry per character, without a branch on the
// unit's range that a name mixing letters and digits would mispredict.
enum : uint8_t {
    kEndsText = 1,     // 0 < >
    kEndsTagRun = 2,   // 0 > " '
    kEndsTagName = 4,  // 0 blanks / >
};

constexpr uint8_t ClassOf(int c) {
    return static_cast<uint8_t>(((c == 0 || c == '<' || c == '>') ? kEndsText : 0) |
                                ((c == 0 || c == '>' || c == '"' || c == '\'') ? kEndsTagRun : 0) |
                                ((c == 0 || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '/' || c == '>')
                                     ? kEndsTagName
                                     : 0));
}

struct ClassTable {
    static constexpr uint32_t kLast = '?';
    static constexpr int kSize = kLast + 1;
    uint8_t entry[kSize];
    constexpr ClassTable() : entry() {
        for (int c = 0; c < kSize; ++c) entry[c] = ClassOf(c);
    }
};

inline constexpr ClassTable kClasses;

inline bool Is(wchar_t c, uint8_t cls) {
    const uint32_t unit = static_cast<uint32_t>(c);
    return (kClasses.entry[unit < ClassTable::kLast ? unit : ClassTable::kLast] & cls) != 0;
}

inline bool EndsText(wchar_t c) { return Is(c, kEndsText); }
inline bool EndsTagName(wchar_t c) { return Is(c, kEndsTagName); }

inline bool IsNameStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c == L':' || c >= 0x7B;
}

// Where a scan of one piece of markup ended: one past its last character, or at the terminating zero.
struct MarkupEnd {
    size_t end;
    bool terminated;
};

// Runs to the first '>' outside a quoted value (inclusive), tracking both kinds of quotes.
inline MarkupEnd RunToQuotedClose(const wchar_t* t, size_t q) {
    for (;;) {
        while (!Is(t[q], kEndsTagRun)) ++q;
        const wchar_t c = t[q];
        if (c == L'>') return {q + 1, true};
        if (c == 0) return {q, false};
        // A quoted value runs to its own closing quote.
        ++q;
        while (t[q] != c && t[q] != 0) ++q;
        if (t[q] == 0) return {q, false};
        ++q;
    }
}

// Runs to the first '>' preceded by `tail` ("--", "]]" or "?") that lies at or after `from`.
inline MarkupEnd RunToTerminator(const wchar_t* t, size_t from, wchar_t tail, bool doubled) {
    const size_t tailLength = doubled ? 2 : 1;
    for (size_t q = from;; ++q) {
        const wchar_t c = t[q];
        if (c == 0) return {q, false};
        if (c == L'>' && q >= from + tailLength && t[q - 1] == tail && (!doubled || t[q - 2] == tail)) {
            return {q + 1, true};
        }
    }
}

// The rest of a start tag from the end of its name at `nameEnd`; an empty-element tag adds kXmlEmptyTag
// to `flags`.
inline MarkupEnd RunStartTag(const wchar_t* t, size_t nameEnd, uint32_t& flags) {
    const MarkupEnd run = RunToQuotedClose(t, nameEnd);
    if (run.terminated) {
        // <a/>, <a />, <a x="1"/>: the slash before '>' ends the tag; in <a x=1/> it ends the value.
        const size_t slash = run.end - 2;
        if (slash >= nameEnd && t[slash] == L'/') {
            const wchar_t before = t[slash - 1];
            if (slash == nameEnd || IsBlank(before) || before == L'"' || before == L'\'') flags |= kXmlEmptyTag;
        }
    }
    return run;
}

// A name that the suite may write as an element or attribute name: it starts like a tag name and holds
// nothing that the scanner or the attribute search would read as the end of a name.
bool IsWritableName(const std::wstring& name);

}  // namespace zxml
