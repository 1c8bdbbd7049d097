#pragma once
// The calling thread in a single-threaded COM apartment (without OLE1 DDE) for one scope, as the shell's
// extensions need it. At the end COM is uninitialised only when the start here succeeded, also when the
// thread was in such an apartment already (which the start then counts once more).
#include <windows.h>
#include <objbase.h>

class ComScope {
public:
    ComScope() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComScope() {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};
