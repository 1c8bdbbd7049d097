#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/ui/XDialogTemplate.h"

namespace {

struct ParsedItem {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD atom;
    std::wstring text;
};

struct Parsed {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    std::vector<ParsedItem> items;
    bool wellFormed = false;
};

class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}
    template <typename T>
    T Get() {
        T value{};
        if (m_pos + sizeof(T) <= m_bytes.size()) std::memcpy(&value, m_bytes.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    std::wstring Text() {
        std::wstring text;
        for (WORD c; (c = Get<WORD>()) != 0 && m_pos <= m_bytes.size();) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    size_t Pos() const { return m_pos; }
    bool Ok() const { return m_pos <= m_bytes.size(); }

private:
    const std::vector<BYTE>& m_bytes;
    size_t m_pos = 0;
};

// Reads the bytes back as the dialog manager does: header, no menu, no class, caption, then the items,
// each on a 4-byte boundary with an ordinal class (0xFFFF, atom) and no creation data.
Parsed Parse(const std::vector<BYTE>& bytes) {
    Parsed p;
    Reader r(bytes);
    p.style = r.Get<DWORD>();
    p.exStyle = r.Get<DWORD>();
    const WORD count = r.Get<WORD>();
    p.x = r.Get<short>();
    p.y = r.Get<short>();
    p.cx = r.Get<short>();
    p.cy = r.Get<short>();
    if (r.Get<WORD>() != 0 || r.Get<WORD>() != 0) return p;
    p.caption = r.Text();
    for (WORD i = 0; i < count; ++i) {
        while (r.Pos() % 4) {
            if (r.Get<BYTE>() != 0) return p;
        }
        ParsedItem item{};
        item.style = r.Get<DWORD>();
        if (r.Get<DWORD>() != 0) return p;  // extended style
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = r.Get<WORD>();
        if (r.Get<WORD>() != 0xFFFF) return p;
        item.atom = r.Get<WORD>();
        item.text = r.Text();
        if (r.Get<WORD>() != 0) return p;  // creation data
        p.items.push_back(item);
    }
    p.wellFormed = r.Ok() && r.Pos() == bytes.size();
    return p;
}

TEST(XDialogTemplate, BytesOfAnInformationBox) {
    ExtendedMessageBoxOptions options;
    CXDialogTemplate box(L"Caption", nullptr, L"Saved & done", MB_OK | MB_ICONASTERISK, options);
    const Parsed p = Parse(box.Build());
    ASSERT_TRUE(p.wellFormed);

    const LONG units = ::GetDialogBaseUnits();
    const int bx = LOWORD(units), by = HIWORD(units);
    const int icon = ::GetSystemMetrics(SM_CXICON), iconH = ::GetSystemMetrics(SM_CYICON);
    auto dx = [bx](int px) { return static_cast<short>(px * 4 / bx); };
    auto dy = [by](int px) { return static_cast<short>(px * 8 / by); };

    EXPECT_EQ(p.style, 0x90C80880u);
    EXPECT_EQ(p.caption, L"Caption");
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    ASSERT_EQ(p.items.size(), 3u);

    const ParsedItem& iconItem = p.items[0];
    const ParsedItem& text = p.items[1];
    const ParsedItem& ok = p.items[2];
    struct Row {
        const char* name;
        const ParsedItem& item;
        DWORD style;
        WORD id;
        WORD atom;
        std::wstring text;
        short x, y;
    } rows[] = {
        {"icon static", iconItem, 0x50000000, 1000, 0x82, L"", dx(8), dy(8)},
        {"message static, no prefix", text, 0x50000080, 1001, 0x82, L"Saved & done", dx(16 + icon + 8), dy(16)},
        {"default OK button", ok, 0x50010001, 1, 0x80, L"OK", ok.x, dy(std::max(text.y * by / 8, iconH + 10) + 10)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.item.style, row.style) << row.name;
        EXPECT_EQ(row.item.id, row.id) << row.name;
        EXPECT_EQ(row.item.atom, row.atom) << row.name;
        EXPECT_EQ(row.item.text, row.text) << row.name;
        EXPECT_EQ(row.item.x, row.x) << row.name;
        EXPECT_EQ(row.item.y, row.y) << row.name;
    }
    EXPECT_EQ(iconItem.cx, dx(icon + 2));
    EXPECT_EQ(ok.cx, dx(78));
    EXPECT_EQ(ok.cy, dy(23));
    // The one button is centred, and the box is wide enough for the row.
    EXPECT_NEAR(ok.x * 2 + ok.cx, p.cx, 2);
    EXPECT_GE(p.cx, dx(78 + 32));
}

struct Button {
    int id;
    std::wstring text;
    bool isDefault;
};

std::vector<Button> ButtonsOf(const CXDialogTemplate& box) {
    std::vector<Button> buttons;
    for (const auto& item : box.m_items) {
        if (item->classAtom == 0x80 && (item->style & 0x0F) != BS_AUTOCHECKBOX) {
            buttons.push_back({item->id, item->text, (item->style & BS_DEFPUSHBUTTON) != 0});
        }
    }
    return buttons;
}

std::wstring CheckBoxOf(const CXDialogTemplate& box) {
    for (const auto& item : box.m_items) {
        if (item->id == 5555) return item->text;
    }
    return L"-";
}

void SetCaption(ExtendedMessageBoxOptions& o, int slot, const wchar_t* text) {
    wcsncpy(o.customCaptions[slot], text, kOptionTextUnits - 1);
}

TEST(XDialogTemplate, ButtonsCaptionsAndCheckBox) {
    auto fourCaptions = [](ExtendedMessageBoxOptions& o) {
        o.useCustomCaptions = 1;
        SetCaption(o, kCaptionOk, L"ok!");
        SetCaption(o, kCaptionCancel, L"cancel!");
        SetCaption(o, kCaptionYes, L"yes!");
        SetCaption(o, kCaptionNo, L"no!");
    };
    struct Row {
        const char* name;
        UINT style;
        void (*setup)(ExtendedMessageBoxOptions&);
        std::vector<Button> buttons;
        std::wstring checkBox;
        short buttonWidthPx;
    } rows[] = {
        {"question box with the program's captions", 0x24, fourCaptions,
         {{6, L"yes!", true}, {7, L"no!", false}}, L"-", 78},
        {"information box", 0x40, fourCaptions, {{1, L"ok!", true}}, L"-", 78},
        {"custom captions win over built-in ones", 0x24 | EMB_BUILTIN_CAPTIONS, fourCaptions,
         {{6, L"yes!", true}, {7, L"no!", false}}, L"-", 78},
        {"abort/retry/ignore with only four captions", MB_ABORTRETRYIGNORE, fourCaptions,
         {{3, L"", true}, {4, L"", false}, {5, L"", false}}, L"-", 78},
        {"built-in captions", MB_YESNOCANCEL | EMB_BUILTIN_CAPTIONS, nullptr,
         {{6, L"&Yes", true}, {7, L"&No", false}, {2, L"Cancel", false}}, L"-", 78},
        {"yes and no to all in a yes/no set", MB_YESNO | EMB_YES_TO_ALL | EMB_NO_TO_ALL | EMB_BUILTIN_CAPTIONS,
         nullptr, {{6, L"&Yes", true}, {19, L"Y&es to All", false}, {7, L"&No", false}, {20, L"N&o to All", false}},
         L"-", 78},
        {"yes to all only in sets 3 and 4", MB_OKCANCEL | EMB_YES_TO_ALL | EMB_BUILTIN_CAPTIONS, nullptr,
         {{1, L"OK", true}, {2, L"Cancel", false}}, L"-", 78},
        {"default beyond the count falls back to the first", MB_OKCANCEL | 0x300 | EMB_BUILTIN_CAPTIONS, nullptr,
         {{1, L"OK", true}, {2, L"Cancel", false}}, L"-", 78},
        {"second default", MB_OKCANCEL | MB_DEFBUTTON2 | EMB_BUILTIN_CAPTIONS, nullptr,
         {{1, L"OK", false}, {2, L"Cancel", true}}, L"-", 78},
        {"five custom texts give four buttons", 0,
         [](ExtendedMessageBoxOptions& o) { wcscpy(o.customButtons, L"a\nb\nc\nd\ne"); },
         {{23, L"a", true}, {24, L"b", false}, {25, L"c", false}, {26, L"d", false}}, L"-", 78},
        {"empty custom pieces are skipped", 0,
         [](ExtendedMessageBoxOptions& o) { wcscpy(o.customButtons, L"a\n\nb"); },
         {{23, L"a", true}, {24, L"b", false}}, L"-", 78},
        {"first check box kind wins", MB_OK | EMB_DONT_ASK_CHECKBOX | EMB_DONT_SHOW_CHECKBOX | EMB_BUILTIN_CAPTIONS,
         nullptr, {{1, L"OK", true}}, L"Don't ask me again", 78},
        {"count-down widens the buttons", MB_OK | EMB_BUILTIN_CAPTIONS,
         [](ExtendedMessageBoxOptions& o) { o.countdownSeconds = 3; }, {{1, L"OK", true}}, L"-", 100},
        {"help after the set", MB_OK | MB_HELP | EMB_BUILTIN_CAPTIONS, nullptr,
         {{1, L"OK", true}, {300, L"&Help", false}}, L"-", 78},
    };
    const int bx = LOWORD(::GetDialogBaseUnits());
    for (const Row& row : rows) {
        ExtendedMessageBoxOptions options;
        if (row.setup) row.setup(options);
        CXDialogTemplate box(L"c", nullptr, L"text", row.style, options);
        const std::vector<Button> buttons = ButtonsOf(box);
        ASSERT_EQ(buttons.size(), row.buttons.size()) << row.name;
        for (size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i].id, row.buttons[i].id) << row.name << " #" << i;
            EXPECT_EQ(buttons[i].text, row.buttons[i].text) << row.name << " #" << i;
            EXPECT_EQ(buttons[i].isDefault, row.buttons[i].isDefault) << row.name << " #" << i;
        }
        EXPECT_EQ(CheckBoxOf(box), row.checkBox) << row.name;
        for (const auto& item : box.m_items) {
            if (item->classAtom == 0x80 && item->id != 5555) {
                EXPECT_EQ(item->cx, row.buttonWidthPx * 4 / bx) << row.name;
            }
        }
        EXPECT_TRUE(Parse(box.Build()).wellFormed) << row.name;
    }
}

