#pragma once
// An XML document held as its whole text plus an index of its elements. Nothing but the elements is
// indexed: text, attributes, comments and declarations are read from the text when asked for, and edits
// rewrite the text in place and shift the index, so the text saved is exactly the text edited.
//
// Text is UTF-16 code units on every platform; every offset below counts those units.
#include <cstddef>
#include <cstdint>
#include <string>

// An element's number in the index. Slot 0 stands for the document itself.
using XmlSlot = uint32_t;

enum class XmlNodeKind : int32_t {
    EndTag = 0,
    Element = 1,        // a start tag or an empty-element tag
    Text = 2,
    WhiteSpace = 4,
    CData = 8,
    Instruction = 16,   // <? ... ?>
    Comment = 32,
    Declaration = 64,   // <!DOCTYPE ...> and the other <! declarations
    Error = -1,
    EndOfText = -2,
};

// Escaping modes: Text escapes < & >; Attribute also ' and ".
enum class XmlEncodeMode { Text, Attribute };

// XmlElementSlot::flags
constexpr uint32_t kXmlReleased = 0x20000;       // removed by an edit; not reused before the next BuildIndex
constexpr uint32_t kXmlFirstChild = 0x80000;     // the first child of its parent
constexpr uint32_t kXmlNotEnded = 0x100000;      // no end tag was found
constexpr uint32_t kXmlElementError = 0x200000;  // an error was found inside this element
constexpr uint32_t kXmlDocumentError = 0x800000; // slot 0 only: the document has an error
// XmlNodeInfo::flags
constexpr uint32_t kXmlEmptyTag = 0x10000;       // <a/>
// XmlScanState::flags
constexpr uint32_t kXmlQuotedToken = 0x8000;     // the last token was a quoted value

// Offsets are 32-bit; a longer text is refused by BuildIndex and edits never grow a text past it.
constexpr size_t kXmlMaxTextLength = 0x7FFFFFFF;

// One element. Every field has its own word, so no length, level or flag can spill into another.
struct XmlElementSlot {
    uint32_t start;           // offset of the element's '<'
    uint32_t length;          // '<' to the end of the end tag; the start tag alone when empty or not ended
    uint32_t startTagLength;
    uint32_t endTagLength;    // 0 when there is no end tag
    uint32_t level;           // nesting level: top-level elements 0
    uint32_t flags;           // kXml* slot flags
    XmlSlot parent;           // 0 for a top-level element
    XmlSlot firstChild;       // 0 = none
    XmlSlot nextSibling;      // 0 = last
    XmlSlot prevSibling;      // for the first child: the LAST child (a ring; a lone child points to itself)
};

// The slots in pages of 65,536: slot n lives in page n >> 16 at index n & 0xFFFF. Slots are linked by
// number, so growing the table never moves a link.
class XmlSlotTable {
public:
    static constexpr uint32_t kPageShift = 16;
    static constexpr uint32_t kPageSlots = 1u << kPageShift;

    XmlSlotTable() = default;
    ~XmlSlotTable();
    XmlSlotTable(const XmlSlotTable&) = delete;
    XmlSlotTable& operator=(const XmlSlotTable&) = delete;

    XmlElementSlot& operator[](XmlSlot n) { return m_pages[n >> kPageShift][n & (kPageSlots - 1)]; }
    const XmlElementSlot& operator[](XmlSlot n) const { return m_pages[n >> kPageShift][n & (kPageSlots - 1)]; }
    uint32_t Allocated() const { return m_allocated; }
    // Grows towards `target` slots, by at most one page per call. False only when memory runs out.
    bool Grow(uint32_t target);

private:
    // A small file's slots and the first pages' addresses live in the table itself, so that indexing
    // one allocates nothing.
    static constexpr uint32_t kInlineSlots = 16;
    static constexpr uint32_t kInlinePages = 4;
    XmlElementSlot m_inlineSlots[kInlineSlots];
    XmlElementSlot* m_inlinePages[kInlinePages] = {m_inlineSlots};
    XmlElementSlot** m_pages = m_inlinePages;
    uint32_t m_allocated = kInlineSlots;     // slots allocated over all pages
    uint32_t m_pageCapacity = kInlinePages;  // entries of m_pages
};

