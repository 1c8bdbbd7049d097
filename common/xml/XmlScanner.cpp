// The node scanner, the token helpers and the entity references.
#include <cstdint>
#include <cstring>

#include "common/xml/XmlTextDoc.h"
#include "common/xml/XmlChars.h"

namespace {

using zxml::EndsTagName;
using zxml::IsBlank;
using zxml::IsNameStart;
using zxml::MarkupEnd;
using zxml::RunToQuotedClose;
using zxml::RunToTerminator;

bool IsNameStop(wchar_t c) {
    switch (c) {
        case L' ': case L'\t': case L'\n': case L'\r': case L'<': case L'>': case L'=': case L'\\':
        case L'/': case L'?': case L'!':
            return true;
        default:
            return false;
    }
}

std::wstring Unterminated(const wchar_t* what, size_t offset) {
    return std::wstring(what) + L" at offset " + std::to_wstring(offset) + L" unterminated";
}

std::wstring Incorrect(const wchar_t* what, size_t offset) {
    return L"Incorrect " + std::wstring(what) + L" at offset " + std::to_wstring(offset);
}

// A faulty node: it runs to the next '>' outside quotes, or ends before a '<'.
MarkupEnd RunFaulty(const wchar_t* t, size_t q) {
    wchar_t quote = 0;
    for (;; ++q) {
        const wchar_t c = t[q];
        if (c == 0) return {q, false};
        if (c == L'<') return {q, true};
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'>') {
            return {q + 1, true};
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        }
    }
}

struct MarkupResult {
    XmlNodeKind kind;
    MarkupEnd run;
};

MarkupEnd RunDoctype(XmlScanState& scan, XmlNodeInfo& node, size_t q, XmlNodeKind& kind);

// Scans the markup that begins with the '<' at `p`. Inside a DOCTYPE's internal subset (`nested`) a
// DOCTYPE is read as a plain declaration, so the scan never goes deeper than one level.
MarkupResult ScanMarkup(XmlScanState& scan, XmlNodeInfo& node, size_t p, bool nested) {
    const wchar_t* t = scan.text;
    const wchar_t c1 = t[p + 1];
    const wchar_t* faulty = nullptr;  // what is incorrect, for a faulty node
    const wchar_t* what = nullptr;    // the node's name in the unterminated error
    XmlNodeKind kind = XmlNodeKind::Error;
    MarkupEnd run{p, false};

    if (c1 == L'!') {
        const wchar_t c2 = t[p + 2];
        if (c2 == L'-') {
            if (t[p + 3] == L'-') {
                kind = XmlNodeKind::Comment;
                what = L"Comment";
                run = RunToTerminator(t, p + 4, L'-', true);
            } else {
                faulty = L"comment tag";
            }
        } else if (c2 == L'[') {
            if (t[p + 3] == L'C') {
                kind = XmlNodeKind::CData;
                what = L"CDATA Section";
                run = RunToTerminator(t, p + 4, L']', true);
            } else {
                faulty = L"tag";
            }
        } else if (c2 == L'D' && !nested) {
            kind = XmlNodeKind::Declaration;
            what = L"Doctype";
            run = RunDoctype(scan, node, p + 2, kind);
        } else if (c2 == L'D' || c2 == L'E' || c2 == L'A' || c2 == L'N') {
            kind = XmlNodeKind::Declaration;
            what = L"Doctype";
            run = RunToQuotedClose(t, p + 2);
        } else if (c2 == 0) {
            run = {p + 2, false};
        } else {
            faulty = L"! tag";
        }
    } else if (c1 == L'/') {
        kind = XmlNodeKind::EndTag;
        what = L"Element end tag";
        size_t q = p + 2;
        while (!EndsTagName(t[q])) ++q;
        scan.tokenStart = p + 2;
        scan.tokenEnd = q;
        while (t[q] != 0 && t[q] != L'>') ++q;
        run = t[q] ? MarkupEnd{q + 1, true} : MarkupEnd{q, false};
    } else if (c1 == L'?') {
        kind = XmlNodeKind::Instruction;
        what = L"Processing instruction";
        size_t q = p + 2;
        while (!EndsTagName(t[q])) ++q;
        node.nameStart = p + 2;
        node.nameLength = q - (p + 2);
        run = RunToTerminator(t, p + 2, L'?', false);
    } else if (c1 == 0) {
        run = {p + 1, false};
    } else if (IsNameStart(c1)) {
        kind = XmlNodeKind::Element;
        what = L"Element tag";
        size_t q = p + 1;
        while (!EndsTagName(t[q])) ++q;
        node.nameStart = p + 1;
        node.nameLength = q - (p + 1);
        run = zxml::RunStartTag(t, q, node.flags);
    } else {
        faulty = L"tag name character";
    }

    if (faulty) {
        kind = XmlNodeKind::Error;
        run = RunFaulty(t, p + 1);
        node.name = Incorrect(faulty, p);
    }
    if (!run.terminated) {
        // The text ended inside the markup; a faulty node or one of unknown kind is a "tag".
        node.name = Unterminated(faulty || !what ? L"tag" : what, p);
        kind = XmlNodeKind::Error;
    }
    return {kind, run};
}

