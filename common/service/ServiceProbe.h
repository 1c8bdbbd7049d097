#pragma once
// Whether a Windows service is installed, asked of the service control manager.
#include <string>

#include "common/suite/SuiteContract.h"

// True when the service `name` can be opened with all access rights through a service control manager
// opened with all access rights. A manager or a service that cannot be opened so (missing, or refused
// without administrator rights) counts as not installed.
bool IsServiceInstalled(const std::wstring& name = kServiceName);
