#include "common/ui/XDialogTemplate.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/ui/XMessageBox.h"

namespace {

constexpr DWORD kHeaderStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME;
constexpr DWORD kPushButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kStaticStyle = WS_CHILD | WS_VISIBLE;
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;
constexpr size_t kTextLimit = 65535;
constexpr size_t kTemplateCaptionLimit = 1023;

struct BuiltInCaption {
    int resourceId;
    const wchar_t* text;
};
const BuiltInCaption kBuiltIn[kCaptionCount] = {
    {9005, L"&Abort"},       {9002, L"Cancel"},     {9009, L"&Continue"},   {9010, L"Don't ask me again"},
    {9011, L"Don't tell me again"}, {9012, L"Don't show again"}, {9006, L"&Help"}, {9003, L"&Ignore"},
    {9017, L"I&gnore All"},  {9008, L"&No"},        {9014, L"N&o to All"},  {9001, L"OK"},
    {9016, L"Re&port"},      {9004, L"&Retry"},     {9018, L"&Skip"},       {9019, L"S&kip All"},
    {9015, L"&Try Again"},   {9007, L"&Yes"},       {9013, L"Y&es to All"},
};

struct SetButton {
    int id;
    int caption;
};

// The push buttons of a button set (style bits 0x0F), Yes to All and No to All included where asked for.
std::vector<SetButton> ButtonsOfSet(UINT style, int* flags) {
    const bool yesToAll = (style & EMB_YES_TO_ALL) != 0;
    const bool noToAll = (style & EMB_NO_TO_ALL) != 0;
    std::vector<SetButton> buttons;
    auto add = [&buttons](int id, int caption) { buttons.push_back(SetButton{id, caption}); };
    auto yesNo = [&] {
        add(IDYES, kCaptionYes);
        if (yesToAll) add(IDYESTOALL_XMB, kCaptionYesToAll);
        add(IDNO, kCaptionNo);
        if (noToAll) add(IDNOTOALL_XMB, kCaptionNoToAll);
    };
    switch (style & 0x0F) {
        case MB_OK:
            add(IDOK, kCaptionOk);
            *flags |= CXDialogTemplate::kFlagOkOnly;
            break;
        case MB_OKCANCEL:
            add(IDOK, kCaptionOk); add(IDCANCEL, kCaptionCancel);
            *flags |= CXDialogTemplate::kFlagHasCancel;
            break;
        case MB_ABORTRETRYIGNORE:
            add(IDABORT, kCaptionAbort); add(IDRETRY, kCaptionRetry); add(IDIGNORE, kCaptionIgnore);
            break;
        case MB_YESNOCANCEL:
            yesNo();
            add(IDCANCEL, kCaptionCancel);
            *flags |= CXDialogTemplate::kFlagHasCancel;
            break;
        case MB_YESNO:
            yesNo();
            break;
        case MB_RETRYCANCEL:
            add(IDRETRY, kCaptionRetry); add(IDCANCEL, kCaptionCancel);
            *flags |= CXDialogTemplate::kFlagHasCancel;
            break;
        case MB_CANCELTRYCONTINUE:
            add(IDCANCEL, kCaptionCancel); add(IDTRYAGAIN, kCaptionTryAgain); add(IDCONTINUE, kCaptionContinue);
            *flags |= CXDialogTemplate::kFlagHasCancel;
            break;
        case 7:
            add(IDCONTINUE, kCaptionContinue); add(IDABORT, kCaptionAbort);
            break;
        case 8:
            add(IDSKIP_XMB, kCaptionSkip); add(IDSKIPALL_XMB, kCaptionSkipAll); add(IDCANCEL, kCaptionCancel);
            *flags |= CXDialogTemplate::kFlagHasCancel;
            break;
        case 9:
            add(IDIGNORE, kCaptionIgnore); add(IDIGNOREALL_XMB, kCaptionIgnoreAll); add(IDCANCEL, kCaptionCancel);
            *flags |= CXDialogTemplate::kFlagHasCancel;
            break;
        default:
            add(IDOK, kCaptionOk);
            break;
    }
    return buttons;
}

// The non-empty pieces of "\n"-separated custom button texts, at most four.
std::vector<std::wstring> SplitCustomButtons(const std::wstring& texts) {
    std::vector<std::wstring> pieces;
    size_t start = 0;
    while (start <= texts.size() && pieces.size() < 4) {
        size_t end = texts.find(L'\n', start);
        if (end == std::wstring::npos) end = texts.size();
        if (end > start) pieces.push_back(texts.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

std::wstring Bounded(const wchar_t* text, size_t units) {
    size_t length = 0;
    while (length + 1 < units && text[length]) ++length;
    return std::wstring(text, length);
}

void CopyCaption(std::array<wchar_t, kCaptionUnits>& slot, const std::wstring& text) {
    const size_t length = std::min(text.size(), kCaptionUnits - 1);
    for (size_t i = 0; i < length; ++i) slot[i] = text[i];
    slot[length] = L'\0';
}

std::wstring LoadResourceString(HINSTANCE module, int id, size_t limit) {
    if (id <= 0 || id > 0xFFFF) return {};
    const wchar_t* resource = nullptr;
    const int length = ::LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource) return {};
    return std::wstring(resource, std::min(static_cast<size_t>(length), limit));
}

// The text's extent with DT_CALCRECT in the box, measured in the font on a display context; the box
// unchanged when no context can be had.
RECT Measure(HGDIOBJ font, const std::wstring& text, RECT box, UINT flags) {
    UniqueDc dc(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!dc) return box;
    const HGDIOBJ previous = font ? ::SelectObject(dc.get(), font) : nullptr;
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &box, flags | DT_CALCRECT | DT_NOPREFIX);
    if (previous) ::SelectObject(dc.get(), previous);
    return box;
}

// The tallest message text: the work area's height less room for the caption, the buttons and a check box.
int MaxTextHeight() {
    RECT work{};
    const int screen = ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) ? static_cast<int>(work.bottom - work.top)
                                                                              : ::GetSystemMetrics(SM_CYSCREEN);
    return std::max(64, screen - 160);
}

class ByteWriter {
public:
    void Word(WORD w) { Raw(&w, sizeof(w)); }
    void Dword(DWORD d) { Raw(&d, sizeof(d)); }
    void Short(short s) { Raw(&s, sizeof(s)); }
    void Text(const std::wstring& text) {
        Raw(text.data(), text.size() * sizeof(wchar_t));
        Word(0);
    }
    void AlignTo4() {
        while (m_bytes.size() % 4) m_bytes.push_back(0);
    }
    std::vector<BYTE> Take() { return std::move(m_bytes); }

private:
    void Raw(const void* data, size_t size) {
        const BYTE* p = static_cast<const BYTE*>(data);
        m_bytes.insert(m_bytes.end(), p, p + size);
    }
    std::vector<BYTE> m_bytes;
};

}  // namespace

