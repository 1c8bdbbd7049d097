#pragma once
// Whole-file access by wide path, the same on Windows and natively. Paths may use '\' as the
// separator on both sides (natively it is read as '/').
#include <cstddef>
#include <cstdint>
#include <string>

namespace zfs {

// Files the suite reads are small; anything larger is refused rather than trusted for a size. Indexing
// an XML text takes many times its size in memory, so the cap stays well below what a process can spare.
constexpr size_t kMaxReadBytes = 16u * 1024u * 1024u;

// Reads the whole file. On failure returns false with the C library's message for the error in `error`
// (a folder, a missing or unreadable file, a file larger than kMaxReadBytes); `bytes` is then unchanged.
bool ReadFileBytes(const std::wstring& path, std::string& bytes, std::wstring& error);

// Reads the end of a file that other programs may be writing, appending to or deleting meanwhile (the file
// is opened denying them nothing): the last min(length, maxBytes) bytes as they stood when the file was
// opened, `length` being its whole length then (so the bytes were cut when `length` > maxBytes). Never reads
// or holds more than maxBytes, whatever the file claims; a file that shrinks meanwhile gives what is left.
// False, with `bytes` and `length` unchanged, when the file is missing or cannot be read, is a folder or no
// file on a disk, or maxBytes exceeds kMaxReadBytes.
bool ReadFileTail(const std::wstring& path, size_t maxBytes, std::string& bytes, uint64_t& length);

// Replaces the file with `bytes`, all or nothing: writes a temporary file beside it, checks every write,
// flush and close, then moves it over the target. On failure the old file is untouched.
bool WriteFileAtomic(const std::wstring& path, const std::string& bytes, std::wstring& error);

// Appends `bytes` in one write to a file opened for appending (created when missing), so lines of two
// processes never overwrite or split each other.
bool AppendToFile(const std::wstring& path, const std::string& bytes);

// Renames a file, replacing the target when it exists.
bool MoveFileReplacing(const std::wstring& from, const std::wstring& to);

// Renames a file; fails when the target exists (also when it appears meanwhile), which never replaces it.
bool MoveFileNoReplace(const std::wstring& from, const std::wstring& to);

bool FileExists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
bool CreateDirectoryOne(const std::wstring& path);
bool DeleteFileAt(const std::wstring& path);

}  // namespace zfs