// The scanner's cursor over a zero-terminated text.
struct XmlScanState {
    size_t tokenStart = 0;        // the last token: [tokenStart, tokenEnd)
    size_t tokenEnd = 0;
    size_t next = 0;              // the next character to read
    const wchar_t* text = nullptr;
    uint32_t flags = 0;           // kXmlQuotedToken
};

// One scanned node: kind, span, flags (kXmlEmptyTag) and the name of an element or instruction, or
// the error text of a faulty node. The name's place in the text is kept too (nameStart, nameLength).
struct XmlNodeInfo {
    XmlNodeKind kind = XmlNodeKind::EndOfText;
    size_t start = 0;
    size_t length = 0;
    uint32_t flags = 0;
    size_t nameStart = 0;
    size_t nameLength = 0;
    std::wstring name;
};

class CXmlTextDoc {
public:
    // An empty document: status "Empty document", position at the document level.
    CXmlTextDoc();
    ~CXmlTextDoc();
    CXmlTextDoc(const CXmlTextDoc&) = delete;
    CXmlTextDoc& operator=(const CXmlTextDoc&) = delete;

    // --- The text ---
    const std::wstring& GetText() const { return m_text; }
    // The result text of the last load, save or parse.
    const std::wstring& GetStatusText() const { return m_statusText; }
    // Replaces the text, empties the status and indexes the new text; the result is BuildIndex's.
    bool SetText(std::wstring text);
    // ReadUtf8File into this document, then BuildIndex. False when either fails; after a failed read
    // the text and index are left as they were.
    bool LoadFile(const std::wstring& path);
    // WriteUtf8File of this document's text; the status text tells the outcome.
    bool SaveFile(const std::wstring& path);

    // Reads a file as UTF-8 into `text` (no byte-order mark is recognised). Status on success:
    // "<n> bytes to <m> wide chars"; on failure the C library's message, and `text` is unchanged.
    static bool ReadUtf8File(std::wstring& text, const std::wstring& path, std::wstring& status);
    // Writes `text` as UTF-8 without a byte-order mark, all or nothing (the old file stays whole on
    // failure). Status on success: "<m> wide chars to <n> bytes"; on failure the C library's message.
    static bool WriteUtf8File(const std::wstring& path, const std::wstring& text, std::wstring& status);

    // --- The index ---
    // Parses the whole text into the index and resets the position. True when the text is well formed
    // and has exactly one top-level element; otherwise the status holds the first error.
    bool BuildIndex();
    // Makes room for at least `count` slots (0: one and a half times the slots in use).
    bool ReserveSlots(uint32_t count);
    // The next slot number to hand out (slot 0 is the document).
    uint32_t GetSlotsUsed() const { return m_slotsUsed; }
    // A slot of the index, or null when `slot` was never handed out.
    const XmlElementSlot* SlotAt(XmlSlot slot) const;

    // --- The position ---
    XmlSlot GetParentSlot() const { return m_parentSlot; }
    XmlSlot GetCurrentSlot() const { return m_currentSlot; }
    // Element while the current element was reached by SeekElement or AppendElement, else EndTag (0).
    XmlNodeKind GetNodeKind() const { return m_nodeKind; }
    // Parent 0 (the document level), no current element.
    void RewindToTop();
    // Keeps the parent; the next SeekElement starts at its first child.
    void RewindInParent();
    // The next sibling after the current element (or the parent's first child when there is none) named
    // `name` becomes current; an empty name matches any element. Names compare case-sensitively. Not
    // found: false and the position stays.
    bool SeekElement(const std::wstring& name);
    // The search under SeekElement: from the next sibling of `after`, or the first child of `parent`
    // when `after` is 0. Returns 0 when none matches.
    XmlSlot FindSiblingSlot(XmlSlot parent, XmlSlot after, const std::wstring& name) const;
    // The current element (reached by a seek or an append) becomes the parent, with no current element.
    bool EnterElement();
    // The tag name of an element; empty for slot 0.
    std::wstring ElementNameAt(XmlSlot slot) const;

