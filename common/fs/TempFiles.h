#pragma once
// The names of WriteFileAtomic's temporary files, shared by both systems' file code.
#include <cstdint>
#include <string>

namespace zfs {

// <path>.tmp<pid>-<n>: the writer's process id and its count of writes.
std::wstring TempFilePath(const std::wstring& path, uint32_t pid, uint32_t n);

// The writer's process id from what follows "<name>.tmp" in a temporary file's name ("<pid>-<n>", decimal
// digits only). False for anything else, and for the pid 0, which no writer has.
bool TempWriterPid(const std::wstring& rest, uint32_t& pid);

}  // namespace zfs
