// The position, the searches, reading and the edits of CXmlTextDoc.
#include <vector>

#include "common/xml/XmlChars.h"
#include "common/xml/XmlTextDoc.h"

namespace zxml {

bool IsWritableName(const std::wstring& name) {
    if (name.empty()) return false;
    const wchar_t first = name[0];
    if (!((first >= L'A' && first <= L'Z') || (first >= L'a' && first <= L'z') || first == L'_' ||
          first == L':' || first >= 0x7B)) {
        return false;
    }
    for (const wchar_t c : name) {
        if (c == 0 || IsBlank(c)) return false;
        switch (c) {
            case L'<': case L'>': case L'=': case L'\\': case L'/': case L'?': case L'!': case L'"':
            case L'\'': case L'&': case L'[': case L']':
                return false;
            default:
                break;
        }
    }
    return true;
}

}  // namespace zxml

namespace {

// Set by LocateAttr when the attribute stands without a value (<a selected>).
constexpr uint32_t kValueless = 0x4000;

}  // namespace

// A request to place new markup: the text to insert and, on return, where it went.
struct CXmlTextDoc::InsertRequest {
    std::wstring markup;
    size_t elementStart = 0;  // where the new element's '<' lies
    XmlSlot after = 0;        // the sibling the new element follows (0: it is the first child)
    int64_t change = 0;       // inserted minus replaced length
};

bool CXmlTextDoc::IsLiveSlot(XmlSlot slot) const {
    return slot < m_slotsUsed && !(m_slots[slot].flags & kXmlReleased);
}

// --- The position ---

void CXmlTextDoc::RewindToTop() {
    m_parentSlot = 0;
    m_currentSlot = 0;
    m_nodeKind = XmlNodeKind::EndTag;
}

void CXmlTextDoc::RewindInParent() {
    m_currentSlot = 0;
    m_nodeKind = XmlNodeKind::EndTag;
}

bool CXmlTextDoc::SeekElement(const std::wstring& name) {
    const XmlSlot found = FindSiblingSlot(m_parentSlot, m_currentSlot, name);
    if (found == 0) return false;
    m_parentSlot = m_slots[found].parent;
    m_currentSlot = found;
    m_nodeKind = XmlNodeKind::Element;
    return true;
}

XmlSlot CXmlTextDoc::FindSiblingSlot(XmlSlot parent, XmlSlot after, const std::wstring& name) const {
    if (!IsLiveSlot(parent) || (after != 0 && !IsLiveSlot(after))) return 0;
    XmlSlot slot = after != 0 ? m_slots[after].nextSibling : m_slots[parent].firstChild;
    XmlScanState scan;
    scan.text = m_text.c_str();
    for (; slot != 0; slot = m_slots[slot].nextSibling) {
        if (name.empty()) return slot;
        scan.next = m_slots[slot].start + 1;
        ScanName(scan);
        if (TokenIs(scan, name)) return slot;
    }
    return 0;
}

bool CXmlTextDoc::EnterElement() {
    if (m_currentSlot == 0 || m_nodeKind != XmlNodeKind::Element) return false;
    m_parentSlot = m_currentSlot;
    m_currentSlot = 0;
    m_nodeKind = XmlNodeKind::EndTag;
    return true;
}

std::wstring CXmlTextDoc::ElementNameAt(XmlSlot slot) const {
    if (slot == 0 || !IsLiveSlot(slot)) return std::wstring();
    XmlScanState scan;
    scan.text = m_text.c_str();
    scan.next = m_slots[slot].start + 1;
    ScanName(scan);
    return CopyToken(scan);
}

// The name as the parser reads it (up to a blank, '/' or '>'), for writing the element's end tag.
std::wstring CXmlTextDoc::TagNameAt(XmlSlot slot) const {
    const XmlElementSlot& e = m_slots[slot];
    const size_t begin = e.start + 1;
    size_t end = begin;
    const size_t tagEnd = e.start + e.startTagLength;
    while (end < tagEnd && !zxml::IsBlank(m_text[end]) && m_text[end] != L'/' && m_text[end] != L'>') ++end;
    return m_text.substr(begin, end - begin);
}

// --- Reading ---

std::wstring CXmlTextDoc::ReadText() const { return ReadTextAt(m_currentSlot); }