ExtendedMessageBoxOptions::ExtendedMessageBoxOptions() { std::memset(static_cast<void*>(this), 0, sizeof(*this)); }

std::wstring LoadTextOrResource(const wchar_t* textOrId, HINSTANCE module, size_t limit) {
    if (!textOrId) return {};
    if (IS_INTRESOURCE(textOrId)) {
        return LoadResourceString(module, static_cast<int>(reinterpret_cast<ULONG_PTR>(textOrId)), limit);
    }
    std::wstring text(textOrId);
    if (text.size() > limit) text.resize(limit);
    return text;
}

void CXDialogItem::Init(const RECT& pixels, CXDialogTemplate& owner, XItemKind kind, int itemId,
                        const std::wstring& itemText) {
    owner.ToDialogUnits(pixels, &x, &y, &cx, &cy);
    id = static_cast<WORD>(itemId);
    text = itemText;
    exStyle = 0;
    switch (kind) {
        case XItemKind::Static:
            classAtom = kStaticAtom;
            // The message is drawn as it stands: an '&' shows as itself (and was measured that way).
            style = kStaticStyle | (itemId == IDICON_XMB ? 0 : SS_NOPREFIX);
            break;
        case XItemKind::CheckBox:
            classAtom = kButtonAtom;
            style = kCheckBoxStyle;
            break;
        case XItemKind::PushButton:
            classAtom = kButtonAtom;
            style = kPushButtonStyle;
            ++owner.m_pushButtons;
            if (owner.m_pushButtons == owner.m_defaultButtonNumber) {
                style |= BS_DEFPUSHBUTTON;
                owner.m_defaultButtonId = itemId;
            }
            break;
    }
}

