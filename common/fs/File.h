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

// Tells one file from another: a file keeps its id when it is renamed, and a file written anew (the atomic
// replace below) stands at the path with another id.
struct FileId {
    bool known = false;
    uint64_t volume = 0;
    uint64_t index = 0;
    uint64_t size = 0;
    uint64_t writeTime = 0;
};
// False when either is unknown.
inline bool operator==(const FileId& a, const FileId& b) {
    return a.known && b.known && a.volume == b.volume && a.index == b.index && a.size == b.size &&
           a.writeTime == b.writeTime;
}

// Reads the whole file. On failure returns false with the C library's message for the error in `error`
// (a folder, a missing or unreadable file, a file larger than kMaxReadBytes); `bytes` is then unchanged.
// `id`, when given, names the file found at the path, also when it could not be read; it is unknown when
// there was none (or a folder or no file on a disk).
bool ReadFileBytes(const std::wstring& path, std::string& bytes, std::wstring& error, FileId* id = nullptr);

// Reads the end of a file that other programs may be writing, appending to or deleting meanwhile (the file
// is opened denying them nothing): the last min(length, maxBytes) bytes as they stood when the file was
// opened, `length` being its whole length then (so the bytes were cut when `length` > maxBytes). Never reads
// or holds more than maxBytes, whatever the file claims; a file that shrinks meanwhile gives what is left.
// False, with `bytes` and `length` unchanged, when the file is missing or cannot be read, is a folder or no
// file on a disk, or maxBytes exceeds kMaxReadBytes.
bool ReadFileTail(const std::wstring& path, size_t maxBytes, std::string& bytes, uint64_t& length);

// Replaces the file with `bytes`, all or nothing: writes a temporary file beside it (<path>.tmp<pid>-<n>),
// checks every write, flush and close, then moves it over the target. On failure the old file is untouched.
// Temporary files that killed writers left beside the target are removed first (RemoveStaleTempFiles).
bool WriteFileAtomic(const std::wstring& path, const std::string& bytes, std::wstring& error);

// Removes the temporary files of WriteFileAtomic for `path` that a writer killed while writing left behind:
// only those whose writer process runs no more, that are older than kStaleTempSeconds and that nobody holds
// open. Every other file stays, names of any other form included.
constexpr int kStaleTempSeconds = 30;
void RemoveStaleTempFiles(const std::wstring& path);

// Appends `bytes` in one write to a file opened for appending (created when missing), so lines of two
// processes never overwrite or split each other.
bool AppendToFile(const std::wstring& path, const std::string& bytes);

// Renames a file, replacing the target when it exists.
bool MoveFileReplacing(const std::wstring& from, const std::wstring& to);

// Renames a file; fails when the target exists (also when it appears meanwhile), which never replaces it.
bool MoveFileNoReplace(const std::wstring& from, const std::wstring& to);

// Renames the file at `from` only while it is still the file `id` names: the check and the move are one step
// for the other programs, which can neither move nor replace the file in between (their atomic writes wait
// for it). False when another file or none stands at `from`, when `to` exists and `replace` is false, or
// when the move fails.
bool MoveFileIfSame(const std::wstring& from, const std::wstring& to, const FileId& id, bool replace);

bool FileExists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
bool CreateDirectoryOne(const std::wstring& path);
bool DeleteFileAt(const std::wstring& path);

}  // namespace zfs
