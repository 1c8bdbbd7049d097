#pragma once
// The in-memory dialog of the extended message box: CXDialogTemplate measures the message, lays out the
// icon, the text, the buttons and the check box in pixels, converts them to dialog units and writes a
// DLGTEMPLATE for DialogBoxIndirectParamW. Each control is one CXDialogItem.
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"

// Style bits of the suite above the Windows message-box bits.
constexpr UINT EMB_DONT_ASK_CHECKBOX = 0x01000000;
constexpr UINT EMB_DONT_TELL_CHECKBOX = 0x02000000;
constexpr UINT EMB_DONT_SHOW_CHECKBOX = 0x04000000;
constexpr UINT EMB_CHECKBOX_MASK = 0x07000000;
constexpr UINT EMB_YES_TO_ALL = 0x08000000;
constexpr UINT EMB_NO_TO_ALL = 0x10000000;
constexpr UINT EMB_BUILTIN_CAPTIONS = 0x20000000;
constexpr UINT EMB_NO_BEEP = 0x40000000;
// Added to the result when the count-down ended the box.
constexpr UINT EMB_TIMED_OUT = 0x80000000;

// Button ids beyond those of winuser.h.
constexpr int IDSKIP_XMB = 14;
constexpr int IDSKIPALL_XMB = 15;
constexpr int IDIGNOREALL_XMB = 16;
constexpr int IDYESTOALL_XMB = 19;
constexpr int IDNOTOALL_XMB = 20;
constexpr int IDCUSTOM1_XMB = 23;
constexpr int IDHELP_XMB = 300;
constexpr int IDREPORT_XMB = 301;
constexpr int IDICON_XMB = 1000;
constexpr int IDTEXT_XMB = 1001;
constexpr int IDCHECKBOX_XMB = 5555;

// Slots of ButtonCaptionTable (and of the options' custom captions).
enum ButtonCaption {
    kCaptionAbort, kCaptionCancel, kCaptionContinue, kCaptionDontAsk, kCaptionDontTell, kCaptionDontShow,
    kCaptionHelp, kCaptionIgnore, kCaptionIgnoreAll, kCaptionNo, kCaptionNoToAll, kCaptionOk, kCaptionReport,
    kCaptionRetry, kCaptionSkip, kCaptionSkipAll, kCaptionTryAgain, kCaptionYes, kCaptionYesToAll,
    kCaptionCount
};

constexpr size_t kOptionTextUnits = 260;  // text fields of the options (259 characters and a terminator)
constexpr size_t kCaptionUnits = 100;     // caption slots of the template (99 characters and a terminator)

using ExtendedMessageBoxReport = void (*)(const wchar_t* message, DWORD_PTR data);

// What a caller may set beyond text, caption and style. Zero-filled by its constructor.
struct ExtendedMessageBoxOptions {
    ExtendedMessageBoxOptions();

    int helpContextId;
    int countdownSeconds;       // above 0: counts down, then takes the default button
    int disableSeconds;         // above 0: the buttons start disabled for this long
    int x, y;                   // screen position; both 0: centred on the owner
    DWORD optionBits;           // bit 0: buttons right-aligned
    HINSTANCE textModule;       // string resources (null: the program)
    HINSTANCE iconModule;       // icon resources (null: the program)
    int iconId;
    wchar_t iconName[kOptionTextUnits];
    int customButtonsStringId;
    wchar_t customButtons[kOptionTextUnits];  // texts separated by "\n", at most four buttons
    int reportCaptionStringId;
    wchar_t reportCaption[kOptionTextUnits];
    wchar_t companyName[kOptionTextUnits];
    const wchar_t* answerKey;   // names the remembered answer; not owned
    int answerKeyNumber;
    DWORD_PTR reportData;
    ExtendedMessageBoxReport reportCallback;  // non-null: a Report button
    int useCustomCaptions;                    // non-zero: all captions from customCaptions
    wchar_t customCaptions[kCaptionCount][kOptionTextUnits];
};

class CXDialogTemplate;

enum class XItemKind { Static, PushButton, CheckBox };

