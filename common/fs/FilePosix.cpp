#include "common/fs/File.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

bool ReadFileBytes(const std::wstring& path, std::string& bytes, std::wstring& error) {
    // Not blocking, so that opening a FIFO does not wait for a writer; only regular files are read.
    Fd fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        error = ErrorText(errno);
        return false;
    }
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0) {
        error = ErrorText(errno);
        return false;
    }
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
    const std::string target = NativePath(path);
    std::string temp = target + ".tmpXXXXXX";
    Fd fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        error = ErrorText(errno);
        return false;
    }
    ::fchmod(fd.get(), 0644);
    bool ok = WriteAll(fd.get(), bytes.data(), bytes.size()) && ::fsync(fd.get()) == 0;
    int err = errno;
    if (::close(fd.release()) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
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
