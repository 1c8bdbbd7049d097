#include "config/pages/ZorvaneLVDlg.h"

#include <cstdint>
#include <cwctype>
#include <string>

#include "common/base/UniqueHandle.h"
#include "common/fs/File.h"
#include "common/log/LogFile.h"
#include "common/process/Process.h"
#include "common/text/Utf.h"
#include "config/resource.h"

namespace {

// At most this many bytes of the day's log are read and shown.
constexpr size_t kLogViewBytes = 131072;

const LayoutRow kLayout[] = {
    // id          minW    maxW    minH    maxH    left  top  right bottom
    {IDC_EDIT_LOG, kUnset, kUnset, kUnset, kUnset, 10,   10,  10,   10},
};

// What the page shows of the last bytes of a file `length` bytes long: the partial first line is dropped
// when the bytes were cut from a longer file (a text without a line feed stays whole), then white space at
// both ends. A cut inside a multi-byte character only spoils that first line. A NUL (zero bytes left by a
// write that never finished) shows as U+FFFD, since the edit would end its text there and hide the newest lines.
std::wstring LogViewText(const std::string& tail, uint64_t length) {
    std::wstring text = Utf8ToWide(tail);
    for (wchar_t& c : text) {
        if (c == L'\0') c = 0xFFFD;
    }
    if (length > kLogViewBytes) {
        const size_t lineFeed = text.find(L'\n');
        if (lineFeed != std::wstring::npos) text.erase(0, lineFeed);
    }
    size_t end = text.size();
    while (end > 0 && std::iswspace(text[end - 1])) --end;
    size_t start = 0;
    while (start < end && std::iswspace(text[start])) ++start;
    return text.substr(start, end - start);
}

}  // namespace

void CZorvaneLVDlg::DoDataExchange(CDataExchange* dx) {
    CZorvaneDlg::DoDataExchange(dx);
    dx->Bind(IDC_EDIT_LOG, m_logEdit);
}

void CZorvaneLVDlg::DeclareMessageMap(MessageMap& map) {
    CZorvaneDlg::DeclareMessageMap(map);
    map.OnShowWindow(&CZorvaneLVDlg::OnShowWindow);
    map.OnMessage(WM_PAINT, &CZorvaneLVDlg::OnPaint);
    map.OnCtlColor(&CZorvaneLVDlg::OnCtlColor);
}

void CZorvaneLVDlg::SetupLayout() { m_layout.SetControlRules(kLayout); }

void CZorvaneLVDlg::OnShowWindow(BOOL show, UINT) {
    Default();
    if (show) LoadTodayLog();
}

void CZorvaneLVDlg::LoadTodayLog() {
    const std::wstring path = GetInstallRoot() + L"\\log\\" + CLogFile::GetInstance()->GetTodayFileName();
    // The workers may append meanwhile: the file is read denying them nothing. No file yet today: the edit
    // keeps what it shows.
    std::string tail;
    uint64_t length = 0;
    if (!zfs::ReadFileTail(path, kLogViewBytes, tail, length)) return;
    m_logEdit.SetWindowText(LogViewText(tail, length));
    m_logEdit.LineScroll(m_logEdit.GetScrollLimit(SB_VERT));
}

void CZorvaneLVDlg::OnPaint() {
    const PaintDc dc(m_hWnd);
    UpdateThemeBrush();
    m_logEdit.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HBRUSH CZorvaneLVDlg::OnCtlColor(HDC dc, HWND control, CtlColor kind) {
    // The log itself keeps the edit's own colours; the page around it has the tab's texture.
    if (control == m_logEdit.m_hWnd) return reinterpret_cast<HBRUSH>(Default());
    return CZorvaneDlg::OnCtlColor(dc, control, kind);
}
