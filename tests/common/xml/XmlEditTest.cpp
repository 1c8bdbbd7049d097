#include <gtest/gtest.h>

#include <functional>

#include "common/xml/XmlTextDoc.h"
#include "tests/common/xml/XmlIndexCheck.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;

// Seeks a path of element names from the top, entering every one but the last.
void SeekPath(CXmlTextDoc& doc, std::initializer_list<const wchar_t*> names) {
    doc.RewindToTop();
    size_t left = names.size();
    for (const wchar_t* name : names) {
        ASSERT_TRUE(doc.SeekElement(name)) << U(name);
        if (--left > 0) {
            ASSERT_TRUE(doc.EnterElement());
        }
    }
}

TEST(XmlPosition, SeekWalksSiblingsOnly) {
    CXmlTextDoc doc;
    ASSERT_TRUE(doc.SetText(L"<r><a/><b><a/></b><a x=\"2\"/></r>"));
    ASSERT_TRUE(doc.SeekElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.SeekElement(L"a"));
    const XmlSlot first = doc.GetCurrentSlot();
    ASSERT_TRUE(doc.SeekElement(L"a"));
    const XmlSlot second = doc.GetCurrentSlot();
    EXPECT_EQ(U(doc.ReadAttr(L"x")), "2");  // the a inside b is not a sibling
    EXPECT_FALSE(doc.SeekElement(L"a"));
    EXPECT_EQ(doc.GetCurrentSlot(), second);
    EXPECT_EQ(doc.GetNodeKind(), XmlNodeKind::Element);
    doc.RewindInParent();
    EXPECT_EQ(doc.GetCurrentSlot(), 0u);
    ASSERT_TRUE(doc.SeekElement(L"a"));
    EXPECT_EQ(doc.GetCurrentSlot(), first);

    // Names compare case-sensitively; an empty name matches any element.
    doc.RewindInParent();
    EXPECT_FALSE(doc.SeekElement(L"A"));
    ASSERT_TRUE(doc.SeekElement(L""));
    EXPECT_EQ(doc.GetCurrentSlot(), first);
    ASSERT_TRUE(doc.SeekElement(L""));
    EXPECT_EQ(U(doc.ElementNameAt(doc.GetCurrentSlot())), "b");
    EXPECT_EQ(U(doc.ElementNameAt(0)), "");

    // There is no step back up: only the top and a new search.
    doc.RewindToTop();
    EXPECT_EQ(doc.GetParentSlot(), 0u);
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_TRUE(doc.SeekElement(L"r"));
    EXPECT_EQ(doc.FindSiblingSlot(1, 0, L"b"), 3u);
    EXPECT_EQ(doc.FindSiblingSlot(1, 3, L"b"), 0u);
    EXPECT_EQ(doc.FindSiblingSlot(1, 999, L"b"), 0u);
}

