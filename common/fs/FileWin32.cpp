#include "common/fs/File.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <atomic>

#include "common/base/UniqueHandle.h"
#include "common/fs/TempFiles.h"

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

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileId IdOf(HANDLE file) {
    FileId id;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return id;
    }
    id.known = true;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    id.size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    id.writeTime = (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
    return id;
}

// Renames the file that `file` (opened with DELETE access) is, wherever it stands now.
bool RenameByHandle(HANDLE file, const std::wstring& to, bool replace) {
    const size_t nameBytes = to.size() * sizeof(wchar_t);
    if (nameBytes > 0xFFFF) return false;
    // FILE_RENAME_INFO ends in a one-character name, which leaves room for the terminating NUL.
    std::string buffer(sizeof(FILE_RENAME_INFO) + nameBytes, '\0');
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(&buffer[0]);
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, to.c_str(), nameBytes);
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != FALSE;
}

// Whether the process may still run: only a process id that names no process, or one that has ended,
// counts as gone.
bool ProcessMayRun(DWORD pid) {
    UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!process) return ::GetLastError() != ERROR_INVALID_PARAMETER;
    return ::WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0;
}

bool OlderThan(const FILETIME& time, int seconds) {
    FILETIME nowTime{};
    ::GetSystemTimeAsFileTime(&nowTime);
    const uint64_t now = (uint64_t{nowTime.dwHighDateTime} << 32) | nowTime.dwLowDateTime;
    const uint64_t then = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    return then < now && now - then > uint64_t(seconds) * 10000000u;  // 100-ns units
}

}  // namespace

bool ReadFileBytes(const std::wstring& path, std::string& bytes, std::wstring& error, FileId* id) {
    if (id) *id = FileId{};
    const DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        error = _wcserror(EISDIR);
        return false;
    }
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD openError = ::GetLastError();
        error = ErrorText(openError);
        // A file that stands there but cannot be read: which one, from an open that asks for no data.
        if (id && openError != ERROR_FILE_NOT_FOUND && openError != ERROR_PATH_NOT_FOUND) {
            UniqueFile found(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
            if (found) *id = IdOf(found.get());
        }
        return false;
    }
    // A device or pipe (a name like CON, or \\.\pipe\...) could make the read wait forever.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        error = L"not a file on a disk";
        return false;
    }
    if (id) *id = IdOf(file.get());
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
    RemoveStaleTempFiles(path);
    static std::atomic<uint32_t> counter{0};
    std::wstring temp;
    DWORD lastError = 0;
    {
        // Held unshared while it is written, so that no one takes it for a killed writer's. A name that a
        // killed writer of the same process id left is skipped, never written through.
        UniqueFile file;
        for (int attempt = 0; attempt < 100 && !file; ++attempt) {
            temp = TempFilePath(path, ::GetCurrentProcessId(), counter.fetch_add(1));
            file.reset(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
            if (!file && ::GetLastError() != ERROR_FILE_EXISTS) break;
        }
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

// Opened denying others DELETE access, so that no one moves or replaces the file between the check of its id
// and the rename through this very handle (an atomic replace over it is refused and retried by its writer).
// Readers, which share everything, are not in the way.
bool MoveFileIfSame(const std::wstring& from, const std::wstring& to, const FileId& id, bool replace) {
    if (!id.known) return false;
    UniqueFile file;
    for (int attempt = 0; attempt < 50 && !file; ++attempt) {
        file.reset(::CreateFileW(from.c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && !IsRetryableShareError(::GetLastError())) return false;
        if (!file) ::Sleep(20);
    }
    return file && IdOf(file.get()) == id && RenameByHandle(file.get(), to, replace);
}

void RemoveStaleTempFiles(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    const std::wstring prefix = path.substr(folder.size()) + L".tmp";
    WIN32_FIND_DATAW found{};
    UniqueFind search(::FindFirstFileW((path + L".tmp*").c_str(), &found));
    if (!search) return;
    do {
        // The pattern also matches short names; the long name must begin with the prefix itself.
        const std::wstring name = found.cFileName;
        uint32_t pid = 0;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name.size() < prefix.size() ||
            ::_wcsnicmp(name.c_str(), prefix.c_str(), prefix.size()) != 0 ||
            !TempWriterPid(name.substr(prefix.size()), pid) || !OlderThan(found.ftLastWriteTime, kStaleTempSeconds) ||
            ProcessMayRun(pid)) {
            continue;
        }
        // Opened sharing nothing, so only when no one has it open, and deleted as it is closed.
        UniqueFile stale(::CreateFileW((folder + name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    } while (::FindNextFileW(search.get(), &found));
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
