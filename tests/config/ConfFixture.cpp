#include "tests/config/ConfFixture.h"

#include <winsvc.h>

#include "common/base/UniqueHandle.h"
#include "common/fs/File.h"
#include "common/registry/Registry.h"
#include "common/service/ServiceProbe.h"

namespace ztest {

ScopedRegValue::ScopedRegValue(HKEY root, std::wstring key, std::wstring name, const std::wstring& value)
    : m_root(root), m_key(std::move(key)), m_name(std::move(name)) {
    UniqueRegKey handle;
    EXPECT_EQ(::RegCreateKeyExW(m_root, m_key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, handle.put(),
                                nullptr),
              ERROR_SUCCESS);
    wchar_t previous[1024] = {};
    DWORD bytes = sizeof(previous) - sizeof(wchar_t);
    DWORD type = 0;
    const wchar_t* valueName = m_name.empty() ? nullptr : m_name.c_str();
    if (::RegQueryValueExW(handle.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(previous), &bytes) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        m_had = true;
        m_previous = previous;
    }
    EXPECT_EQ(::RegSetValueExW(handle.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

ScopedRegValue::~ScopedRegValue() {
    UniqueRegKey handle;
    if (::RegOpenKeyExW(m_root, m_key.c_str(), 0, KEY_WRITE, handle.put()) != ERROR_SUCCESS) return;
    const wchar_t* valueName = m_name.empty() ? nullptr : m_name.c_str();
    if (m_had) {
        ::RegSetValueExW(handle.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_previous.c_str()),
                         static_cast<DWORD>((m_previous.size() + 1) * sizeof(wchar_t)));
    } else {
        ::RegDeleteValueW(handle.get(), valueName);
    }
}

FakeTray::FakeTray() {
    std::atomic<bool> ready{false};
    m_thread = std::thread([this, &ready] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &FakeTray::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZorvaneTestTray";
        ::RegisterClassW(&wc);
        HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"ZorvaneTray", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_window = hwnd;
        ready = true;
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        ::DestroyWindow(hwnd);
    });
    while (!ready) ::Sleep(5);
}

FakeTray::~FakeTray() {
    ::PostMessageW(m_window, WM_QUIT, 0, 0);
    m_thread.join();
}

LRESULT CALLBACK FakeTray::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        auto* tray = reinterpret_cast<FakeTray*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (tray) ++tray->m_closes;
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

long RunningConf::ExitCode(DWORD timeoutMs) {
    DWORD code = 0;
    return process && process->Wait(timeoutMs, &code) ? static_cast<long>(code) : -1;
}

void ConfTest::SetUp() {
    CRegistry::DeleteRunValue();
    ASSERT_TRUE(shared.Open());
    shared.SetId(L"");
    shared.SetPassword(L"");
}

void ConfTest::TearDown() { CRegistry::DeleteRunValue(); }

RunningConf ConfTest::Start(const ConfRoot& root) {
    RunningConf conf;
    conf.process = root.Start();
    conf.window = std::make_unique<ConfWindow>(conf.process->id());
    EXPECT_NE(conf.window->WaitForMainWindow(), nullptr) << "no main window";
    conf.window->Settle();
    return conf;
}

bool ConfTest::Applied(const ConfRoot& root, const ConfWindow& window, const std::function<void()>& action,
                       DWORD timeoutMs) {
    const std::wstring marker = root.Etc(L"update_method.xml");
    zfs::DeleteFileAt(marker);
    action();
    if (timeoutMs == 0) window.Drain();
    const bool saved = WaitFor([&] { return zfs::FileExists(marker); }, timeoutMs);
    window.Settle();
    return saved;
}

bool ConfTest::ClickApplied(const ConfRoot& root, const ConfWindow& window, int pageId, int controlId) {
    return Applied(root, window, [&] { window.Page(pageId).Click(controlId); });
}

std::wstring RunValue() {
    std::wstring value;
    CRegistry::ReadRunValue(value);
    return value;
}

namespace {

constexpr wchar_t kServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\ZorvaneSvc";
constexpr int kManagerRounds = 8;

}  // namespace

InstalledService::InstalledService() {
    for (int round = 0; round < kManagerRounds; ++round) {
        // Every handle closed, so that the next round may reach the other manager.
        UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        if (!manager) return;
        UniqueServiceHandle service(::OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
        if (service) continue;
        // A manager without the service refuses to make one whose key the other manager wrote.
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kServiceKey);
        service.reset(::CreateServiceW(manager.get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                       StandInExe().c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    }
    m_ok = true;
    for (int round = 0; round < kManagerRounds; ++round) m_ok = m_ok && IsServiceInstalled();
}

InstalledService::~InstalledService() {
    for (int round = 0; round < kManagerRounds; ++round) {
        UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        UniqueServiceHandle service(manager ? ::OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS) : nullptr);
        if (service) ::DeleteService(service.get());
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kServiceKey);
}

}  // namespace ztest