std::wstring CXmlTextDoc::ReadTextAt(XmlSlot slot) const {
    if (!IsLiveSlot(slot)) return std::wstring();
    const XmlElementSlot& e = m_slots[slot];
    if (e.firstChild != 0) return std::wstring();
    if (slot != 0 && e.endTagLength == 0) return std::wstring();
    const size_t begin = e.start + e.startTagLength;
    const size_t length = e.length - e.startTagLength - e.endTagLength;
    const wchar_t* content = m_text.data() + begin;
    if (std::wstring_view(content, length).find(L'<') == std::wstring_view::npos) {
        return DecodeEntities(content, length);
    }
    // Text nodes and CDATA sections, joined; comments, instructions and white space between them left out.
    const std::wstring copy(content, length);
    std::wstring result;
    XmlScanState scan;
    scan.text = copy.c_str();
    XmlNodeInfo node;
    for (;;) {
        const XmlNodeKind kind = ScanNode(scan, node);
        if (kind == XmlNodeKind::EndOfText) break;
        if (kind == XmlNodeKind::Text) {
            result += DecodeEntities(copy.data() + node.start, node.length);
        } else if (kind == XmlNodeKind::CData && node.length >= 12) {
            result.append(copy, node.start + 9, node.length - 12);
        }
    }
    return result;
}

std::wstring CXmlTextDoc::ReadAttr(const std::wstring& name) const { return ReadAttrAt(m_currentSlot, name); }

bool CXmlTextDoc::AttrAllowed(XmlSlot slot) const {
    return slot != 0 && IsLiveSlot(slot) && m_nodeKind == XmlNodeKind::Element;
}

std::wstring CXmlTextDoc::ReadAttrAt(XmlSlot slot, const std::wstring& name) const {
    if (!AttrAllowed(slot)) return std::wstring();
    const XmlElementSlot& e = m_slots[slot];
    const std::wstring tag = m_text.substr(e.start, e.startTagLength);
    XmlScanState scan;
    scan.text = tag.c_str();
    if (!LocateAttr(scan, name)) return std::wstring();
    return DecodeEntities(tag.data() + scan.tokenStart, scan.tokenEnd - scan.tokenStart);
}

bool CXmlTextDoc::LocateAttr(XmlScanState& scan, const std::wstring& name) {
    const wchar_t* t = scan.text;
    size_t i = 1;
    size_t lastEnd = 1;      // just after the last name or value read
    bool tagName = true;     // the first name is the tag's own
    bool valueNext = false;  // a value follows an '='
    bool matched = false;    // the last name was the one searched for
    scan.flags = 0;
    auto valueless = [&]() {
        // The matched name stands without a value; it reads as its own name.
        scan.flags = kValueless;
        scan.next = lastEnd;
        return true;
    };
    for (;;) {
        if (!SkipBlanks(i, t)) break;
        const wchar_t c = t[i];
        if (c == L'"' || c == L'\'') {
            size_t close = i + 1;
            while (t[close] != 0 && t[close] != c) ++close;
            if (t[close] == 0) break;  // a quote that never closes ends the search
            if (matched && valueNext) {
                scan.tokenStart = i + 1;
                scan.tokenEnd = close;
                scan.flags = kXmlQuotedToken;
                return true;
            }
            if (matched) return valueless();
            lastEnd = close + 1;
            i = lastEnd;
            valueNext = false;
            continue;
        }
        if (valueNext) {
            // An unquoted value may hold '/', '?' and '='.
            size_t end = i;
            while (t[end] != 0 && !zxml::IsBlank(t[end]) && t[end] != L'>') ++end;
            if (matched) {
                scan.tokenStart = i;
                scan.tokenEnd = end;
                return true;
            }
            lastEnd = i = end;
            valueNext = false;
            continue;
        }
        if (c == L'=') {
            valueNext = true;
            ++i;
            continue;
        }
        if (matched) return valueless();
        if (c == L'/' || c == L'>' || c == L'?') break;
        size_t end = i;
        while (t[end] != 0 && !zxml::IsBlank(t[end]) && t[end] != L'=' && t[end] != L'>' && t[end] != L'/' &&
               t[end] != L'?') {
            ++end;
        }
        scan.tokenStart = i;
        scan.tokenEnd = end;
        matched = !tagName && TokenIs(scan, name);
        tagName = false;
        lastEnd = i = end;
    }
    if (matched && !valueNext) return valueless();
    if (matched) {
        // "name=" at the very end: an empty value.
        scan.tokenStart = scan.tokenEnd = i;
        return true;
    }
    scan.next = lastEnd;
    return false;
}

