#include "common/xml/XmlDataFile.h"

#include "common/fs/File.h"

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

// Moves a damaged file to the first free name of its kept copies, or over the last when all are taken.
// Fails when the file has gone (another program moved it) or the name was taken meanwhile.
bool KeepAside(const std::wstring& path) {
    std::wstring name;
    for (int n = 0; n < kKeptCopies; ++n) {
        name = path + L".bad" + (n == 0 ? std::wstring() : std::to_wstring(n));
        if (!zfs::FileExists(name) && !zfs::IsDirectory(name)) return zfs::MoveFileNoReplace(path, name);
    }
    return zfs::MoveFileReplacing(path, name);
}

}  // namespace

bool CXmlDataFile::LoadOrCreate(const std::wstring& path, const XmlDefaultWriter& writeDefault) {
    for (int round = 0; round < kLoadRounds; ++round) {
        const bool read = CXmlTextDoc::ReadUtf8File(m_doc.m_text, path, m_doc.m_statusText);
        if (read && m_doc.BuildIndex()) {
            m_path = path;
            return true;
        }
        if (!writeDefault) return false;
        // A file that holds something but does not load is kept beside itself before the default replaces it.
        const bool damaged = read ? !m_doc.m_text.empty() : zfs::FileExists(path);
        if (damaged && !KeepAside(path)) continue;
        if (!writeDefault(path)) return false;
        // Another program may have moved or replaced the default before it was read back.
        if (m_doc.LoadFile(path)) {
            m_path = path;
            return true;
        }
    }
    return false;
}
