#pragma once
// Whether a Windows service is installed, asked of the service control manager.
#include <string>

// The service that the suite's service installer (<root>\bin\ZorvaneSvc.exe) installs.
constexpr wchar_t kServiceName[] = L"ZorvaneSvc";

// True when the service `name` can be opened to query its status through a service control manager opened
// to connect, rights that need no elevation. A manager that cannot be opened counts as not installed.
bool IsServiceInstalled(const std::wstring& name = kServiceName);