TEST(XmlPosition, AttributesNeedASoughtElement) {
    CXmlTextDoc doc;
    ASSERT_TRUE(doc.SetText(L"<r v=\"1\"><a x='1&amp;2' y=b/c selected z = \"3\"/></r>"));
    EXPECT_EQ(U(doc.ReadAttrAt(1, L"v")), "");  // right after the parse nothing is current
    ASSERT_TRUE(doc.SeekElement(L"r"));
    EXPECT_EQ(U(doc.ReadAttr(L"v")), "1");
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(U(doc.ReadAttrAt(1, L"v")), "");  // nor after entering
    ASSERT_TRUE(doc.SeekElement(L"a"));
    struct Row {
        const wchar_t* name;
        const char* value;
    };
    const Row rows[] = {
        {L"x", "1&2"}, {L"y", "b/c"}, {L"selected", "selected"}, {L"z", "3"}, {L"a", ""}, {L"X", ""}, {L"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(U(doc.ReadAttr(row.name)), row.value) << U(row.name);
}

struct TextRow {
    const wchar_t* text;
    const char* expected;
};

TEST(XmlRead, TextContent) {
    const TextRow rows[] = {
        {L"<a>1<!--c-->2<![CDATA[<3>]]></a>", "12<3>"},
        {L"<a><b/>x</a>", ""},
        {L"<a/>", ""},
        {L"<a> x &amp; y </a>", " x & y "},
        {L"<a>1 <?pi?> <!--c--> 2</a>", "1  2"},
        {L"<a><![CDATA[&amp;]]>&amp;</a>", "&amp;&"},
        {L"<a>x>y</a>", "x>y"},
        {L"<a></a>", ""},
    };
    for (const TextRow& row : rows) {
        CXmlTextDoc doc;
        doc.SetText(row.text);
        EXPECT_EQ(U(doc.ReadTextAt(1)), row.expected) << U(row.text);
    }
    // Not ended, the document slot of a document with a root, a slot never handed out.
    CXmlTextDoc doc;
    doc.SetText(L"<r><a>x</r>");
    EXPECT_EQ(U(doc.ReadTextAt(2)), "");
    EXPECT_EQ(U(doc.ReadTextAt(0)), "");
    EXPECT_EQ(U(doc.ReadTextAt(77)), "");
    doc.SetText(L"plain &lt;text&gt;");
    EXPECT_EQ(U(doc.ReadText()), "plain <text>");
}

// One edit on a document, and the text it must leave.
struct EditRow {
    const char* what;
    const wchar_t* text;
    std::function<bool(CXmlTextDoc&)> edit;
    bool result;
    const wchar_t* expected;
};

TEST(XmlEdit, EditsRewriteTheTextInPlace) {
    auto current = [](CXmlTextDoc& d) { return d.GetCurrentSlot(); };
    const EditRow rows[] = {
        {"text replaces content", L"<r><a>old</a><b/></r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r", L"a"}); return d.StoreTextAt(L"new"); }, true,
         L"<r><a>new</a><b/></r>"},
        {"text into an empty pair", L"<a></a>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"a"}); return d.StoreTextAt(L"new", current(d)); }, true,
         L"<a>new</a>"},
        {"text opens an empty tag", L"<r><a x=\"1\"/><b/></r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r", L"a"}); return d.StoreTextAt(L"a<&>\"b"); }, true,
         L"<r><a x=\"1\">a&lt;&amp;&gt;\"b</a><b/></r>"},
        {"empty text opens an empty tag", L"<a/>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"a"}); return d.StoreTextAt(L""); }, true, L"<a></a>"},
        {"text ends an unended element", L"<r><a></r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r", L"a"}); return d.StoreTextAt(L"x"); }, true,
         L"<r><a>x</a></r>"},
        {"text refused with child elements", L"<r><a/></r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r"}); return d.StoreTextAt(L"x"); }, false, L"<r><a/></r>"},
        {"text refused on the document", L"<r/>", [&](CXmlTextDoc& d) { return d.StoreTextAt(L"x", 0); }, false,
         L"<r/>"},
        {"attribute added to an empty tag", L"<host/>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"host"}); return d.StoreAttrAt(current(d), L"name", L"x"); }, true,
         L"<host name=\"x\"/>"},
        {"attribute added before blanks", L"<a b=\"1\" />",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"a"}); return d.StoreAttrAt(current(d), L"c", L"2"); }, true,
         L"<a b=\"1\" c=\"2\" />"},
        {"attribute requoted", L"<r><a x='1&amp;2'>t</a></r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r", L"a"}); return d.StoreAttrAt(current(d), L"x", L"3"); }, true,
         L"<r><a x=\"3\">t</a></r>"},
        {"attribute escaped", L"<a x=\"\"/>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"a"}); return d.StoreAttrAt(current(d), L"x", L"<\"'&>"); }, true,
         L"<a x=\"&lt;&quot;&apos;&amp;&gt;\"/>"},
        {"unquoted value with a slash", L"<a x=1/></a>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"a"}); return d.StoreAttrAt(current(d), L"x", L"2"); }, true,
         L"<a x=\"2\"></a>"},
        {"attribute without value", L"<a selected><b/></a>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"a"}); return d.StoreAttrAt(current(d), L"selected", L"v"); },
         true, L"<a selected=\"v\"><b/></a>"},
        {"attribute refused when the tag would read differently", L"<a x=1\"2>3\"/>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"a"}); return d.StoreAttrAt(current(d), L"x", L"v"); }, false,
         L"<a x=1\"2>3\"/>"},
        {"attribute refused inside an odd tag name", L"<r?x>t</r?x>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r"}); return d.StoreAttrAt(current(d), L"a", L"v"); }, false,
         L"<r?x>t</r?x>"},
        {"attribute refused without a sought element", L"<a/>",
         [&](CXmlTextDoc& d) { return d.StoreAttrAt(1, L"x", L"v"); }, false, L"<a/>"},
        {"attribute name must be writable", L"<a/>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"a"}); return d.StoreAttrAt(current(d), L"x y", L"v"); }, false,
         L"<a/>"},
        {"append opens an empty parent", L"<r/>",
         [&](CXmlTextDoc& d) {
             SeekPath(d, {L"r"});
             d.EnterElement();
             return d.AppendElement(L"a") && d.AppendElement(L"b") && d.AppendElement(L"c");
         },
         true, L"<r>\r\n<a/>\r\n<b/>\r\n<c/>\r\n</r>"},
        {"append into an empty pair", L"<r></r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r"}); d.EnterElement(); return d.AppendElement(L"a"); }, true,
         L"<r>\r\n<a/>\r\n</r>"},
        {"append into an unended parent", L"<r><p></r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r", L"p"}); d.EnterElement(); return d.AppendElement(L"a"); },
         true, L"<r><p>\r\n<a/>\r\n</p></r>"},
        {"append after the last child", L"<?xml version=\"1.0\"?>\r\n<r>\r\n<a>1</a>\r\n</r>\r\n",
         [&](CXmlTextDoc& d) {
             SeekPath(d, {L"r"});
             d.EnterElement();
             return d.AppendElement(L"b") && d.StoreTextAt(L"2");
         },
         true, L"<?xml version=\"1.0\"?>\r\n<r>\r\n<a>1</a>\r\n<b>2</b>\r\n</r>\r\n"},
        {"append after the current element", L"<r>\r\n<a/>\r\n<c/>\r\n</r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r", L"a"}); return d.AppendElement(L"b"); }, true,
         L"<r>\r\n<a/>\r\n<b/>\r\n<c/>\r\n</r>"},
        {"append stays before text after the element", L"<r><a/> x</r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r", L"a"}); return d.AppendElement(L"b"); }, true,
         L"<r><a/><b/>\r\n x</r>"},
        {"append the root of an empty document", L"<?xml version=\"1.0\"?>\r\n",
         [&](CXmlTextDoc& d) { return d.AppendElement(L"zorvane"); }, true,
         L"<?xml version=\"1.0\"?>\r\n<zorvane/>\r\n"},
        {"second top-level element refused", L"<r/>\r\n",
         [&](CXmlTextDoc& d) { return d.AppendElement(L"x"); }, false, L"<r/>\r\n"},
        {"second top-level element refused after a seek", L"<r/>\r\n",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r"}); return d.AppendElement(L"x"); }, false, L"<r/>\r\n"},
        {"append name must be writable", L"<r/>",
         [&](CXmlTextDoc& d) {
             SeekPath(d, {L"r"});
             d.EnterElement();
             return d.AppendElement(L"") || d.AppendElement(L"a b") || d.AppendElement(L"1a") ||
                    d.AppendElement(L"a/") || d.AppendElement(std::wstring(L"a\0b", 3));
         },
         false, L"<r/>"},
        {"remove the middle line", L"<r>\r\n<h n=\"1\"/>\r\n<h n=\"2\"/>\r\n<h n=\"3\"/>\r\n</r>",
         [&](CXmlTextDoc& d) {
             SeekPath(d, {L"r", L"h"});
             d.SeekElement(L"h");
             return d.DeleteElementAt(current(d)) == d.FindSiblingSlot(1, 0, L"h");
         },
         true, L"<r>\r\n<h n=\"1\"/>\r\n<h n=\"3\"/>\r\n</r>"},
        {"remove keeps text that follows", L"<r><a><b/></a> x<c/></r>",
         [&](CXmlTextDoc& d) { SeekPath(d, {L"r", L"a"}); return d.DeleteElementAt(current(d)) == 0; }, true,
         L"<r> x<c/></r>"},
        {"remove the last element", L"<r>\r\n<a/>\r\n<b/>\r\n</r>\r\n",
         [&](CXmlTextDoc& d) {
             SeekPath(d, {L"r", L"b"});
             const XmlSlot a = d.FindSiblingSlot(1, 0, L"a");
             return d.DeleteElementAt(current(d)) == a && d.GetCurrentSlot() == a && d.AppendElement(L"c");
         },
         true, L"<r>\r\n<a/>\r\n<c/>\r\n</r>\r\n"},
        {"remove nothing at the document", L"<r/>", [&](CXmlTextDoc& d) { return d.DeleteElementAt(0) == 0; },
         true, L"<r/>"},
    };
    for (const EditRow& row : rows) {
        CXmlTextDoc doc;
        doc.SetText(row.text);
        EXPECT_EQ(row.edit(doc), row.result) << row.what;
        EXPECT_EQ(U(doc.GetText()), U(row.expected)) << row.what;
        EXPECT_EQ(xmlcheck::CheckIndex(doc), "") << row.what;
        if (CXmlTextDoc().SetText(row.expected)) {
            EXPECT_EQ(xmlcheck::CompareWithReparse(doc), "") << row.what;
        }
    }
}

