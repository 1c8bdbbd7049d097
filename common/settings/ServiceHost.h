#pragma once
// The dynamic-DNS service's host name, a build setting (ZORVANE_SERVICE_HOST).
#include <string>

std::wstring DefaultServiceHost();