// A DOCTYPE from just after "<!": it ends at the first '>' outside quotes and outside its internal
// subset, where each '<' begins a piece of markup that ends at its own '>'. An error inside the
// subset makes the DOCTYPE an error node.
MarkupEnd RunDoctype(XmlScanState& scan, XmlNodeInfo& node, size_t q, XmlNodeKind& kind) {
    const wchar_t* t = scan.text;
    wchar_t quote = 0;
    bool inSubset = false;
    for (;;) {
        const wchar_t c = t[q];
        if (c == 0) return {q, false};
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (inSubset && c == L'<') {
            XmlNodeInfo inner;
            const MarkupResult piece = ScanMarkup(scan, inner, q, true);
            if (!piece.run.terminated) return piece.run;
            if (piece.kind == XmlNodeKind::Error && kind != XmlNodeKind::Error) {
                kind = XmlNodeKind::Error;
                node.name = inner.name;
            }
            q = piece.run.end;
            continue;
        } else if (inSubset) {
            if (c == L']') inSubset = false;
        } else if (c == L'[') {
            inSubset = true;
        } else if (c == L'>') {
            return {q + 1, true};
        }
        ++q;
    }
}

}  // namespace

XmlNodeKind CXmlTextDoc::ScanNode(XmlScanState& scan, XmlNodeInfo& node) {
    const XmlNodeKind kind = ScanNodeSpan(scan, node);
    if (kind == XmlNodeKind::Element || kind == XmlNodeKind::Instruction) {
        node.name.assign(scan.text + node.nameStart, node.nameLength);
    }
    return kind;
}

XmlNodeKind CXmlTextDoc::ScanNodeSpan(XmlScanState& scan, XmlNodeInfo& node) {
    const wchar_t* t = scan.text;
    size_t p = scan.next;
    node.start = p;
    node.flags = 0;
    XmlNodeKind kind;
    if (t[p] == 0) {
        kind = XmlNodeKind::EndOfText;
    } else if (t[p] != L'<') {
        kind = XmlNodeKind::WhiteSpace;
        while (IsBlank(t[p])) ++p;
        if (t[p] != 0 && t[p] != L'<') {
            kind = XmlNodeKind::Text;
            while (!zxml::EndsText(t[p])) ++p;
            if (t[p] == L'>') ++p;
        }
    } else {
        const MarkupResult markup = ScanMarkup(scan, node, p, false);
        kind = markup.kind;
        p = markup.run.end;
    }
    node.kind = kind;
    node.length = p - node.start;
    scan.next = p;
    return kind;
}

bool CXmlTextDoc::SkipBlanks(size_t& index, const wchar_t* text) {
    while (IsBlank(text[index])) ++index;
    return text[index] != 0;
}

bool CXmlTextDoc::ScanName(XmlScanState& scan) {
    size_t i = scan.next;
    const bool more = SkipBlanks(i, scan.text);
    scan.flags &= ~kXmlQuotedToken;
    scan.tokenStart = i;
    if (!more) {
        scan.tokenEnd = i;
        scan.next = i;
        return false;
    }
    if (IsNameStop(scan.text[i])) {
        ++i;
    } else {
        while (scan.text[i] != 0 && !IsNameStop(scan.text[i])) ++i;
    }
    scan.tokenEnd = i;
    scan.next = i;
    return true;
}

