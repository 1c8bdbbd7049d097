#include <gtest/gtest.h>

#include "common/xml/XmlTextDoc.h"
#include "tests/common/xml/XmlIndexCheck.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;

struct ParseRow {
    const wchar_t* text;
    bool wellFormed;
    const wchar_t* status;
};

TEST(XmlParse, ResultAndFirstError) {
    const ParseRow rows[] = {
        {L"<a/>", true, L""},
        {L"<a><b></a>", false, L"End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
        {L"<a></b></a>", false, L"No start tag for end tag 'b' at offset 3"},
        {L"<a>", false, L"Element 'a' at offset 0 not ended"},
        {L"<a/><b/>", false, L"Root element has sibling"},
        {L"just text", false, L"No root element"},
        {L"", false, L"Empty document"},
        {L"<r>< a/></r>", false, L"Incorrect tag name character at offset 3"},
        {L"<r><!-- never closed </r>", false, L"Comment at offset 3 unterminated"},
        {L"< x <!x>", false, L"No root element"},
        {L"<a>A</A>", false, L"No start tag for end tag 'A' at offset 4"},
        // An end tag closes the element whose name it is, or begins up to a blank, '=', '/', '[' or ']'.
        {L"<a></ab>", false, L"No start tag for end tag 'ab' at offset 3"},
        {L"<ab></a>", false, L"No start tag for end tag 'a' at offset 4"},
        {L"<a></a >", true, L""},
        {L"<a=b></a>", true, L""},
        {L"<r><!x></r>", false, L"Incorrect ! tag at offset 3"},
        {L"<r><![x]></r>", false, L"Incorrect tag at offset 3"},
        {L"<r><!-x></r>", false, L"Incorrect comment tag at offset 3"},
        {L"<r><a x=\"1\"", false, L"Element tag at offset 3 unterminated"},
        {L"<r></r", false, L"Element end tag at offset 3 unterminated"},
        {L"<r><![CDATA[x]>", false, L"CDATA Section at offset 3 unterminated"},
        {L"<r><?pi x>", false, L"Processing instruction at offset 3 unterminated"},
        {L"<r><!DOCTYPE r [ <!ENTITY e 'x'>", false, L"Doctype at offset 3 unterminated"},
        {L"<r><!ELEMENT r", false, L"Doctype at offset 3 unterminated"},
        {L"<r><", false, L"tag at offset 3 unterminated"},
        {L"<r>< x", false, L"tag at offset 3 unterminated"},
        // Empty-element tags: the slash must follow the name, a blank or a quote.
        {L"<a x=\"1\"/>", true, L""},
        {L"<a x='1' />", true, L""},
        {L"<a x=1/>", false, L"Element 'a' at offset 0 not ended"},
        {L"<a x=1/></a>", true, L""},
        {L"<a x='>'><b y=\"</a>\"/></a>", true, L""},
        // Prolog and epilog are ignored; so is markup inside a DOCTYPE's internal subset.
        {L"\xFEFF<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [\r\n <!ENTITY e \"<x>\">\r\n <!-- ]> -->\r\n"
         L" <?pi > ?>\r\n]>\r\n<!-- c --><r><![CDATA[<a>]]><!--<b>--></r>\r\n<!-- end -->\r\n",
         true, L""},
        {L"<r><!DOCTYPE x [ < y> ]></r>", false, L"Incorrect tag name character at offset 17"},
        {L"<r>x > y</r>", true, L""},
    };
    for (const ParseRow& row : rows) {
        CXmlTextDoc doc;
        EXPECT_EQ(doc.SetText(row.text), row.wellFormed) << U(row.text);
        EXPECT_EQ(U(doc.GetStatusText()), U(row.status)) << U(row.text);
        EXPECT_EQ(xmlcheck::CheckIndex(doc), "") << U(row.text);
    }
}

struct SlotRow {
    const wchar_t* text;
    XmlSlot slot;
    XmlElementSlot expected;  // start, length, start tag, end tag, level, flags, parent, first, next, previous
};

TEST(XmlParse, SlotFields) {
    const uint32_t first = kXmlFirstChild;
    const SlotRow rows[] = {
        {L"<a/>", 1, {0, 4, 4, 0, 0, first, 0, 0, 0, 1}},
        {L"<r><a/><b></b><c/></r>", 1, {0, 22, 3, 4, 0, first, 0, 2, 0, 1}},
        {L"<r><a/><b></b><c/></r>", 2, {3, 4, 4, 0, 1, first, 1, 0, 3, 4}},
        {L"<r><a/><b></b><c/></r>", 3, {7, 7, 3, 4, 1, 0, 1, 0, 4, 2}},
        {L"<r><a/><b></b><c/></r>", 4, {14, 4, 4, 0, 1, 0, 1, 0, 0, 3}},
        // b is not ended: its start tag alone; a is closed by the end tag.
        {L"<a><b></a>", 1, {0, 10, 3, 4, 0, first, 0, 2, 0, 1}},
        {L"<a><b></a>", 2, {3, 3, 3, 0, 1, first | kXmlNotEnded, 1, 0, 0, 2}},
        // An unended element's children become its following siblings, and its error goes up.
        {L"<r><a><b/><c/></r>", 2, {3, 3, 3, 0, 1, first | kXmlNotEnded, 1, 0, 3, 4}},
        {L"<r><a><b/><c/></r>", 3, {6, 4, 4, 0, 2, 0, 1, 0, 4, 2}},
        {L"<r><a><b/><c/></r>", 4, {10, 4, 4, 0, 2, 0, 1, 0, 0, 3}},
        {L"<r><a></x></r>", 1, {0, 14, 3, 4, 0, first | kXmlElementError, 0, 2, 0, 1}},
        {L"<r><a></x></r>", 2, {3, 3, 3, 0, 1, first | kXmlNotEnded, 1, 0, 0, 2}},
        {L"<a></b></a>", 1, {0, 11, 3, 4, 0, first | kXmlElementError, 0, 0, 0, 1}},
    };
    for (const SlotRow& row : rows) {
        CXmlTextDoc doc;
        doc.SetText(row.text);
        const XmlElementSlot* e = doc.SlotAt(row.slot);
        ASSERT_NE(e, nullptr) << U(row.text) << " slot " << row.slot;
        const XmlElementSlot& x = row.expected;
        const std::string where = U(row.text) + " slot " + std::to_string(row.slot);
        EXPECT_EQ(e->start, x.start) << where;
        EXPECT_EQ(e->length, x.length) << where;
        EXPECT_EQ(e->startTagLength, x.startTagLength) << where;
        EXPECT_EQ(e->endTagLength, x.endTagLength) << where;
        EXPECT_EQ(e->level, x.level) << where;
        EXPECT_EQ(e->flags, x.flags) << where;
        EXPECT_EQ(e->parent, x.parent) << where;
        EXPECT_EQ(e->firstChild, x.firstChild) << where;
        EXPECT_EQ(e->nextSibling, x.nextSibling) << where;
        EXPECT_EQ(e->prevSibling, x.prevSibling) << where;
    }
}

TEST(XmlParse, DocumentFlagsAndLoadStatus) {
    CXmlTextDoc doc;
    EXPECT_EQ(U(doc.GetStatusText()), "Empty document");
    doc.SetText(L"<a><b></a>");
    EXPECT_TRUE(doc.SlotAt(0)->flags & kXmlDocumentError);
    EXPECT_EQ(doc.SlotAt(0)->length, 10u);

    // The load's own status stays in front of a parse error, and alone after a good parse.
    ztest::TempDir dir;
    ztest::WriteBytes(dir / L"bad.xml", "<a><b></a>");
    EXPECT_FALSE(doc.LoadFile(dir / L"bad.xml"));
    EXPECT_EQ(U(doc.GetStatusText()),
              "10 bytes to 10 wide chars, End tag 'a' at offset 7 does not match start tag 'b' at offset 3");
    ztest::WriteBytes(dir / L"good.xml", "<a/>");
    EXPECT_TRUE(doc.LoadFile(dir / L"good.xml"));
    EXPECT_EQ(U(doc.GetStatusText()), "4 bytes to 4 wide chars");
}

TEST(XmlParse, ParsingAgainResetsTheIndex) {
    CXmlTextDoc doc;
    doc.SetText(L"<r><a/><b/></r>");
    ASSERT_TRUE(doc.SeekElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.SeekElement(L"b"));
    doc.DeleteElementAt(doc.GetCurrentSlot());
    EXPECT_TRUE(doc.SetText(L"<x/>"));
    EXPECT_EQ(doc.GetSlotsUsed(), 2u);
    EXPECT_EQ(doc.GetParentSlot(), 0u);
    EXPECT_EQ(doc.GetCurrentSlot(), 0u);
    EXPECT_EQ(doc.SlotAt(1)->flags, kXmlFirstChild);
}

// Lengths and depths that would spill over a packed field are kept whole.
TEST(XmlParse, LargeFieldsStayApart) {
    {
        // An end tag longer than 1,023 units.
        const std::wstring endTag = L"</a" + std::wstring(1500, L' ') + L">";
        CXmlTextDoc doc;
        ASSERT_TRUE(doc.SetText(L"<a>x" + endTag));
        EXPECT_EQ(doc.SlotAt(1)->endTagLength, endTag.size());
        EXPECT_EQ(doc.SlotAt(1)->flags, kXmlFirstChild);
        EXPECT_EQ(U(doc.ReadTextAt(1)), "x");
    }
    {
        // A start tag longer than 2^22 units, followed by a sibling whose offsets must stay right.
        const std::wstring value(5u << 20, L'v');
        const std::wstring text = L"<r><a x=\"" + value + L"\"/><b/></r>";
        CXmlTextDoc doc;
        ASSERT_TRUE(doc.SetText(text));
        EXPECT_EQ(doc.SlotAt(2)->startTagLength, value.size() + 9);
        EXPECT_EQ(doc.SlotAt(2)->flags, kXmlFirstChild);
        EXPECT_EQ(doc.SlotAt(3)->start, value.size() + 12);
        EXPECT_EQ(xmlcheck::CheckIndex(doc), "");
    }
    {
        // Nesting deeper than 65,535 levels, closed and then unended, costs no native stack.
        const size_t depth = 70000;
        std::wstring open;
        std::wstring close;
        for (size_t i = 0; i < depth; ++i) open += L"<e>";
        for (size_t i = 0; i < depth; ++i) close += L"</e>";
        CXmlTextDoc doc;
        ASSERT_TRUE(doc.SetText(open + L"<leaf/>" + close));
        EXPECT_EQ(doc.SlotAt(depth + 1)->level, depth);
        EXPECT_EQ(doc.SlotAt(depth + 1)->flags, kXmlFirstChild);
        EXPECT_EQ(xmlcheck::CheckIndex(doc), "");
        EXPECT_EQ(doc.DeleteElementAt(2), 0u);
        EXPECT_EQ(U(doc.GetText()), "<e></e>");

        // Unended: every e becomes a child of r, each re-linked once.
        EXPECT_FALSE(doc.SetText(L"<r>" + open + L"</r>"));
        EXPECT_EQ(U(doc.GetStatusText()), "End tag 'r' at offset " + std::to_string(3 * depth + 4) +
                                              " does not match start tag 'e' at offset " +
                                              std::to_string(3 * depth));
        EXPECT_EQ(doc.SlotAt(1)->length, 3 * depth + 7);
        EXPECT_EQ(doc.SlotAt(depth + 1)->parent, 1u);
        EXPECT_EQ(xmlcheck::CheckIndex(doc), "");
        EXPECT_FALSE(doc.SetText(open));
        EXPECT_EQ(U(doc.GetStatusText()), "Root element has sibling");
    }
}

TEST(XmlParse, StrayEndTagsUnderDeepNesting) {
    // Each end tag that names no open element is refused at once: 100,000 of them under 100,000 open
    // elements would otherwise walk the whole stack each time.
    const size_t count = 100000;
    std::wstring text = L"<r>";
    for (size_t i = 0; i < count; ++i) text += L"<a>";
    for (size_t i = 0; i < count; ++i) text += L"</x>";
    CXmlTextDoc doc;
    EXPECT_FALSE(doc.SetText(text + L"</r>"));
    EXPECT_EQ(U(doc.GetStatusText()), "No start tag for end tag 'x' at offset " + std::to_string(3 + 3 * count));
    EXPECT_EQ(doc.SlotAt(1)->endTagLength, 4u);
    EXPECT_EQ(xmlcheck::CheckIndex(doc), "");

    // An end tag still closes an element whose name goes on after it with '=', '[' or ']', also once
    // the open names are counted (from the stray </x> on).
    EXPECT_FALSE(doc.SetText(L"<r><a=b><c></a></r>"));
    EXPECT_EQ(U(doc.GetStatusText()), "End tag 'a' at offset 12 does not match start tag 'c' at offset 8");
    EXPECT_EQ(doc.SlotAt(2)->endTagLength, 4u);
    EXPECT_FALSE(doc.SetText(L"<r><c></x><a[1]><d></a></r>"));
    EXPECT_EQ(doc.SlotAt(3)->endTagLength, 4u);  // a[1], closed by </a>
    EXPECT_EQ(doc.SlotAt(4)->endTagLength, 0u);  // d, not ended
    EXPECT_EQ(doc.SlotAt(1)->endTagLength, 4u);
    EXPECT_EQ(xmlcheck::CheckIndex(doc), "");

    // A long name made of such stops costs its length once, not once per stop.
    const std::wstring stops(200000, L'=');
    EXPECT_FALSE(doc.SetText(L"<r><c></x><a" + stops + L"><d></a" + stops.substr(0, 1000) + L"></c></r>"));
    EXPECT_EQ(doc.SlotAt(3)->endTagLength, 1004u);
    EXPECT_EQ(xmlcheck::CheckIndex(doc), "");
}

TEST(XmlParse, SlotTableGrowsPastPages) {
    // Far more elements than the up-front reserve of one per 64 characters, across three pages.
    const size_t count = 150000;
    std::wstring text = L"<r>";
    for (size_t i = 0; i < count; ++i) text += L"<a/>";
    text += L"</r>";
    CXmlTextDoc doc;
    ASSERT_TRUE(doc.SetText(text));
    EXPECT_EQ(doc.GetSlotsUsed(), count + 2);
    for (XmlSlot s : {XmlSlot{2}, XmlSlot{65535}, XmlSlot{65536}, XmlSlot{131072}, XmlSlot(count + 1)}) {
        EXPECT_EQ(doc.SlotAt(s)->start, 3 + 4 * (s - 2)) << s;
        EXPECT_EQ(doc.SlotAt(s)->parent, 1u) << s;
    }
    EXPECT_EQ(doc.SlotAt(doc.SlotAt(1)->firstChild)->prevSibling, count + 1);
    EXPECT_EQ(xmlcheck::CheckIndex(doc), "");
}

struct DecodeRow {
    std::wstring in;
    std::wstring out;
};

TEST(XmlParse, DecodeEntities) {
    const DecodeRow rows[] = {
        {L"&lt;&#65;&#x42;&amp;x", L"<AB&x"},
        {L"&gt;&apos;&quot;", L">'\""},
        {L"&#0;", L"&#0;"},
        {L"&foo;", L"&foo;"},
        {L"&lt", L"&lt"},
        {L"a&", L"a&"},
        {L"&#;", L"&#;"},
        {L"&#6a;", L"&#6a;"},
        {L"&#X41;", L"&#X41;"},
        {L"&#x4a;&#x4A;", L"JJ"},
        {L"&#1234567;", L"&#1234567;"},        // above U+10FFFF
        {L"&#12345678;", L"&#12345678;"},      // no ';' within eight characters
        {L"&#x0000041;", L"A"},
        {L"&#65536;", std::wstring{wchar_t(0xD800), wchar_t(0xDC00)}},
        {L"&#x10FFFF;", std::wstring{wchar_t(0xDBFF), wchar_t(0xDFFF)}},
        {L"&#x1F600;", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
        {L"&#x110000;", L"&#x110000;"},
        {L"&#xD800;", L"&#xD800;"},
        {L"&#57343;", L"&#57343;"},
        {L"&#xFFFF;", std::wstring(1, wchar_t(0xFFFF))},
        {L"&&amp;;", L"&&;"},
    };
    for (const DecodeRow& row : rows) {
        EXPECT_EQ(CXmlTextDoc::DecodeEntities(row.in.data(), row.in.size()), row.out) << U(row.in);
    }
}

TEST(XmlParse, EncodeEntities) {
    const std::wstring in = std::wstring(L"a<b>&\"'\r\n\xE9") + wchar_t(0) + L"z";
    EXPECT_EQ(CXmlTextDoc::EncodeEntities(in, XmlEncodeMode::Text), L"a&lt;b&gt;&amp;\"'\r\n\xE9z");
    EXPECT_EQ(CXmlTextDoc::EncodeEntities(in, XmlEncodeMode::Attribute), L"a&lt;b&gt;&amp;&quot;&apos;\r\n\xE9z");
}

struct TokenRow {
    const wchar_t* text;  // scanned from the start
    const wchar_t* token;
    const wchar_t* name;
    bool is;
};

TEST(XmlParse, Tokens) {
    const TokenRow rows[] = {
        {L"  host name=", L"host", L"host", true},
        {L"host", L"host", L"hostname", false},
        {L"host", L"host", L"host=x", true},
        {L"host", L"host", L"host[1]", true},
        {L"host", L"host", L"Host", false},
        {L"hostname", L"hostname", L"host", false},
        {L"/>", L"/", L"/", true},
        {L"=\"v\"", L"=", L"x", false},
    };
    for (const TokenRow& row : rows) {
        XmlScanState scan;
        scan.text = row.text;
        ASSERT_TRUE(CXmlTextDoc::ScanName(scan)) << U(row.text);
        EXPECT_EQ(CXmlTextDoc::CopyToken(scan), row.token) << U(row.text);
        EXPECT_EQ(CXmlTextDoc::TokenIs(scan, row.name), row.is) << U(row.text) << " / " << U(row.name);
    }
    XmlScanState blank;
    blank.text = L" \t\r\n";
    EXPECT_FALSE(CXmlTextDoc::ScanName(blank));
    EXPECT_EQ(CXmlTextDoc::CopyToken(blank), L"");
}

}  // namespace
