#include "common/service/ServiceProbe.h"

#include <windows.h>
#include <winsvc.h>

#include "common/base/UniqueHandle.h"

bool IsServiceInstalled(const std::wstring& name) {
    // Only what it takes to see the service, which a user without elevation is granted too.
    UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return false;
    UniqueServiceHandle service(::OpenServiceW(manager.get(), name.c_str(), SERVICE_QUERY_STATUS));
    // A service that refuses even that exists all the same.
    return service || ::GetLastError() == ERROR_ACCESS_DENIED;
}
