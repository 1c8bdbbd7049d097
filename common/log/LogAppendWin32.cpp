#include "common/log/LogAppend.h"

#include <windows.h>

#include "common/framework/UniqueHandle.h"
#include "common/fs/File.h"

namespace {

// A byte far beyond any line: locking it keeps the writers in turn without blocking reads or writes of
// the text.
constexpr DWORD kLockOffsetLow = 0xFFFFFFFEu;
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFFu;

}  // namespace

// An append-only handle is enough on Windows itself, but not every implementation of the API places
// concurrent appends atomically (Wine reads the end and then writes there). Holding an exclusive lock on
// the file around the one write keeps lines whole everywhere; the lock goes with its handle, also when
// the process dies.
bool AppendLogLine(const std::wstring& path, const std::string& bytes) {
    UniqueFile lockHandle(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!lockHandle) return false;
    OVERLAPPED range{};
    range.Offset = kLockOffsetLow;
    range.OffsetHigh = kLockOffsetHigh;
    const bool locked = ::LockFileEx(lockHandle.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range) != FALSE;
    const bool written = zfs::AppendToFile(path, bytes);
    if (locked) ::UnlockFileEx(lockHandle.get(), 0, 1, 0, &range);
    return written;
}
