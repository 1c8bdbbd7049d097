#include "common/xml/XmlDataFile.h"

#include "common/fs/File.h"
#include "common/text/Utf.h"

bool CXmlDataFile::LoadText(const std::string& text) {
    // Decoded first: a decoding that runs out of memory leaves the document as it was.
    std::wstring wide = Utf8ToWide(text);
    std::wstring former;
    former.swap(m_doc.m_text);
    // As CXmlTextDoc::ReadUtf8File reads and tells it.
    m_doc.m_text = std::move(wide);
    m_doc.m_statusText =
        std::to_wstring(text.size()) + L" bytes to " + std::to_wstring(m_doc.m_text.size()) + L" wide chars";
    const bool loaded = m_doc.BuildIndex();
    if (!loaded) {
        std::wstring status = std::move(m_doc.m_statusText);
        m_doc.SetText(std::move(former));
        m_doc.m_statusText = std::move(status);
    }
    PositionAfterLoad();
    return loaded;
}

std::string CXmlDataFile::SaveText() const { return WideToUtf8(m_doc.GetText()); }

bool CXmlDataFile::Save(const std::wstring& path) {
    const std::wstring& target = path.empty() ? m_path : path;
    if (target.empty()) return false;
    const std::string bytes = SaveText();
    std::wstring error;
    if (!zfs::WriteFileAtomic(target, bytes, error)) {
        m_doc.m_statusText = error;
        return false;
    }
    // As CXmlTextDoc::WriteUtf8File writes and tells it.
    m_doc.m_statusText =
        std::to_wstring(m_doc.GetText().size()) + L" wide chars to " + std::to_wstring(bytes.size()) + L" bytes";
    return true;
}

bool CXmlDataFile::WriteEmptyDocument(const std::wstring& path) {
    m_doc.SetText(kXmlHeader);
    m_doc.AppendElement(kXmlRootName);
    m_doc.EnterElement();
    m_path = path;
    return Save(path);
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

bool CXmlDataFile::ReadText(const std::wstring& path, std::string& bytes, zfs::FileId* id) {
    std::wstring error;
    if (zfs::ReadFileBytes(path, bytes, error, id)) return true;
    m_doc.m_statusText = error;
    return false;
}

bool CXmlDataFile::LoadOrCreate(const std::wstring& path, const XmlDefaultWriter& writeDefault) {
    zfs::RemoveStaleTempFiles(path);
    for (int round = 0; round < kLoadRounds; ++round) {
        zfs::FileId read;
        std::string bytes;
        const bool wasRead = ReadText(path, bytes, &read);
        if (wasRead && LoadText(bytes)) {
            m_path = path;
            return true;
        }
        if (!writeDefault) return false;
        // A file that holds something but does not load is kept beside itself before the default replaces it;
        // one that cannot be told from a later file (its id is unknown) is never replaced.
        const bool damaged = wasRead ? !bytes.empty() : read.known;
        if (damaged && !KeepAside(path, read)) continue;
        if (!writeDefault(path)) return false;
        // Another program may have moved or replaced the default before it was read back.
        if (ReadText(path, bytes, nullptr) && LoadText(bytes)) {
            m_path = path;
            return true;
        }
    }
    return false;
}