// --- Editing ---

bool CXmlTextDoc::ReplaceRange(size_t start, size_t length, const std::wstring& text) {
    const size_t newLength = m_text.size() - length + text.size();
    if (newLength > kXmlMaxTextLength) return false;
    if (newLength > m_text.capacity()) m_text.reserve(newLength + newLength / 2 + 128);
    m_text.replace(start, length, text);
    return true;
}

void CXmlTextDoc::ShiftFollowing(XmlSlot slot, int64_t difference, bool skipChildren) {
    if (difference == 0) return;
    const uint32_t d = static_cast<uint32_t>(difference);  // two's complement: adding it subtracts
    // Moves an element and all its descendants.
    auto shiftSubtree = [&](XmlSlot root) {
        XmlSlot s = root;
        for (;;) {
            m_slots[s].start += d;
            if (m_slots[s].firstChild != 0) {
                s = m_slots[s].firstChild;
                continue;
            }
            while (s != root && m_slots[s].nextSibling == 0) s = m_slots[s].parent;
            if (s == root) return;
            s = m_slots[s].nextSibling;
        }
    };
    if (!skipChildren) {
        for (XmlSlot c = m_slots[slot].firstChild; c != 0; c = m_slots[c].nextSibling) shiftSubtree(c);
    }
    if (slot == 0) {
        m_slots[0].length += d;
        return;
    }
    for (XmlSlot s = slot; s != 0;) {
        for (XmlSlot next = m_slots[s].nextSibling; next != 0; next = m_slots[next].nextSibling) shiftSubtree(next);
        s = m_slots[s].parent;
        m_slots[s].length += d;
    }
}

bool CXmlTextDoc::StoreTextAt(const std::wstring& value) { return StoreTextAt(value, m_currentSlot); }

bool CXmlTextDoc::StoreTextAt(const std::wstring& value, XmlSlot slot) {
    if (slot == 0 || !IsLiveSlot(slot) || m_slots[slot].firstChild != 0) return false;
    const std::wstring text = EncodeEntities(value, XmlEncodeMode::Text);
    XmlElementSlot& e = m_slots[slot];
    int64_t change;
    if (e.endTagLength != 0) {
        const size_t replaced = e.length - e.startTagLength - e.endTagLength;
        if (!ReplaceRange(e.start + e.startTagLength, replaced, text)) return false;
        change = static_cast<int64_t>(text.size()) - static_cast<int64_t>(replaced);
    } else {
        // <a/> is opened in place of its slash; an unended <a> gets its content and end tag before '>'.
        const uint32_t slash = (e.flags & kXmlNotEnded) ? 0 : 1;
        const std::wstring name = TagNameAt(slot);
        const std::wstring insert = L">" + text + L"</" + name;
        if (!ReplaceRange(e.start + e.startTagLength - 1 - slash, slash, insert)) return false;
        change = static_cast<int64_t>(insert.size()) - slash;
        e.startTagLength -= slash;
        e.endTagLength = static_cast<uint32_t>(name.size() + 3);
        e.flags &= ~kXmlNotEnded;
    }
    e.length += static_cast<uint32_t>(change);
    e.flags &= ~kXmlElementError;
    ShiftFollowing(slot, change, true);
    return true;
}

