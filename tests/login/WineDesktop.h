#pragma once
// Under Wine on a display without a window manager, hiding a managed window waits two seconds for a window
// manager that never answers. While a WineUnmanagedWindows object lives, the programs that the tests start
// get unmanaged windows, which hide at once. Nothing changes on Windows.
#include <string>

namespace ztest {

bool UnderWine();

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