// One control of the box, in dialog units.
class CXDialogItem {
public:
    CXDialogItem() = default;
    virtual ~CXDialogItem() = default;

    // Converts the pixel rectangle to dialog units, sets class and style, copies the text. A push button
    // that is the template's default-button number gets BS_DEFPUSHBUTTON and becomes its default button.
    void Init(const RECT& pixels, CXDialogTemplate& owner, XItemKind kind, int id, const std::wstring& text);

    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    WORD classAtom = 0;  // 0x0080 button, 0x0082 static
    std::wstring text;
};

class CXDialogTemplate {
public:
    // Caption and text are each text or a string-resource id (MAKEINTRESOURCEW) of the options' text module.
    CXDialogTemplate(const wchar_t* caption, HWND owner, const wchar_t* text, UINT style,
                     const ExtendedMessageBoxOptions& options);
    virtual ~CXDialogTemplate();
    CXDialogTemplate(const CXDialogTemplate&) = delete;
    CXDialogTemplate& operator=(const CXDialogTemplate&) = delete;

    // Runs the box modally; its result, or IDCANCEL when the template memory cannot be had.
    int Display();
    // The DLGTEMPLATE with its items, as Display hands it to the dialog manager.
    std::vector<BYTE> Build() const;

    void AddItem(XItemKind kind, int id, const RECT& pixels, const std::wstring& text);
    void AddCheckBox(const std::wstring& text, RECT& dialog, int rowTop);
    void SetCustomCaptions(const ExtendedMessageBoxOptions& options);
    void SetDefaultCaptions();
    void LoadCaptionsFromResources(HINSTANCE module);
    const wchar_t* Caption(int slot) const { return m_captions[static_cast<size_t>(slot)].data(); }

    // Pixel rectangle to dialog units of the system font (no DS_SETFONT in the header).
    void ToDialogUnits(const RECT& pixels, short* x, short* y, short* cx, short* cy) const;

    // Internal flags.
    static constexpr int kFlagCheckAsk = 1, kFlagCheckTell = 2, kFlagCheckShow = 4, kFlagHasCancel = 8,
                         kFlagOkOnly = 16;

    // Read by the dialog procedure.
    std::vector<std::unique_ptr<CXDialogItem>> m_items;  // at most kMaxItems
    static constexpr size_t kMaxItems = 20;
    ExtendedMessageBoxReport m_reportCallback = nullptr;
    DWORD_PTR m_reportData = 0;
    int m_flags = 0;
    int m_pushButtons = 0;
    int m_defaultButtonNumber = 1;
    int m_countdown = 0;
    int m_disableSeconds = 0;
    int m_x = 0, m_y = 0;
    int m_nextStaticId = IDTEXT_XMB;
    int m_defaultButtonId = IDOK;
    int m_helpContextId = 0;
    UINT m_style = 0;
    bool m_rightAlign = false;
    std::wstring m_answerKey;
    int m_answerKeyNumber = 0;
    HWND m_owner = nullptr;
    HINSTANCE m_textModule = nullptr;
    HINSTANCE m_iconModule = nullptr;
    std::wstring m_message;
    std::wstring m_caption;
    std::wstring m_customButtons;
    std::wstring m_companyName;
    HICON m_icon = nullptr;  // from LoadIconW: shared, never destroyed
    UniqueGdiObject m_font;
    DWORD m_dialogStyle = 0;
    DWORD m_dialogExStyle = 0;
    short m_dialogX = 0, m_dialogY = 0, m_dialogCx = 0, m_dialogCy = 0;
    std::wstring m_savedDefaultText;  // written by the count-down

private:
    LONG m_baseX = 8, m_baseY = 16;  // GetDialogBaseUnits
    bool m_reportGiven = false;      // the Report caption came from the options
    std::array<std::array<wchar_t, kCaptionUnits>, kCaptionCount> m_captions{};
};

// A text or string-resource id as text, cut at `limit` characters; a resource that does not load is empty.
std::wstring LoadTextOrResource(const wchar_t* textOrId, HINSTANCE module, size_t limit);
