#include "common/log/LogAppend.h"

#include "common/fs/File.h"

// One write to a file opened with O_APPEND is placed at the end as a whole.
bool AppendLogLine(const std::wstring& path, const std::string& bytes) { return zfs::AppendToFile(path, bytes); }
