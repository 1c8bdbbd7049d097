#include "common/service/ServiceProbe.h"

#include <windows.h>
#include <winsvc.h>

#include "common/base/UniqueHandle.h"

bool IsServiceInstalled(const std::wstring& name) {
    UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return false;
    UniqueServiceHandle service(::OpenServiceW(manager.get(), name.c_str(), SERVICE_ALL_ACCESS));
    return static_cast<bool>(service);
}
