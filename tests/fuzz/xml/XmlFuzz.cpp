// Arbitrary bytes as the content of an XML file: indexed, then sought, read and edited in rounds that
// the input's tail drives. After every step the index must be sound; a well-formed document that still
// has its root must stay well formed and read the same way as a fresh parse of its edited text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/text/Utf.h"
#include "common/xml/XmlTextDoc.h"
#include "tests/common/xml/XmlIndexCheck.h"

namespace {

const wchar_t* const kNames[] = {L"", L"a", L"b", L"host", L"zorvane", L"r", L"x y", L"a=b", L"<", L"1", L"name"};
const std::wstring kValues[] = {
    L"", L"v", L"<&>\"'", L"a\r\nb", L"\xE9\xFEFF", L"&amp;", std::wstring(L"n\0l", 3), L"]]>", L"/>",
};

template <typename T, size_t N>
const T& Pick(FuzzedDataProvider& in, const T (&list)[N]) {
    return list[in.ConsumeIntegralInRange<size_t>(0, N - 1)];
}

void Fail(const std::string& what) {
    fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

void Check(const CXmlTextDoc& doc) {
    const std::string problem = xmlcheck::CheckIndex(doc);
    if (!problem.empty()) Fail(problem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The last byte tells how many bytes at the end drive the edits; the rest is the file.
    const size_t driveSize = size ? std::min<size_t>(data[size - 1], size - 1) : 0;
    const size_t contentSize = size ? size - 1 - driveSize : 0;
    FuzzedDataProvider in(data + contentSize, driveSize);

    CXmlTextDoc doc;
    const bool wellFormed = doc.SetText(Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), contentSize)));
    Check(doc);

    while (in.remaining_bytes() > 0) {
        const XmlSlot anySlot = in.ConsumeIntegralInRange<XmlSlot>(0, doc.GetSlotsUsed());
        switch (in.ConsumeIntegralInRange(0, 13)) {
            case 0: doc.RewindToTop(); break;
            case 1: doc.RewindInParent(); break;
            case 2: doc.SeekElement(Pick(in, kNames)); break;
            case 3: doc.EnterElement(); break;
            case 4: doc.ReadText(); break;
            case 5: doc.ReadAttr(Pick(in, kNames)); break;
            case 6: doc.StoreTextAt(Pick(in, kValues)); break;
            case 7: doc.StoreAttrAt(doc.GetCurrentSlot(), Pick(in, kNames), Pick(in, kValues)); break;
            case 8: doc.AppendElement(Pick(in, kNames)); break;
            case 9: doc.DeleteElementAt(doc.GetCurrentSlot()); break;
            case 10: doc.StoreTextAt(Pick(in, kValues), anySlot); break;
            case 11:
                doc.ReadTextAt(anySlot);
                doc.ReadAttrAt(anySlot, Pick(in, kNames));
                doc.ElementNameAt(anySlot);
                break;
            case 12: doc.FindSiblingSlot(anySlot, in.ConsumeIntegral<XmlSlot>(), Pick(in, kNames)); break;
            case 13: doc.DeleteElementAt(anySlot); break;
        }
        Check(doc);
    }

    if (wellFormed && doc.SlotAt(0)->firstChild != 0) {
        CXmlTextDoc again;
        if (!again.SetText(doc.GetText())) Fail("edited text no longer well formed: " + WideToUtf8(again.GetStatusText()));
        const std::string problem = xmlcheck::CompareWithReparse(doc);
        if (!problem.empty()) Fail(problem);
    }
    return 0;
}
