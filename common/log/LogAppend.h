#pragma once
// Appends one log line so that lines of several processes never overwrite each other.
#include <string>

bool AppendLogLine(const std::wstring& path, const std::string& bytes);
