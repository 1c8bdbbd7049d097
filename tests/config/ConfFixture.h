#pragma once
// What the ZorvaneConf tests share: the program started in a test root with its main window found, the
// registry values a test sets for the program and puts back, the shared account block held for the test, and
// a stand-in tray window that counts the WM_CLOSE messages it gets.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "common/sharedmem/SharedUserMemory.h"
#include "tests/config/ConfRoot.h"
#include "tests/config/ConfWindow.h"
#include "tests/support/WineDesktop.h"

namespace ztest {

// A REG_SZ value set for the test and put back as it was (or deleted) when the object goes.
class ScopedRegValue {
public:
    ScopedRegValue(HKEY root, std::wstring key, std::wstring name, const std::wstring& value);
    ~ScopedRegValue();
    ScopedRegValue(const ScopedRegValue&) = delete;
    ScopedRegValue& operator=(const ScopedRegValue&) = delete;

private:
    HKEY m_root;
    std::wstring m_key;
    std::wstring m_name;
    bool m_had = false;
    std::wstring m_previous;
};

// A hidden top-level window captioned "ZorvaneTray", as the tray program's main dialog is, on a thread of its
// own; it counts the WM_CLOSE messages it gets and stays.
class FakeTray {
public:
    FakeTray();
    ~FakeTray();
    FakeTray(const FakeTray&) = delete;
    FakeTray& operator=(const FakeTray&) = delete;

    int Closes() const { return m_closes; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::atomic<int> m_closes{0};
    std::atomic<HWND> m_window{nullptr};
    std::thread m_thread;
};

// A running ZorvaneConf and its driver.
struct RunningConf {
    std::unique_ptr<ChildProcess> process;
    std::unique_ptr<ConfWindow> window;
    // Its exit code once it ends within the time, else -1.
    long ExitCode(DWORD timeoutMs = 20000);
};

class ConfTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program of the root and waits for its main window.
    RunningConf Start(const ConfRoot& root);
    // Runs `action` and returns once the main window has applied and saved the settings: the apply writes
    // update_method.xml last of its files, which is removed before. With a time of 0 it looks once everything
    // the window was posted before has been handled, to tell that no apply came.
    bool Applied(const ConfRoot& root, const ConfWindow& window, const std::function<void()>& action,
                 DWORD timeoutMs = 15000);
    // Clicks a control of a page and waits for the apply.
    bool ClickApplied(const ConfRoot& root, const ConfWindow& window, int pageId, int controlId);

    WineUnmanagedWindows fastWindows;
    CSharedUserMemory shared;  // the signed-in account; empty unless a test signs in
};

// The Run value, empty when there is none.
std::wstring RunValue();
// A service named ZorvaneSvc in the service control manager while the object lives. The Wine prefix of the
// tests runs two service managers, and each connection reaches one of them: the service is made in every
// manager that lacks it, so that whichever a process reaches has it.
class InstalledService {
public:
    InstalledService();
    ~InstalledService();
    InstalledService(const InstalledService&) = delete;
    InstalledService& operator=(const InstalledService&) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

}  // namespace ztest
