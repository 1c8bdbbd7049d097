#pragma once
// Where the older clients kept their data, under HKEY_LOCAL_MACHINE.

// The registry-based client's values.
constexpr wchar_t kOldClientKey[] = L"Software\\Zorvane\\ZorvaneDynamicClient";
// The XML-based client's installation folder: the value `Path` of its App Paths entry.
constexpr wchar_t kOldAppPathsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZorvaneDDNSClient.exe";
constexpr wchar_t kOldAppPathsValue[] = L"Path";
