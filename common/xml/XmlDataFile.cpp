#include "common/xml/XmlDataFile.h"

#include "common/fs/File.h"
#include "common/text/Utf.h"

bool CXmlDataFile::Save(const std::wstring& path) {
    const std::wstring& target = path.empty() ? m_path : path;
    if (target.empty()) return false;
    return m_doc.SaveFile(target);
}

bool CXmlDataFile::WriteEmptyDocument(const std::wstring& path) {
    m_doc.SetText(kXmlHeader);
    m_doc.AppendElement(kXmlRootName);
    m_doc.EnterElement();
    m_path = path;
    return m_doc.SaveFile(path);
}

namespace {

// Two programs may load the same file at once; a round that loses the race to the other starts again.
constexpr int kLoadRounds = 3;
// Damaged files are kept as <path>.bad, <path>.bad1 ... <path>.bad9.
constexpr int kKeptCopies = 10;

// Moves the damaged file that was read (and only that file, never one written since at its path) to the
// first free name of its kept copies, or over the last when all are taken. Fails when the file has gone or
// been replaced since (another program kept it and may have written its default) or the name was taken.
bool KeepAside(const std::wstring& path, const zfs::FileId& read) {
    std::wstring name;
    for (int n = 0; n < kKeptCopies; ++n) {
        name = path + L".bad" + (n == 0 ? std::wstring() : std::to_wstring(n));
        if (!zfs::FileExists(name) && !zfs::IsDirectory(name)) {
            return zfs::MoveFileIfSame(path, name, read, false);
        }
    }
    return zfs::MoveFileIfSame(path, name, read, true);
}

}  // namespace

bool CXmlDataFile::ReadText(const std::wstring& path, zfs::FileId& id) {
    std::string bytes;
    std::wstring error;
    if (!zfs::ReadFileBytes(path, bytes, error, &id)) {
        m_doc.m_statusText = error;
        return false;
    }
    // As CXmlTextDoc::ReadUtf8File reads and tells it.
    m_doc.m_text = Utf8ToWide(bytes);
    m_doc.m_statusText =
        std::to_wstring(bytes.size()) + L" bytes to " + std::to_wstring(m_doc.m_text.size()) + L" wide chars";
    return true;
}

bool CXmlDataFile::LoadOrCreate(const std::wstring& path, const XmlDefaultWriter& writeDefault) {
    zfs::RemoveStaleTempFiles(path);
    for (int round = 0; round < kLoadRounds; ++round) {
        zfs::FileId read;
        const bool wasRead = ReadText(path, read);
        if (wasRead && m_doc.BuildIndex()) {
            m_path = path;
            return true;
        }
        if (!writeDefault) return false;
        // A file that holds something but does not load is kept beside itself before the default replaces it;
        // one that cannot be told from a later file (its id is unknown) is never replaced.
        const bool damaged = wasRead ? !m_doc.m_text.empty() : read.known;
        if (damaged && !KeepAside(path, read)) continue;
        if (!writeDefault(path)) return false;
        // Another program may have moved or replaced the default before it was read back.
        if (m_doc.LoadFile(path)) {
            m_path = path;
            return true;
        }
    }
    return false;
}