TEST(XDialogTemplate, LongMessageWrapsWithinTheWidthLimit) {
    std::wstring longText;
    for (int i = 0; i < 120; ++i) longText += L"word ";
    ExtendedMessageBoxOptions options;
    CXDialogTemplate oneLine(L"c", nullptr, L"word", MB_OK, options);
    CXDialogTemplate wrapped(L"c", nullptr, longText.c_str(), MB_OK, options);
    const int limitPx = ::GetSystemMetrics(SM_CXSCREEN) / 2 + 80;
    const int bx = LOWORD(::GetDialogBaseUnits());
    EXPECT_LE(wrapped.m_dialogCx, (limitPx + 28) * 4 / bx);
    EXPECT_GE(wrapped.m_dialogCx, limitPx / 2 * 4 / bx) << "wide before it wraps";
    const int lineDu = 8 * 8 / HIWORD(::GetDialogBaseUnits());
    EXPECT_GT(wrapped.m_dialogCy, oneLine.m_dialogCy + 2 * lineDu) << "several lines";

    // The button row sits 10 pixels below the text, not below its top or the icon.
    const Parsed p = Parse(wrapped.Build());
    ASSERT_TRUE(p.wellFormed);
    ASSERT_EQ(p.items.size(), 2u);
    const ParsedItem& text = p.items[0];
    const ParsedItem& ok = p.items[1];
    const int textBottom = text.y + text.cy;
    EXPECT_GE(ok.y, textBottom) << "row below the text";
    EXPECT_LE(ok.y, textBottom + 10 * 8 / HIWORD(::GetDialogBaseUnits()) + 2) << "row close under the text";
}

TEST(XDialogTemplate, TextTallerThanTheScreenKeepsTheButtonsOnIt) {
    std::wstring manyLines;
    for (int i = 0; i < 3000; ++i) manyLines += L"line\n";
    ExtendedMessageBoxOptions options;
    CXDialogTemplate box(L"c", nullptr, manyLines.c_str(), MB_YESNO | MB_ICONQUESTION, options);
    const Parsed p = Parse(box.Build());
    ASSERT_TRUE(p.wellFormed);
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const int dialogPx = p.cy * HIWORD(::GetDialogBaseUnits()) / 8;
    EXPECT_GT(p.cy, 0) << "no 16-bit wrap";
    EXPECT_LE(dialogPx, work.bottom - work.top);
    for (const ParsedItem& item : p.items) {
        EXPECT_LE(item.y + item.cy, p.cy) << "item " << item.id << " inside the box";
    }
}

}  // namespace