TEST(XmlEdit, PositionAfterEdits) {
    CXmlTextDoc doc;
    ASSERT_TRUE(doc.SetText(L"<r>\r\n<a/>\r\n<b/>\r\n</r>"));
    SeekPath(doc, {L"r", L"a"});
    const XmlSlot a = doc.GetCurrentSlot();
    ASSERT_TRUE(doc.StoreAttrAt(a, L"k", L"v"));
    EXPECT_EQ(doc.GetCurrentSlot(), a);
    ASSERT_TRUE(doc.AppendElement(L"n"));
    const XmlSlot n = doc.GetCurrentSlot();
    EXPECT_EQ(U(doc.ElementNameAt(n)), "n");
    EXPECT_EQ(doc.GetNodeKind(), XmlNodeKind::Element);
    EXPECT_EQ(doc.GetParentSlot(), 1u);
    EXPECT_EQ(doc.SlotAt(n)->level, 1u);

    // Removing the first child leaves no current element; its slot is not found again.
    EXPECT_EQ(doc.DeleteElementAt(a), 0u);
    EXPECT_EQ(doc.GetCurrentSlot(), 0u);
    EXPECT_EQ(doc.GetNodeKind(), XmlNodeKind::EndTag);
    EXPECT_TRUE(doc.SlotAt(a)->flags & kXmlReleased);
    EXPECT_EQ(doc.DeleteElementAt(a), 0u);
    EXPECT_EQ(U(doc.ReadTextAt(a)), "");
    EXPECT_EQ(doc.FindSiblingSlot(1, a, L""), 0u);
    EXPECT_FALSE(doc.StoreTextAt(L"x", a));
    ASSERT_TRUE(doc.SeekElement(L""));
    EXPECT_EQ(doc.GetCurrentSlot(), n);
    EXPECT_EQ(U(doc.GetText()), "<r>\r\n<n/>\r\n<b/>\r\n</r>");

    // Removing the element that is the parent moves the position up to its siblings.
    SeekPath(doc, {L"r"});
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.DeleteElementAt(1), 0u);
    EXPECT_EQ(doc.GetParentSlot(), 0u);
    EXPECT_EQ(U(doc.GetText()), "");
    EXPECT_FALSE(doc.SeekElement(L""));
    EXPECT_TRUE(doc.AppendElement(L"r"));
    EXPECT_EQ(U(doc.GetText()), "<r/>\r\n");
    EXPECT_EQ(xmlcheck::CheckIndex(doc), "");
}