bool CXmlTextDoc::StoreAttrAt(XmlSlot slot, const std::wstring& name, const std::wstring& value) {
    if (!AttrAllowed(slot) || !zxml::IsWritableName(name)) return false;
    XmlElementSlot& e = m_slots[slot];
    const std::wstring tag = m_text.substr(e.start, e.startTagLength);
    XmlScanState scan;
    scan.text = tag.c_str();
    const std::wstring quoted = L"\"" + EncodeEntities(value, XmlEncodeMode::Attribute) + L"\"";
    size_t at;
    size_t replaced;
    std::wstring insert;
    if (!LocateAttr(scan, name)) {
        at = scan.next;
        replaced = 0;
        insert = L" " + name + L"=" + quoted;
    } else if (scan.flags & kValueless) {
        at = scan.next;
        replaced = 0;
        insert = L"=" + quoted;
    } else {
        const size_t quotes = (scan.flags & kXmlQuotedToken) ? 1 : 0;
        at = scan.tokenStart - quotes;
        replaced = scan.tokenEnd - scan.tokenStart + 2 * quotes;
        insert = quoted;
    }
    // The edited start tag must still read as the same tag: an odd value written without quotes
    // (<a x=1"2>) could otherwise shift where the tag ends, and an attribute placed inside an odd tag name
    // (<r?x>, read as r) would part the name from its end tag.
    std::wstring edited = tag;
    edited.replace(at, replaced, insert);
    XmlScanState check;
    XmlNodeInfo before;
    XmlNodeInfo after;
    check.text = tag.c_str();
    const XmlNodeKind oldKind = ScanNode(check, before);
    check = XmlScanState{};
    check.text = edited.c_str();
    if (ScanNode(check, after) != XmlNodeKind::Element || oldKind != XmlNodeKind::Element ||
        after.length != edited.size() || (after.flags & kXmlEmptyTag) != (before.flags & kXmlEmptyTag) ||
        after.name != before.name) {
        return false;
    }
    if (!ReplaceRange(e.start + at, replaced, insert)) return false;
    const int64_t change = static_cast<int64_t>(insert.size()) - static_cast<int64_t>(replaced);
    e.startTagLength += static_cast<uint32_t>(change);
    e.length += static_cast<uint32_t>(change);
    ShiftFollowing(slot, change, false);
    return true;
}

bool CXmlTextDoc::InsertMarkup(XmlSlot parent, XmlSlot after, InsertRequest& request) {
    XmlElementSlot& p = m_slots[parent];
    if (after == 0 && p.firstChild != 0) after = m_slots[p.firstChild].prevSibling;
    request.after = after;
    size_t at;
    size_t replaced = 0;
    std::wstring insert;
    size_t lead = 0;  // characters inserted before the new element
    const bool opening = after == 0 && parent != 0 && p.endTagLength == 0;
    if (opening) {
        // <p/> or an unended <p>: the parent gets its content and end tag.
        const bool empty = !(p.flags & kXmlNotEnded);
        const std::wstring name = TagNameAt(parent);
        at = p.start + p.startTagLength - (empty ? 2 : 1);
        replaced = empty ? 1 : 0;
        insert = L">\r\n" + request.markup + L"\r\n</" + name;
        lead = 3;
        if (!ReplaceRange(at, replaced, insert)) return false;
        if (empty) p.startTagLength -= 1;
        p.endTagLength = static_cast<uint32_t>(name.size() + 3);
        p.flags &= ~kXmlNotEnded;
    } else {
        if (after != 0) {
            at = m_slots[after].start + m_slots[after].length;
        } else if (parent != 0) {
            at = p.start + p.length - p.endTagLength;
            if (p.length == p.startTagLength + p.endTagLength) lead = 2;  // <p></p>
        } else {
            // The end of the text as the parser reads it, which stops at a NUL.
            at = std::char_traits<wchar_t>::length(m_text.c_str());
        }
        // The new element goes just before the next tag, after the line break that ends the previous one.
        size_t skip = at;
        while (zxml::IsBlank(m_text[skip])) ++skip;
        if (m_text[skip] == 0 || m_text[skip] == L'<') at = skip;
        insert = (lead ? L"\r\n" : L"") + request.markup + L"\r\n";
        if (!ReplaceRange(at, 0, insert)) return false;
    }
    request.elementStart = at + lead;
    request.change = static_cast<int64_t>(insert.size()) - static_cast<int64_t>(replaced);
    return true;
}

void CXmlTextDoc::AttachSlot(XmlSlot parent, XmlSlot after, XmlSlot slot) {
    XmlElementSlot& e = m_slots[slot];
    XmlElementSlot& p = m_slots[parent];
    e.parent = parent;
    e.level = parent != 0 ? p.level + 1 : 0;
    if (after != 0) {
        const XmlSlot next = m_slots[after].nextSibling;
        e.prevSibling = after;
        e.nextSibling = next;
        m_slots[after].nextSibling = slot;
        if (next != 0) {
            m_slots[next].prevSibling = slot;
        } else {
            m_slots[p.firstChild].prevSibling = slot;
        }
        return;
    }
    const XmlSlot first = p.firstChild;
    e.flags |= kXmlFirstChild;
    e.nextSibling = first;
    if (first != 0) {
        e.prevSibling = m_slots[first].prevSibling;
        m_slots[first].prevSibling = slot;
        m_slots[first].flags &= ~kXmlFirstChild;
    } else {
        e.prevSibling = slot;
    }
    p.firstChild = slot;
}