CXDialogTemplate::CXDialogTemplate(const wchar_t* caption, HWND owner, const wchar_t* text, UINT style,
                                   const ExtendedMessageBoxOptions& options) {
    const LONG units = ::GetDialogBaseUnits();
    m_baseX = std::max<LONG>(LOWORD(units), 1);
    m_baseY = std::max<LONG>(HIWORD(units), 1);

    // 1. Options and texts.
    m_owner = owner;
    m_style = style;
    m_helpContextId = options.helpContextId;
    m_countdown = options.countdownSeconds;
    m_disableSeconds = options.disableSeconds;
    m_x = options.x;
    m_y = options.y;
    m_rightAlign = (options.optionBits & 1) != 0;
    m_textModule = options.textModule ? options.textModule : ::GetModuleHandleW(nullptr);
    m_iconModule = options.iconModule ? options.iconModule : ::GetModuleHandleW(nullptr);
    m_answerKey = options.answerKey ? options.answerKey : L"";
    m_answerKeyNumber = options.answerKeyNumber;
    m_reportCallback = options.reportCallback;
    m_reportData = options.reportData;
    m_companyName = Bounded(options.companyName, kOptionTextUnits);
    m_message = LoadTextOrResource(text, m_textModule, kTextLimit);
    m_caption = LoadTextOrResource(caption, m_textModule, kTextLimit);

    // 2. Custom button texts and the Report caption.
    m_customButtons = LoadResourceString(m_textModule, options.customButtonsStringId, kOptionTextUnits - 1);
    if (m_customButtons.empty()) m_customButtons = Bounded(options.customButtons, kOptionTextUnits);
    std::wstring report = LoadResourceString(m_textModule, options.reportCaptionStringId, kCaptionUnits - 1);
    if (report.empty()) report = Bounded(options.reportCaption, kCaptionUnits);
    m_reportGiven = !report.empty();
    CopyCaption(m_captions[kCaptionReport], report);

    // 3. Captions.
    if (options.useCustomCaptions) {
        SetCustomCaptions(options);
    } else if (style & EMB_BUILTIN_CAPTIONS) {
        SetDefaultCaptions();
    } else {
        LoadCaptionsFromResources(m_textModule);
    }

    // 4. The message font, in which everything is measured.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        m_font.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    }

    // 5. and 6. Measure the message within the width limit.
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    int limit = screenWidth / 2 + 80;
    if (style & 0xF0) limit -= 16 + iconWidth;
    const RECT measured = Measure(m_font.get(), m_message, RECT{0, 0, limit, limit}, DT_WORDBREAK | DT_EXPANDTABS);
    const int w = measured.right - measured.left;
    // A text taller than the screen is cut, so that the buttons below it stay on the screen.
    const int h = std::min<int>(measured.bottom - measured.top, MaxTextHeight());
    RECT textRect{16, 16, w + 28, h + 21};
    RECT dialog{0, 0, w + 28, h + 21};

    // 7. Header.
    m_dialogStyle = kHeaderStyle | ((style & MB_SYSTEMMODAL) ? DS_SYSMODAL : 0);
    m_dialogExStyle = 0;

    // 8. Icon.
    if (options.iconId != 0) {
        m_icon = ::LoadIconW(m_iconModule, MAKEINTRESOURCEW(options.iconId & 0xFFFF));
    } else if (options.iconName[0]) {
        const std::wstring name = Bounded(options.iconName, kOptionTextUnits);
        m_icon = ::LoadIconW(m_iconModule, name.c_str());
    } else if (style & 0xF0) {
        const wchar_t* systemIcon = IDI_EXCLAMATION;
        switch (style & 0xF0) {
            case MB_ICONHAND: systemIcon = IDI_HAND; break;
            case MB_ICONQUESTION: systemIcon = IDI_QUESTION; break;
            case MB_ICONASTERISK: systemIcon = IDI_ASTERISK; break;
            default: break;
        }
        m_icon = ::LoadIconW(nullptr, systemIcon);
    }
    RECT iconRect{0, 0, 0, 0};
    if (m_icon) {
        iconRect = RECT{8, 8, iconWidth + 10, iconHeight + 10};
        textRect.left += iconWidth + 8;
        textRect.right += iconWidth + 8;
        dialog.right = textRect.right + 8;
        AddItem(XItemKind::Static, IDICON_XMB, iconRect, L"");
    }

    // 9. The message.
    AddItem(XItemKind::Static, m_nextStaticId++, textRect, m_message);

    // 10. Buttons to place.
    const std::vector<std::wstring> custom = SplitCustomButtons(m_customButtons);
    std::vector<SetButton> setButtons;
    if (custom.empty()) setButtons = ButtonsOfSet(style, &m_flags);
    int count = static_cast<int>(custom.empty() ? setButtons.size() : custom.size());
    if (style & MB_HELP) ++count;
    if (m_reportCallback) ++count;

    // 11. The row.
    const int buttonWidth = m_countdown != 0 ? 100 : 78;
    const int gap = 6;
    const int buttonHeight = 23;
    const int rowTop = std::max(textRect.bottom, iconRect.bottom) + 10;
    const int rowWidth = (buttonWidth + gap) * count - gap;
    dialog.bottom = rowTop + buttonHeight + 12;
    dialog.right = std::max<LONG>(dialog.right, rowWidth + 32);
    int left = m_rightAlign ? dialog.right - (buttonWidth + gap) * count - gap : (dialog.right - rowWidth) / 2;

    // 12. Default button.
    const UINT defaultBits = (style & 0x0F00) >> 8;
    m_defaultButtonNumber = (defaultBits >= 1 && defaultBits <= 5) ? static_cast<int>(defaultBits) + 1 : 1;
    if (m_defaultButtonNumber > count) m_defaultButtonNumber = 1;

    // 13. and 14. Buttons, left to right.
    auto place = [&](int id, const std::wstring& caption) {
        AddItem(XItemKind::PushButton, id, RECT{left, rowTop, left + buttonWidth, rowTop + buttonHeight}, caption);
        left += buttonWidth + gap;
    };
    if (!custom.empty()) {
        for (size_t i = 0; i < custom.size(); ++i) place(IDCUSTOM1_XMB + static_cast<int>(i), custom[i]);
    } else {
        for (const SetButton& b : setButtons) place(b.id, Caption(b.caption));
    }
    if (style & MB_HELP) place(IDHELP_XMB, Caption(kCaptionHelp));
    if (m_reportCallback) place(IDREPORT_XMB, Caption(kCaptionReport));

    // 16. Check box.
    int checkCaption = -1;
    if (style & EMB_DONT_ASK_CHECKBOX) {
        m_flags |= kFlagCheckAsk;
        checkCaption = kCaptionDontAsk;
    } else if (style & EMB_DONT_TELL_CHECKBOX) {
        m_flags |= kFlagCheckTell;
        checkCaption = kCaptionDontTell;
    } else if (style & EMB_DONT_SHOW_CHECKBOX) {
        m_flags |= kFlagCheckShow;
        checkCaption = kCaptionDontShow;
    }
    if (checkCaption >= 0) {
        AddCheckBox(Caption(checkCaption), dialog, rowTop);
    }

    // 17. Dialog size.
    short ignoredX = 0, ignoredY = 0;
    ToDialogUnits(dialog, &ignoredX, &ignoredY, &m_dialogCx, &m_dialogCy);
    m_dialogX = 0;
    m_dialogY = 0;
}