    // --- Reading ---
    // The decoded text content of the current element / of `slot` (empty for elements with children,
    // empty-element tags and unended elements).
    std::wstring ReadText() const;
    std::wstring ReadTextAt(XmlSlot slot) const;
    // The decoded value of an attribute of the current element / of `slot`; acts only while the node
    // kind is Element (the position was reached by a seek or an append). Empty when absent.
    std::wstring ReadAttr(const std::wstring& name) const;
    std::wstring ReadAttrAt(XmlSlot slot, const std::wstring& name) const;

    // --- Editing (the text changes in place and the index follows) ---
    // Replaces the content of an element without child elements by `value` (escaped in text mode).
    // False for slot 0 and for an element with child elements. The one-argument form acts on the
    // current element.
    bool StoreTextAt(const std::wstring& value, XmlSlot slot);
    bool StoreTextAt(const std::wstring& value);
    // Sets an attribute (escaped, in double quotes); same conditions as ReadAttrAt.
    bool StoreAttrAt(XmlSlot slot, const std::wstring& name, const std::wstring& value);
    // Adds <name/> followed by CR LF after the current element, or as the parent's last child when
    // there is none, and makes it current. Refused (false, nothing changes) at the document level when
    // the document already has its top-level element.
    bool AppendElement(const std::wstring& name);
    // Removes an element (with the blanks after it that lead to the next tag) and returns its previous
    // sibling, 0 when it was the first child. The previous sibling becomes current.
    XmlSlot DeleteElementAt(XmlSlot slot);

    // --- Text helpers ---
    static std::wstring EncodeEntities(const std::wstring& text, XmlEncodeMode mode);
    // Resolves &lt; &amp; &gt; &apos; &quot; and numeric references (a value above U+FFFF becomes its
    // surrogate pair); anything else stays as it is.
    static std::wstring DecodeEntities(const wchar_t* text, size_t length);

    // --- The scanner (over a zero-terminated text) ---
    static XmlNodeKind ScanNode(XmlScanState& scan, XmlNodeInfo& node);
    // Skips " \t\n\r"; true when a character other than the terminating zero remains.
    static bool SkipBlanks(size_t& index, const wchar_t* text);
    // The next token: a name up to one of " \t\n\r<>=\\/?!", or one such character alone.
    static bool ScanName(XmlScanState& scan);
    static std::wstring CopyToken(const XmlScanState& scan);
    // The token equals `name` (case-sensitively), or `name` continues after it with one of " =/[]".
    static bool TokenIs(const XmlScanState& scan, const std::wstring& name);

private:
    friend class CXmlDataFile;
    struct InsertRequest;

    // ScanNode without copying the name of an element or instruction: only its place is set.
    static XmlNodeKind ScanNodeSpan(XmlScanState& scan, XmlNodeInfo& node);
    static bool TokenIs(const XmlScanState& scan, const wchar_t* name, size_t length);
    XmlSlot IndexElements(XmlScanState& scan);
    void LinkLastChild(XmlSlot parent, XmlSlot slot);
    void CloseNotEnded(XmlSlot slot);
    void Record(const std::wstring& error);
    bool IsLiveSlot(XmlSlot slot) const;
    bool AttrAllowed(XmlSlot slot) const;
    std::wstring TagNameAt(XmlSlot slot) const;
    static bool LocateAttr(XmlScanState& scan, const std::wstring& name);
    bool ReplaceRange(size_t start, size_t length, const std::wstring& text);
    void ShiftFollowing(XmlSlot slot, int64_t difference, bool skipChildren);
    bool InsertMarkup(XmlSlot parent, XmlSlot after, InsertRequest& request);
    void AttachSlot(XmlSlot parent, XmlSlot after, XmlSlot slot);
    void DetachSlot(XmlSlot slot);
    void FreeSubtreeSlots(XmlSlot slot);

    std::wstring m_text;
    std::wstring m_statusText;
    XmlSlot m_parentSlot = 0;
    XmlSlot m_currentSlot = 0;
    uint32_t m_slotsUsed = 0;
    XmlSlot m_releasedSlots = 0;
    XmlNodeKind m_nodeKind = XmlNodeKind::EndTag;
    XmlSlotTable m_slots;
};