std::wstring CXmlTextDoc::CopyToken(const XmlScanState& scan) {
    if (scan.tokenEnd <= scan.tokenStart) return std::wstring();
    return std::wstring(scan.text + scan.tokenStart, scan.tokenEnd - scan.tokenStart);
}

bool CXmlTextDoc::TokenIs(const XmlScanState& scan, const std::wstring& name) {
    return TokenIs(scan, name.data(), name.size());
}

bool CXmlTextDoc::TokenIs(const XmlScanState& scan, const wchar_t* name, size_t nameLength) {
    const size_t length = scan.tokenEnd > scan.tokenStart ? scan.tokenEnd - scan.tokenStart : 0;
    if (length > nameLength) return false;
    const wchar_t* token = scan.text + scan.tokenStart;
    for (size_t i = 0; i < length; ++i) {
        if (token[i] != name[i]) return false;
    }
    if (length == nameLength) return true;
    switch (name[length]) {
        case L' ': case L'=': case L'/': case L'[': case L']':
            return true;
        default:
            return false;
    }
}

std::wstring CXmlTextDoc::EncodeEntities(const std::wstring& text, XmlEncodeMode mode) {
    const bool attribute = mode == XmlEncodeMode::Attribute;
    std::wstring out;
    out.reserve(text.size() + text.size() / 10 + 7);
    for (const wchar_t c : text) {
        switch (c) {
            case L'<': out += L"&lt;"; break;
            case L'&': out += L"&amp;"; break;
            case L'>': out += L"&gt;"; break;
            case L'\'':
                if (attribute) out += L"&apos;";
                else out += c;
                break;
            case L'"':
                if (attribute) out += L"&quot;";
                else out += c;
                break;
            case 0:
                // A NUL would end every later parse of the text; XML cannot hold one.
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

namespace {

int DigitValue(wchar_t c, bool hex) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (hex && c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (hex && c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// A numeric reference "&#...;" or "&#x...;" at text[i]; its code units go to `out`. Returns the length
// of the reference, 0 when it is none (no ';' within eight characters, a non-digit, the value 0, a
// surrogate or a value above U+10FFFF).
size_t DecodeNumeric(const wchar_t* text, size_t length, size_t i, std::wstring& out) {
    size_t j = i + 2;
    const bool hex = j < length && text[j] == L'x';
    if (hex) ++j;
    uint32_t value = 0;
    for (size_t k = j; k < length && k < j + 8; ++k) {
        if (text[k] == L';') {
            if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
            if (value > 0xFFFF) {
                value -= 0x10000;
                out += static_cast<wchar_t>(0xD800 + (value >> 10));
                out += static_cast<wchar_t>(0xDC00 + (value & 0x3FF));
            } else {
                out += static_cast<wchar_t>(value);
            }
            return k + 1 - i;
        }
        const int digit = DigitValue(text[k], hex);
        if (digit < 0) return 0;
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    return 0;
}

}  // namespace

std::wstring CXmlTextDoc::DecodeEntities(const wchar_t* text, size_t length) {
    struct Named {
        const wchar_t* name;
        size_t length;
        wchar_t value;
    };
    static const Named kNamed[] = {
        {L"lt;", 3, L'<'}, {L"amp;", 4, L'&'}, {L"gt;", 3, L'>'}, {L"apos;", 5, L'\''}, {L"quot;", 5, L'"'},
    };
    std::wstring out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        const wchar_t* amp = std::wmemchr(text + i, L'&', length - i);
        if (!amp) {
            out.append(text + i, length - i);
            break;
        }
        const size_t at = static_cast<size_t>(amp - text);
        out.append(text + i, at - i);
        i = at;
        if (i + 1 < length && text[i + 1] == L'#') {
            const size_t used = DecodeNumeric(text, length, i, out);
            if (used) {
                i += used;
                continue;
            }
        } else {
            bool matched = false;
            for (const Named& named : kNamed) {
                if (length - (i + 1) >= named.length &&
                    std::wmemcmp(text + i + 1, named.name, named.length) == 0) {
                    out += named.value;
                    i += 1 + named.length;
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
        }
        out += L'&';
        ++i;
    }
    return out;
}
