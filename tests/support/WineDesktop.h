#pragma once
// Settings of the Wine desktop that the window tests run on. Nothing changes on Windows.
#include <string>

namespace ztest {

bool UnderWine();

// Wine's dialog fonts have no Hangul: links them to an installed Korean font (fonts-nanum). A process reads
// the links when it starts, so only processes started afterwards show Hangul. False on Windows or when the
// links cannot be written.
bool LinkHangulFont();

// On a display without a window manager, hiding a managed window waits two seconds for a window manager that
// never answers. While this object lives, the programs that the tests start get unmanaged windows, which hide
// at once.
class WineUnmanagedWindows {
public:
    WineUnmanagedWindows();
    ~WineUnmanagedWindows();
    WineUnmanagedWindows(const WineUnmanagedWindows&) = delete;
    WineUnmanagedWindows& operator=(const WineUnmanagedWindows&) = delete;

private:
    bool m_set = false;
    bool m_hadValue = false;
    std::wstring m_previous;
};

}  // namespace ztest
