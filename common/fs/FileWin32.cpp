#include "common/fs/File.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <atomic>

#include "common/base/UniqueHandle.h"

namespace zfs {
namespace {

// The C library's message for a failed Win32 call, as the file functions report it.
std::wstring ErrorText(DWORD winError) {
    int err;
    switch (winError) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            err = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            err = EACCES;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            err = ENOSPC;
            break;
        case ERROR_FILE_TOO_LARGE:
            err = EFBIG;
            break;
        default:
            err = EIO;
            break;
    }
    return _wcserror(err);
}

bool IsRetryableShareError(DWORD e) {
    return e == ERROR_SHARING_VIOLATION || e == ERROR_ACCESS_DENIED || e == ERROR_LOCK_VIOLATION;
}

bool WriteAll(HANDLE h, const char* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(h, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Moving a file that another process reads at this moment can be refused for a short while.
bool MoveWithRetry(const std::wstring& from, const std::wstring& to, DWORD flags, DWORD& lastError) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH)) return true;
        lastError = ::GetLastError();
        if (!IsRetryableShareError(lastError)) return false;
        ::Sleep(20);
    }
    return false;
}

}  // namespace

bool ReadFileBytes(const std::wstring& path, std::string& bytes, std::wstring& error) {
    const DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        error = _wcserror(EISDIR);
        return false;
    }
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ErrorText(::GetLastError());
        return false;
    }
    // A device or pipe (a name like CON, or \\.\pipe\...) could make the read wait forever.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        error = L"not a file on a disk";
        return false;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buf, sizeof buf, &got, nullptr)) {
            error = ErrorText(::GetLastError());
            return false;
        }
        if (got == 0) break;
        if (data.size() + got > kMaxReadBytes) {
            error = _wcserror(EFBIG);
            return false;
        }
        data.append(buf, got);
    }
    bytes.swap(data);
    return true;
}

bool ReadFileTail(const std::wstring& path, size_t maxBytes, std::string& bytes, uint64_t& length) {
    if (maxBytes > kMaxReadBytes) return false;
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK) return false;
    LARGE_INTEGER fileSize{};
    if (!::GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart < 0) return false;
    const uint64_t size = static_cast<uint64_t>(fileSize.QuadPart);
    const size_t want = size > maxBytes ? maxBytes : static_cast<size_t>(size);
    LARGE_INTEGER offset{};
    offset.QuadPart = static_cast<LONGLONG>(size - want);
    if (!::SetFilePointerEx(file.get(), offset, nullptr, FILE_BEGIN)) return false;
    std::string data(want, '\0');
    size_t got = 0;
    while (got < want) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), &data[got], static_cast<DWORD>(want - got), &n, nullptr)) return false;
        if (n == 0) break;  // cut short meanwhile
        got += n;
    }
    data.resize(got);
    bytes.swap(data);
    length = size;
    return true;
}

bool WriteFileAtomic(const std::wstring& path, const std::string& bytes, std::wstring& error) {
    static std::atomic<unsigned> counter{0};
    const std::wstring temp = path + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter.fetch_add(1));
    DWORD lastError = 0;
    {
        UniqueFile file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = ErrorText(::GetLastError());
            return false;
        }
        bool ok = WriteAll(file.get(), bytes.data(), bytes.size()) && ::FlushFileBuffers(file.get());
        if (!ok) lastError = ::GetLastError();
        if (!::CloseHandle(file.release()) && ok) {
            ok = false;
            lastError = ::GetLastError();
        }
        if (!ok) {
            ::DeleteFileW(temp.c_str());
            error = ErrorText(lastError);
            return false;
        }
    }
    if (!MoveWithRetry(temp, path, MOVEFILE_REPLACE_EXISTING, lastError)) {
        ::DeleteFileW(temp.c_str());
        error = ErrorText(lastError);
        return false;
    }
    return true;
}

// An append-only handle places each write at the end as a whole on Windows itself, but not every
// implementation of the API does so for concurrent writers (Wine reads the end, then writes there). An
// exclusive lock on one byte far beyond any text, held around the one write, keeps the writers in turn
// without blocking readers; the lock goes with its handle, also when the process dies.
bool AppendToFile(const std::wstring& path, const std::string& bytes) {
    UniqueFile file(::CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (bytes.empty()) return true;
    if (bytes.size() > 0x7FFFFFFF) return false;
    OVERLAPPED range{};
    range.Offset = 0xFFFFFFFEu;
    range.OffsetHigh = 0x7FFFFFFFu;
    const bool locked = ::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range) != FALSE;
    DWORD written = 0;
    const bool ok = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    if (locked) ::UnlockFileEx(file.get(), 0, 1, 0, &range);
    return ok;
}

bool MoveFileReplacing(const std::wstring& from, const std::wstring& to) {
    DWORD lastError = 0;
    return MoveWithRetry(from, to, MOVEFILE_REPLACE_EXISTING, lastError);
}

// Without MOVEFILE_REPLACE_EXISTING the move fails with ERROR_ALREADY_EXISTS, which is not retried.
bool MoveFileNoReplace(const std::wstring& from, const std::wstring& to) {
    DWORD lastError = 0;
    return MoveWithRetry(from, to, 0, lastError);
}

bool FileExists(const std::wstring& path) {
    const DWORD attrs = ::GetFileAttributesW(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attrs = ::GetFileAttributesW(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirectoryOne(const std::wstring& path) {
    return ::CreateDirectoryW(path.c_str(), nullptr) || (::GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path));
}

bool DeleteFileAt(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != 0; }

}  // namespace zfs