bool CXmlTextDoc::AppendElement(const std::wstring& name) {
    const XmlSlot parent = m_parentSlot;
    XmlSlot after = m_currentSlot;
    if (!zxml::IsWritableName(name) || !IsLiveSlot(parent)) return false;
    // The document holds one top-level element; a second would make the text unreadable.
    if (parent == 0 && m_slots[0].firstChild != 0) return false;
    if (m_slotsUsed == UINT32_MAX) return false;
    if (after != 0 && (!IsLiveSlot(after) || m_slots[after].parent != parent)) after = 0;
    if (m_slotsUsed == m_slots.Allocated()) ReserveSlots(0);

    InsertRequest request;
    request.markup = L"<" + name + L"/>";
    if (!InsertMarkup(parent, after, request)) return false;
    const XmlSlot slot = m_slotsUsed++;
    XmlElementSlot& e = m_slots[slot];
    e = XmlElementSlot{};
    e.length = e.startTagLength = static_cast<uint32_t>(request.markup.size());
    AttachSlot(parent, request.after, slot);
    ShiftFollowing(slot, request.change, false);
    e.start = static_cast<uint32_t>(request.elementStart);
    m_currentSlot = slot;
    m_nodeKind = XmlNodeKind::Element;
    return true;
}

void CXmlTextDoc::DetachSlot(XmlSlot slot) {
    XmlElementSlot& e = m_slots[slot];
    XmlElementSlot& p = m_slots[e.parent];
    if (p.firstChild == slot) {
        const XmlSlot next = e.nextSibling;
        p.firstChild = next;
        if (next != 0) {
            m_slots[next].flags |= kXmlFirstChild;
            m_slots[next].prevSibling = e.prevSibling;
        }
    } else {
        const XmlSlot prev = e.prevSibling;
        const XmlSlot next = e.nextSibling;
        m_slots[prev].nextSibling = next;
        if (next != 0) {
            m_slots[next].prevSibling = prev;
        } else {
            m_slots[p.firstChild].prevSibling = prev;
        }
    }
    e.flags &= ~kXmlFirstChild;
}

void CXmlTextDoc::FreeSubtreeSlots(XmlSlot slot) {
    std::vector<XmlSlot> pending{slot};
    while (!pending.empty()) {
        const XmlSlot s = pending.back();
        pending.pop_back();
        for (XmlSlot c = m_slots[s].firstChild; c != 0; c = m_slots[c].nextSibling) pending.push_back(c);
        XmlElementSlot& e = m_slots[s];
        e.flags |= kXmlReleased;
        e.nextSibling = m_releasedSlots;
        m_releasedSlots = s;
    }
}

XmlSlot CXmlTextDoc::DeleteElementAt(XmlSlot slot) {
    if (slot == 0 || !IsLiveSlot(slot)) return 0;
    const XmlElementSlot& e = m_slots[slot];
    const XmlSlot parent = e.parent;
    const XmlSlot previous = (e.flags & kXmlFirstChild) ? 0 : e.prevSibling;
    // The blanks after the element go with it when they lead to the next tag or the end of the text.
    size_t end = e.start + e.length;
    size_t skip = end;
    while (zxml::IsBlank(m_text[skip])) ++skip;
    if (m_text[skip] == 0 || m_text[skip] == L'<') end = skip;
    const size_t start = e.start;
    ReplaceRange(start, end - start, std::wstring());
    ShiftFollowing(slot, -static_cast<int64_t>(end - start), true);
    DetachSlot(slot);
    FreeSubtreeSlots(slot);
    // The position stays among the removed element's siblings (the parent, unless it was removed too).
    m_parentSlot = parent;
    m_currentSlot = previous;
    m_nodeKind = previous != 0 ? XmlNodeKind::Element : XmlNodeKind::EndTag;
    return previous;
}
