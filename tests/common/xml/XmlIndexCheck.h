#pragma once
// Consistency checks of a document's element index, shared by the unit tests and the fuzz target.
// Each returns an empty text when the index is sound, else what is wrong.
#include <string>
#include <vector>

#include "common/xml/XmlTextDoc.h"

namespace xmlcheck {

inline std::string At(XmlSlot slot, const char* what) { return "slot " + std::to_string(slot) + ": " + what; }

// The elements in document order (iterative, so any depth is fine).
inline std::vector<XmlSlot> TreeOrder(const CXmlTextDoc& doc) {
    std::vector<XmlSlot> order;
    std::vector<XmlSlot> pending;
    for (XmlSlot c = doc.SlotAt(0)->firstChild; c != 0; c = doc.SlotAt(c)->nextSibling) pending.push_back(c);
    std::vector<XmlSlot> reversed(pending.rbegin(), pending.rend());
    pending.swap(reversed);
    while (!pending.empty()) {
        const XmlSlot s = pending.back();
        pending.pop_back();
        order.push_back(s);
        std::vector<XmlSlot> children;
        for (XmlSlot c = doc.SlotAt(s)->firstChild; c != 0; c = doc.SlotAt(c)->nextSibling) children.push_back(c);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return order;
}

// Links form proper rings, every reachable slot is live, and every element starts at a '<' inside the text.
inline std::string CheckIndex(const CXmlTextDoc& doc) {
    const std::wstring& text = doc.GetText();
    const XmlElementSlot* root = doc.SlotAt(0);
    if (!root) return "no slot 0";
    if (root->length != text.size()) return "slot 0 length differs from the text";
    std::vector<XmlSlot> parents{0};
    size_t visited = 0;
    while (!parents.empty()) {
        const XmlSlot p = parents.back();
        parents.pop_back();
        const XmlElementSlot* parent = doc.SlotAt(p);
        const XmlSlot first = parent->firstChild;
        XmlSlot prev = 0;
        for (XmlSlot c = first; c != 0; c = doc.SlotAt(c)->nextSibling) {
            if (++visited > doc.GetSlotsUsed()) return "sibling links loop";
            const XmlElementSlot* e = doc.SlotAt(c);
            if (!e) return At(c, "slot out of range");
            if (e->flags & kXmlReleased) return At(c, "released slot still linked");
            if (e->parent != p) return At(c, "wrong parent");
            if (((e->flags & kXmlFirstChild) != 0) != (c == first)) return At(c, "first-child flag wrong");
            if (prev != 0 && e->prevSibling != prev) return At(c, "previous link wrong");
            if (e->start >= text.size() || text[e->start] != L'<') return At(c, "start does not point at '<'");
            if (uint64_t{e->start} + e->length > text.size()) return At(c, "runs past the text");
            if (e->startTagLength > e->length || e->startTagLength + uint64_t{e->endTagLength} > e->length) {
                return At(c, "tag lengths exceed the element");
            }
            if (e->nextSibling == 0 && doc.SlotAt(first)->prevSibling != c) return At(first, "ring misses the last child");
            prev = c;
            parents.push_back(c);
        }
    }
    return std::string();
}

// Parsing the text again gives the same elements with the same spans, levels and flags.
inline std::string CompareWithReparse(const CXmlTextDoc& doc) {
    CXmlTextDoc again;
    again.SetText(doc.GetText());
    const std::vector<XmlSlot> a = TreeOrder(doc);
    const std::vector<XmlSlot> b = TreeOrder(again);
    if (a.size() != b.size()) {
        return "element count " + std::to_string(a.size()) + " but a new parse finds " + std::to_string(b.size());
    }
    const uint32_t kept = kXmlFirstChild | kXmlNotEnded;
    for (size_t i = 0; i < a.size(); ++i) {
        const XmlElementSlot& x = *doc.SlotAt(a[i]);
        const XmlElementSlot& y = *again.SlotAt(b[i]);
        if (x.start != y.start || x.length != y.length || x.startTagLength != y.startTagLength ||
            x.endTagLength != y.endTagLength || x.level != y.level || (x.flags & kept) != (y.flags & kept)) {
            return At(a[i], "differs from a new parse");
        }
    }
    return std::string();
}

}  // namespace xmlcheck
