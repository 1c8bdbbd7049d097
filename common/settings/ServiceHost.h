#pragma once
// The dynamic-DNS service's host name, a build setting (ZORVANE_SERVICE_HOST).
#include <string>

std::wstring DefaultServiceHost();
// The plain HTTP URL of `path` (starting with '/') on the service's host.
std::wstring DefaultServiceUrl(const std::wstring& path);
