#include "common/fs/File.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/fs/TempFiles.h"
#include "common/text/Utf.h"

namespace zfs {
namespace {

std::string NativePath(const std::wstring& path) {
    std::string p = WideToUtf8(path);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
}

std::wstring ErrorText(int err) { return Utf8ToWide(std::strerror(err)); }

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { if (m_fd >= 0) ::close(m_fd); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() { int fd = m_fd; m_fd = -1; return fd; }
    void reset(int fd) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }
private:
    int m_fd;
};

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

FileId IdOf(const struct stat& st) {
    FileId id;
    if (!S_ISREG(st.st_mode)) return id;
    id.known = true;
    id.volume = static_cast<uint64_t>(st.st_dev);
    id.index = static_cast<uint64_t>(st.st_ino);
    id.size = static_cast<uint64_t>(st.st_size);
    id.writeTime = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
    return id;
}

bool SameInode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether the process may still run: only a process id that names no process counts as gone.
bool ProcessMayRun(uint32_t pid) {
    if (pid > static_cast<uint32_t>(INT_MAX)) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

}  // namespace

bool ReadFileBytes(const std::wstring& path, std::string& bytes, std::wstring& error, FileId* id) {
    if (id) *id = FileId{};
    // Not blocking, so that opening a FIFO does not wait for a writer; only regular files are read.
    Fd fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        const int openError = errno;
        error = ErrorText(openError);
        // A file that stands there but cannot be read: which one.
        struct stat found{};
        if (id && openError != ENOENT && openError != ENOTDIR && ::stat(NativePath(path).c_str(), &found) == 0) {
            *id = IdOf(found);
        }
        return false;
    }
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0) {
        error = ErrorText(errno);
        return false;
    }
    if (id) *id = IdOf(st);
    if (S_ISDIR(st.st_mode)) {
        error = ErrorText(EISDIR);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = L"not a file on a disk";
        return false;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = ErrorText(errno);
            return false;
        }
        if (n == 0) break;
        if (data.size() + static_cast<size_t>(n) > kMaxReadBytes) {
            error = ErrorText(EFBIG);
            return false;
        }
        data.append(buf, static_cast<size_t>(n));
    }
    bytes.swap(data);
    return true;
}

bool ReadFileTail(const std::wstring& path, size_t maxBytes, std::string& bytes, uint64_t& length) {
    if (maxBytes > kMaxReadBytes) return false;
    Fd fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return false;
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) return false;
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    const size_t want = size > maxBytes ? maxBytes : static_cast<size_t>(size);
    std::string data(want, '\0');
    off_t offset = static_cast<off_t>(size - want);
    size_t got = 0;
    while (got < want) {
        const ssize_t n = ::pread(fd.get(), &data[got], want - got, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;  // cut short meanwhile
        got += static_cast<size_t>(n);
        offset += n;
    }
    data.resize(got);
    bytes.swap(data);
    length = size;
    return true;
}

bool WriteFileAtomic(const std::wstring& path, const std::string& bytes, std::wstring& error) {
    RemoveStaleTempFiles(path);
    static std::atomic<uint32_t> counter{0};
    const std::string target = NativePath(path);
    std::string temp;
    // Locked while it is written, so that no one takes it for a killed writer's. A name that a killed writer
    // of the same process id left is skipped, never written through.
    Fd fd(-1);
    for (int attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
        temp = NativePath(TempFilePath(path, static_cast<uint32_t>(::getpid()), counter.fetch_add(1)));
        fd.reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (fd.get() < 0 && errno != EEXIST) break;
    }
    if (fd.get() < 0) {
        error = ErrorText(errno);
        return false;
    }
    ::flock(fd.get(), LOCK_EX);
    bool ok = WriteAll(fd.get(), bytes.data(), bytes.size()) && ::fsync(fd.get()) == 0;
    int err = errno;
    if (::close(fd.release()) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) {
        // The file it replaces is locked meanwhile, as MoveFileIfSame locks it: the replace waits for a move
        // that checked the file to end.
        Fd old(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (old.get() >= 0) ::flock(old.get(), LOCK_EX);
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            ok = false;
            err = errno;
        }
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = ErrorText(err);
    }
    return ok;
}

bool AppendToFile(const std::wstring& path, const std::string& bytes) {
    Fd fd(::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (fd.get() < 0) return false;
    if (bytes.empty()) return true;
    ssize_t n;
    do {
        n = ::write(fd.get(), bytes.data(), bytes.size());
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(bytes.size());
}

bool MoveFileReplacing(const std::wstring& from, const std::wstring& to) {
    return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

// link() refuses an existing target atomically; the old name is then dropped. When the old name went
// meanwhile (another process moved the file), the new link is undone and the move fails.
bool MoveFileNoReplace(const std::wstring& from, const std::wstring& to) {
    const std::string source = NativePath(from);
    const std::string target = NativePath(to);
    if (::link(source.c_str(), target.c_str()) != 0) return false;
    if (::unlink(source.c_str()) != 0) {
        ::unlink(target.c_str());
        return false;
    }
    return true;
}

// Other programs of the suite lock the file for their atomic replace over it and for their own move of it,
// so that between the check of the id and the rename under the lock no one moves or replaces it.
bool MoveFileIfSame(const std::wstring& from, const std::wstring& to, const FileId& id, bool replace) {
    if (!id.known) return false;
    const std::string source = NativePath(from);
    Fd fd(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX) != 0) return false;
    struct stat held{};
    struct stat standing{};
    // Still the file at the path once the lock is held (a move may have taken it meanwhile).
    if (::fstat(fd.get(), &held) != 0 || !(IdOf(held) == id) || ::stat(source.c_str(), &standing) != 0 ||
        !SameInode(held, standing)) {
        return false;
    }
    return replace ? MoveFileReplacing(from, to) : MoveFileNoReplace(from, to);
}

void RemoveStaleTempFiles(const std::wstring& path) {
    const std::string target = NativePath(path);
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash);
    const std::string prefix = target.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        uint32_t pid = 0;
        if (name.compare(0, prefix.size(), prefix) != 0 || name.size() == prefix.size() ||
            !TempWriterPid(Utf8ToWide(name.substr(prefix.size())), pid) || ProcessMayRun(pid)) {
            continue;
        }
        const std::string stale = folder + "/" + name;
        struct stat st{};
        if (::lstat(stale.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_mtime >= now ||
            now - st.st_mtime <= kStaleTempSeconds) {
            continue;
        }
        // A writer holds its lock to the end of its write: a file locked by anyone stays.
        Fd fd(::open(stale.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
        struct stat held{};
        if (fd.get() >= 0 && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 && ::fstat(fd.get(), &held) == 0 &&
            SameInode(held, st)) {
            ::unlink(stale.c_str());
        }
    }
    ::closedir(dir);
}

bool FileExists(const std::wstring& path) {
    struct stat st{};
    return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::wstring& path) {
    struct stat st{};
    return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDirectoryOne(const std::wstring& path) {
    return ::mkdir(NativePath(path).c_str(), 0755) == 0 || (errno == EEXIST && IsDirectory(path));
}

bool DeleteFileAt(const std::wstring& path) { return ::unlink(NativePath(path).c_str()) == 0; }

}  // namespace zfs
