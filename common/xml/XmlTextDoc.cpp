// The document text, the slot table and the parser that builds the index.
#include "common/xml/XmlTextDoc.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/xml/XmlChars.h"

// --- XmlSlotTable ---

XmlSlotTable::~XmlSlotTable() {
    const uint32_t pages = static_cast<uint32_t>((uint64_t{m_allocated} + kPageSlots - 1) >> kPageShift);
    for (uint32_t i = 0; i < pages; ++i) {
        if (m_pages[i] != m_inlineSlots) delete[] m_pages[i];
    }
    if (m_pages != m_inlinePages) delete[] m_pages;
}

bool XmlSlotTable::Grow(uint32_t target) {
    if (target <= m_allocated) return true;
    const uint64_t pagesInUse = (uint64_t{m_allocated} + kPageSlots - 1) >> kPageShift;
    // One call adds at most one page.
    const uint64_t limit = (pagesInUse + 1) << kPageShift;
    uint64_t want = std::min<uint64_t>(target, limit);
    const uint32_t lastCount = m_allocated & (kPageSlots - 1);
    if (lastCount != 0) {
        // The partly allocated last page is replaced by a larger one (full when the table grows past it).
        const uint64_t pageBase = (pagesInUse - 1) << kPageShift;
        const uint32_t newCount = static_cast<uint32_t>(std::min<uint64_t>(want - pageBase, kPageSlots));
        XmlElementSlot* page = new XmlElementSlot[newCount];
        std::copy(m_pages[pagesInUse - 1], m_pages[pagesInUse - 1] + lastCount, page);
        if (m_pages[pagesInUse - 1] != m_inlineSlots) delete[] m_pages[pagesInUse - 1];
        m_pages[pagesInUse - 1] = page;
        m_allocated = static_cast<uint32_t>(pageBase + newCount);
    }
    if (want > m_allocated) {
        const uint32_t pageIndex = m_allocated >> kPageShift;
        if (pageIndex >= m_pageCapacity) {
            const uint32_t capacity = pageIndex * 2 + 4;
            XmlElementSlot** pages = new XmlElementSlot*[capacity]();
            std::copy(m_pages, m_pages + m_pageCapacity, pages);
            if (m_pages != m_inlinePages) delete[] m_pages;
            m_pages = pages;
            m_pageCapacity = capacity;
        }
        m_pages[pageIndex] = new XmlElementSlot[static_cast<size_t>(want - m_allocated)];
        m_allocated = static_cast<uint32_t>(want);
    }
    return true;
}

// --- The stack of open elements during a parse ---

namespace {

// FNV-1a over UTF-16 units, for counting open element names.
constexpr uint64_t kNameHashStart = 14695981039346656037ull;
inline uint64_t NameHashStep(uint64_t hash, wchar_t unit) {
    return (hash ^ static_cast<uint16_t>(unit)) * 1099511628211ull;
}

// The characters after which TokenIs takes a name's start for the whole name.
inline bool EndsMatchedName(wchar_t c) { return c == L' ' || c == L'=' || c == L'/' || c == L'[' || c == L']'; }

// An open element during a parse: its slot and where its name lies in the text.
struct OpenElement {
    XmlSlot slot;
    size_t nameStart;
    size_t nameLength;
};

// The open elements, outermost first: in the object up to the usual depths, on the heap beyond them.
class OpenElementStack {
public:
    OpenElementStack() = default;
    OpenElementStack(const OpenElementStack&) = delete;
    OpenElementStack& operator=(const OpenElementStack&) = delete;