CXDialogTemplate::~CXDialogTemplate() = default;

void CXDialogTemplate::ToDialogUnits(const RECT& r, short* x, short* y, short* cx, short* cy) const {
    *x = static_cast<short>(r.left * 4 / m_baseX);
    *y = static_cast<short>(r.top * 8 / m_baseY);
    *cx = static_cast<short>((r.right - r.left) * 4 / m_baseX);
    *cy = static_cast<short>((r.bottom - r.top) * 8 / m_baseY);
}

void CXDialogTemplate::AddItem(XItemKind kind, int id, const RECT& pixels, const std::wstring& text) {
    if (m_items.size() >= kMaxItems) return;
    auto item = std::make_unique<CXDialogItem>();
    item->Init(pixels, *this, kind, id, text);
    m_items.push_back(std::move(item));
}

void CXDialogTemplate::AddCheckBox(const std::wstring& text, RECT& dialog, int rowTop) {
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const RECT measured = Measure(m_font.get(), text, RECT{0, 0, screenWidth / 3, 16}, DT_SINGLELINE);
    const int measuredWidth = measured.right - measured.left;
    const int width = measuredWidth + measuredWidth / 3;
    const int top = rowTop + 35;
    AddItem(XItemKind::CheckBox, IDCHECKBOX_XMB, RECT{17, top, 17 + width, top + 16}, text);
    dialog.bottom = top + 24;
    dialog.right = std::max<LONG>(dialog.right, 17 + width);
}

