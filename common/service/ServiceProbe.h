#pragma once
// Whether a Windows service is installed, asked of the service control manager.
#include <string>

#include "common/suite/SuiteContract.h"

// True when the service `name` can be opened to query its status, or is there but refuses that, through a
// service control manager opened to connect: rights that need no elevation. A manager that cannot be opened
// counts as not installed.
bool IsServiceInstalled(const std::wstring& name = kServiceName);