TEST(XmlEdit, TextAfterANulStaysOutsideTheDocument) {
    // The parser stops at a NUL; a new root must go before it to be found again.
    const std::wstring junk(L"\0junk <x/>", 10);
    CXmlTextDoc doc;
    ASSERT_TRUE(doc.SetText(L"<r/>\r\n" + junk));
    EXPECT_EQ(doc.DeleteElementAt(1), 0u);
    ASSERT_TRUE(doc.AppendElement(L"a"));
    EXPECT_EQ(doc.GetText(), L"<a/>\r\n" + junk);
    EXPECT_TRUE(CXmlTextDoc().SetText(doc.GetText()));
    EXPECT_EQ(xmlcheck::CheckIndex(doc), "");
}

TEST(XmlEdit, LongEditSequenceKeepsTheIndex) {
    CXmlTextDoc doc;
    ASSERT_TRUE(doc.SetText(L"<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<list>\r\n</list>\r\n<tail x='1'/>\r\n</zorvane>\r\n"));
    for (int round = 0; round < 40; ++round) {
        SeekPath(doc, {L"zorvane", L"list"});
        ASSERT_TRUE(doc.EnterElement());
        ASSERT_TRUE(doc.AppendElement(L"host"));
        ASSERT_TRUE(doc.StoreAttrAt(doc.GetCurrentSlot(), L"name", L"h" + std::to_wstring(round)));
        ASSERT_TRUE(doc.StoreAttrAt(doc.GetCurrentSlot(), L"status", L"ONLINE"));
        if (round % 3 == 2) {
            doc.RewindInParent();
            ASSERT_TRUE(doc.SeekElement(L"host"));
            ASSERT_TRUE(doc.SeekElement(L"host"));
            doc.DeleteElementAt(doc.GetCurrentSlot());
        }
        if (round % 5 == 0) {
            SeekPath(doc, {L"zorvane", L"tail"});
            ASSERT_TRUE(doc.StoreTextAt(L"round " + std::to_wstring(round)));
        }
        ASSERT_EQ(xmlcheck::CheckIndex(doc), "") << round;
        ASSERT_EQ(xmlcheck::CompareWithReparse(doc), "") << round;
    }
    CXmlTextDoc again;
    EXPECT_TRUE(again.SetText(doc.GetText()));
    SeekPath(again, {L"zorvane", L"tail"});
    EXPECT_EQ(U(again.ReadText()), "round 35");
}

}  // namespace