void CXDialogTemplate::SetCustomCaptions(const ExtendedMessageBoxOptions& options) {
    for (int slot = 0; slot < kCaptionCount; ++slot) {
        if (slot == kCaptionReport && m_reportGiven) continue;
        CopyCaption(m_captions[static_cast<size_t>(slot)], Bounded(options.customCaptions[slot], kOptionTextUnits));
    }
}

void CXDialogTemplate::SetDefaultCaptions() {
    for (int slot = 0; slot < kCaptionCount; ++slot) {
        if (slot == kCaptionReport && m_reportGiven) continue;
        CopyCaption(m_captions[static_cast<size_t>(slot)], kBuiltIn[slot].text);
    }
}

void CXDialogTemplate::LoadCaptionsFromResources(HINSTANCE module) {
    SetDefaultCaptions();
    for (int slot = 0; slot < kCaptionCount; ++slot) {
        if (slot == kCaptionReport && m_reportGiven) continue;
        const std::wstring loaded = LoadResourceString(module, kBuiltIn[slot].resourceId, kCaptionUnits - 1);
        if (!loaded.empty()) CopyCaption(m_captions[static_cast<size_t>(slot)], loaded);
    }
}

std::vector<BYTE> CXDialogTemplate::Build() const {
    ByteWriter out;
    out.Dword(m_dialogStyle);
    out.Dword(m_dialogExStyle);
    out.Word(static_cast<WORD>(m_items.size()));
    out.Short(m_dialogX);
    out.Short(m_dialogY);
    out.Short(m_dialogCx);
    out.Short(m_dialogCy);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(m_caption.substr(0, kTemplateCaptionLimit));
    for (const auto& item : m_items) {
        out.AlignTo4();
        out.Dword(item->style);
        out.Dword(item->exStyle);
        out.Short(item->x);
        out.Short(item->y);
        out.Short(item->cx);
        out.Short(item->cy);
        out.Word(item->id);
        out.Word(0xFFFF);
        out.Word(item->classAtom);
        out.Text(item->text);
        out.Word(0);  // no creation data
    }
    return out.Take();
}

int CXDialogTemplate::Display() {
    std::vector<BYTE> bytes;
    try {
        bytes = Build();
    } catch (const std::bad_alloc&) {
        return IDCANCEL;
    }
    HLOCAL memory = ::LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes.size());
    if (!memory) return IDCANCEL;
    void* locked = ::LocalLock(memory);
    if (!locked) {
        ::LocalFree(memory);
        return IDCANCEL;
    }
    std::memcpy(locked, bytes.data(), bytes.size());
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), static_cast<const DLGTEMPLATE*>(locked), m_owner,
                                  &ExtendedMessageBoxDlgProc, reinterpret_cast<LPARAM>(this));
    ::LocalUnlock(memory);
    ::LocalFree(memory);
    return static_cast<int>(result);
}