    OpenElement& operator[](size_t i) { return m_items[i]; }
    // Makes sure entry `top` exists.
    void Reach(size_t top) {
        if (top < m_capacity) return;
        // Entries below `top` are in use.
        m_heap.resize(std::max(m_capacity * 2, top + 1));
        if (m_items == m_inline) std::copy(m_inline, m_inline + top, m_heap.begin());
        m_items = m_heap.data();
        m_capacity = m_heap.size();
    }

private:
    static constexpr size_t kInline = 32;
    OpenElement m_inline[kInline];
    std::vector<OpenElement> m_heap;
    OpenElement* m_items = m_inline;
    size_t m_capacity = kInline;
};

// Reads a start tag at scan.next into `node` as ScanNode does; false, reading nothing, when there is
// none or the text ends inside it.
inline bool ReadStartTag(XmlScanState& scan, XmlNodeInfo& node) {
    const wchar_t* t = scan.text;
    const size_t p = scan.next;
    if (!zxml::IsNameStart(t[p + 1])) return false;
    size_t q = p + 1;
    while (!zxml::EndsTagName(t[q])) ++q;
    uint32_t flags = 0;
    const zxml::MarkupEnd run = zxml::RunStartTag(t, q, flags);
    if (!run.terminated) return false;
    node.start = p;
    node.length = run.end - p;
    node.flags = flags;
    node.nameStart = p + 1;
    node.nameLength = q - (p + 1);
    scan.next = run.end;
    return true;
}

// Reads an end tag at scan.next that bears `name` as ScanNode does; false, reading nothing, for any
// other markup or when the text (of `textLength` units) ends inside it. A name never holds a character
// that ends a tag name, so a match that one such character follows is the end tag's whole name.
inline bool ReadEndTagOf(XmlScanState& scan, size_t textLength, const wchar_t* name, size_t length,
                         XmlNodeInfo& node) {
    const wchar_t* t = scan.text;
    const size_t p = scan.next;
    if (t[p + 1] != L'/' || p + 2 + length > textLength) return false;
    const wchar_t* tagName = t + p + 2;
    if (std::memcmp(tagName, name, length * sizeof(wchar_t)) != 0) return false;
    if (!zxml::EndsTagName(tagName[length])) return false;
    size_t q = p + 2 + length;
    while (t[q] != 0 && t[q] != L'>') ++q;
    if (t[q] == 0) return false;
    node.start = p;
    node.length = q + 1 - p;
    node.flags = 0;
    scan.tokenStart = p + 2;
    scan.tokenEnd = p + 2 + length;
    scan.next = q + 1;
    return true;
}

// Skips a processing instruction, comment or CDATA section at scan.next, none of which the index
// records; false, skipping nothing, for any other markup or when the text ends inside it.
inline bool SkipUnindexed(XmlScanState& scan) {
    const wchar_t* t = scan.text;
    const size_t p = scan.next;
    zxml::MarkupEnd run{p, false};
    if (t[p + 1] == L'?') {
        run = zxml::RunToTerminator(t, p + 2, L'?', false);
    } else if (t[p + 1] == L'!' && t[p + 2] == L'-' && t[p + 3] == L'-') {
        run = zxml::RunToTerminator(t, p + 4, L'-', true);
    } else if (t[p + 1] == L'!' && t[p + 2] == L'[' && t[p + 3] == L'C') {
        run = zxml::RunToTerminator(t, p + 4, L']', true);
    }
    if (!run.terminated) return false;
    scan.next = run.end;
    return true;
}

std::wstring Quoted(const std::wstring& name) { return L"'" + name + L"'"; }
std::wstring Quoted(const wchar_t* text, const OpenElement& open) {
    return Quoted(std::wstring(text + open.nameStart, open.nameLength));
}

}  // namespace

// --- CXmlTextDoc: construction and the text ---

CXmlTextDoc::CXmlTextDoc() { BuildIndex(); }

CXmlTextDoc::~CXmlTextDoc() = default;

bool CXmlTextDoc::SetText(std::wstring text) {
    m_text = std::move(text);
    m_statusText.clear();
    return BuildIndex();
}

bool CXmlTextDoc::LoadFile(const std::wstring& path) {
    if (!ReadUtf8File(m_text, path, m_statusText)) return false;
    return BuildIndex();
}

bool CXmlTextDoc::SaveFile(const std::wstring& path) { return WriteUtf8File(path, m_text, m_statusText); }

const XmlElementSlot* CXmlTextDoc::SlotAt(XmlSlot slot) const {
    return slot < m_slotsUsed ? &m_slots[slot] : nullptr;
}

bool CXmlTextDoc::ReserveSlots(uint32_t count) {
    uint32_t target = count;
    if (target == 0) {
        const uint64_t wanted = uint64_t{m_slotsUsed} * 3 / 2;
        target = static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(wanted, m_slotsUsed + 1u), UINT32_MAX));
    }
    return m_slots.Grow(target);
}

// --- The parse ---

