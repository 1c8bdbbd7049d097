#include "common/settings/ServiceHost.h"

std::wstring DefaultServiceHost() { return ZORVANE_SERVICE_HOST; }

std::wstring DefaultServiceUrl(const std::wstring& path) { return L"http://" + DefaultServiceHost() + path; }