bool CXmlTextDoc::BuildIndex() {
    // The status of the load before, if any, is put in front of the parse's outcome.
    std::wstring loadStatus;
    if (!m_statusText.empty()) loadStatus.swap(m_statusText);
    RewindToTop();
    m_releasedSlots = 0;
    m_slotsUsed = 1;
    const size_t length = m_text.size();
    const uint32_t documentLength = static_cast<uint32_t>(std::min<size_t>(length, kXmlMaxTextLength));
    try {
        ReserveSlots(documentLength / 64 + 8);
        XmlElementSlot& document = m_slots[0];
        document = XmlElementSlot{};
        document.length = documentLength;

        if (length > kXmlMaxTextLength) {
            document.flags |= kXmlDocumentError;
            m_statusText = L"Document too large";
        } else if (length == 0) {
            m_statusText = L"Empty document";
        } else {
            XmlScanState scan;
            scan.text = m_text.c_str();
            const XmlSlot first = IndexElements(scan);
            if (first == 0) {
                m_statusText = L"No root element";
            } else if (m_slots[first].nextSibling != 0) {
                m_statusText = L"Root element has sibling";
            }
        }
        RewindToTop();
        if (!m_statusText.empty() && !loadStatus.empty()) {
            m_statusText = loadStatus + L", " + m_statusText;
        } else if (m_statusText.empty() && !loadStatus.empty()) {
            m_statusText.swap(loadStatus);
        }
    } catch (const std::bad_alloc&) {
        // Deeply nested input can need more memory than there is. The text stays, with the document slot
        // alone (the table holds its first slots itself).
        m_slotsUsed = 1;
        XmlElementSlot& document = m_slots[0];
        document = XmlElementSlot{};
        document.length = documentLength;
        document.flags = kXmlDocumentError;
        RewindToTop();
        m_statusText = L"Out of memory";
        return false;
    }
    const XmlElementSlot& doc = m_slots[0];
    return !(doc.flags & kXmlDocumentError) && doc.firstChild != 0 && m_slots[doc.firstChild].nextSibling == 0;
}

void CXmlTextDoc::Record(const std::wstring& error) {
    if (m_statusText.empty()) m_statusText = error;
}

void CXmlTextDoc::LinkLastChild(XmlSlot parent, XmlSlot slot) {
    XmlElementSlot& p = m_slots[parent];
    XmlElementSlot& e = m_slots[slot];
    if (p.firstChild != 0) {
        XmlElementSlot& first = m_slots[p.firstChild];
        const XmlSlot last = first.prevSibling;
        m_slots[last].nextSibling = slot;
        e.prevSibling = last;
        first.prevSibling = slot;
    } else {
        p.firstChild = slot;
        e.prevSibling = slot;
        e.flags |= kXmlFirstChild;
    }
}

// Closes an open element that has no end tag: it keeps its start tag alone and its children become
// its following siblings. The element is the last child of its parent, as every open element is.
void CXmlTextDoc::CloseNotEnded(XmlSlot slot) {
    XmlElementSlot& e = m_slots[slot];
    e.endTagLength = 0;
    e.length = e.startTagLength;
    e.flags |= kXmlNotEnded;
    const XmlSlot child = e.firstChild;
    if (child == 0) return;
    const XmlSlot parent = e.parent;
    const XmlSlot last = m_slots[child].prevSibling;
    e.firstChild = 0;
    e.nextSibling = child;
    m_slots[child].prevSibling = slot;
    m_slots[child].flags &= ~kXmlFirstChild;
    for (XmlSlot c = child; c != 0; c = m_slots[c].nextSibling) m_slots[c].parent = parent;
    m_slots[m_slots[parent].firstChild].prevSibling = last;
}

XmlSlot CXmlTextDoc::IndexElements(XmlScanState& scan) {
    m_statusText.clear();
    const wchar_t* const text = scan.text;  // m_text
    const size_t textLength = m_text.size();
    OpenElementStack stack;
    size_t depth = 0;
    XmlSlot parent = 0;
    XmlSlot first = 0;

    // How many open elements bear each name, kept from the first end tag that does not close the innermost
    // element on: an end tag naming no open element is then refused at once instead of after a walk down
    // the whole stack, which hostile input could repeat for every tag. Names are counted by hash, each
    // start of a name that ends before one of TokenIs's stops as well (an end tag closes those too); a hash
    // shared by chance only costs the walk.
    std::unordered_map<uint64_t, long> openNames;
    bool countingNames = false;
    auto count = [&](size_t nameStart, size_t nameLength, long delta) {
        const wchar_t* name = text + nameStart;
        uint64_t hash = kNameHashStart;
        for (size_t k = 0; k < nameLength; ++k) {
            if (k > 0 && EndsMatchedName(name[k])) openNames[hash] += delta;
            hash = NameHashStep(hash, name[k]);
        }
        openNames[hash] += delta;
    };
    auto leaveTo = [&](size_t newDepth) {
        if (countingNames) {
            for (size_t i = newDepth; i < depth; ++i) count(stack[i].nameStart, stack[i].nameLength, -1);
        }
        depth = newDepth;
    };
    auto isOpen = [&](const XmlScanState& token) {
        if (!countingNames) {
            for (size_t i = 0; i < depth; ++i) count(stack[i].nameStart, stack[i].nameLength, +1);
            countingNames = true;
        }
        uint64_t hash = kNameHashStart;
        for (size_t i = token.tokenStart; i < token.tokenEnd; ++i) hash = NameHashStep(hash, token.text[i]);
        const auto found = openNames.find(hash);
        return found != openNames.end() && found->second > 0;
    };
    auto closes = [&](size_t i) { return TokenIs(scan, text + stack[i].nameStart, stack[i].nameLength); };

    // Closes the open elements above stack entry `keep` as not ended, outermost first, so that each
    // element is re-linked once however deep the nesting; their error flags go to the element kept.
    auto closeAbove = [&](size_t keep) {
        uint32_t carried = 0;
        for (size_t i = keep; i < depth; ++i) {
            const XmlSlot slot = stack[i].slot;
            CloseNotEnded(slot);
            carried |= m_slots[slot].flags & kXmlElementError;
            m_slots[slot].flags &= ~kXmlElementError;
        }
        parent = m_slots[stack[keep].slot].parent;
        m_slots[parent].flags |= carried;
        leaveTo(keep);
    };

    XmlNodeInfo node;
    for (;;) {
        // Text and blanks leave no trace in the index: straight on to the next markup.
        size_t p = scan.next;
        while (text[p] != L'<' && text[p] != 0) ++p;
        scan.next = p;
        // The usual markup is read here, as ScanNode reads it: a whole start tag, the end tag of the
        // innermost open element, or markup that the index passes over. Anything else, and markup that the
        // text ends in, goes the long way.
        XmlNodeKind kind;
        bool innermost = false;  // the end tag read closes the innermost open element
        if (text[p] == L'<' && ReadStartTag(scan, node)) {
            kind = XmlNodeKind::Element;
        } else if (text[p] == L'<' && depth > 0 &&
                   ReadEndTagOf(scan, textLength, text + stack[depth - 1].nameStart, stack[depth - 1].nameLength,
                                node)) {
            kind = XmlNodeKind::EndTag;
            innermost = true;
        } else if (text[p] == L'<' && SkipUnindexed(scan)) {
            continue;
        } else {
            kind = ScanNodeSpan(scan, node);
        }
        switch (kind) {
            case XmlNodeKind::Element: {
                if (m_slotsUsed == m_slots.Allocated()) ReserveSlots(0);
                const XmlSlot slot = m_slotsUsed++;
                if (first == 0) first = slot;
                XmlElementSlot& e = m_slots[slot];
                e = XmlElementSlot{};
                e.start = static_cast<uint32_t>(node.start);
                e.length = e.startTagLength = static_cast<uint32_t>(node.length);
                e.level = static_cast<uint32_t>(depth);
                e.parent = parent;
                LinkLastChild(parent, slot);
                if (!(node.flags & kXmlEmptyTag)) {
                    stack[depth] = OpenElement{slot, node.nameStart, node.nameLength};
                    if (countingNames) count(node.nameStart, node.nameLength, +1);
                    parent = slot;
                    ++depth;
                    stack.Reach(depth);
                }
                break;
            }
            case XmlNodeKind::EndTag: {
                size_t match = depth;
                if (!innermost && match > 0 && !closes(match - 1)) {
                    if (isOpen(scan)) {
                        while (match > 0 && !closes(match - 1)) --match;
                    } else {
                        match = 0;
                    }
                }
                if (match == 0) {
                    m_slots[0].flags |= kXmlDocumentError;
                    m_slots[parent].flags |= kXmlElementError;
                    if (m_statusText.empty()) {
                        Record(L"No start tag for end tag " + Quoted(CopyToken(scan)) + L" at offset " +
                               std::to_wstring(node.start));
                    }
                    break;
                }
                --match;
                if (match + 1 < depth) {
                    m_slots[0].flags |= kXmlDocumentError;
                    if (m_statusText.empty()) {
                        const XmlElementSlot& inner = m_slots[stack[depth - 1].slot];
                        Record(L"End tag " + Quoted(CopyToken(scan)) + L" at offset " +
                               std::to_wstring(node.start + 1) + L" does not match start tag " +
                               Quoted(text, stack[depth - 1]) + L" at offset " + std::to_wstring(inner.start));
                    }
                    closeAbove(match + 1);
                }
                XmlElementSlot& e = m_slots[stack[match].slot];
                e.length = static_cast<uint32_t>(node.start + node.length - e.start);
                e.endTagLength = static_cast<uint32_t>(node.length);
                parent = e.parent;
                leaveTo(match);
                break;
            }
            case XmlNodeKind::Error:
                m_slots[0].flags |= kXmlDocumentError;
                m_slots[parent].flags |= kXmlElementError;
                Record(node.name);
                break;
            case XmlNodeKind::EndOfText:
                if (depth > 0) {
                    m_slots[0].flags |= kXmlDocumentError;
                    if (m_statusText.empty()) {
                        Record(L"Element " + Quoted(text, stack[depth - 1]) + L" at offset " +
                               std::to_wstring(m_slots[stack[depth - 1].slot].start) + L" not ended");
                    }
                    closeAbove(0);
                }
                return first;
            default:
                break;
        }
    }
}
